# The auxiliary parts of the GUI program: what the build writes into it (the
# version and the addresses of the About box), the tutorial page beside it,
# the release archive, and their tests.

set(QOB_CONTACT_ADDRESS "qob-tessavin@example.org" CACHE STRING "E-mail address shown in the About box")
set(QOB_HOME_PAGE "https://example.org/qob-tessavin/" CACHE STRING "Home page shown in the About box")

# The version has one source: the project's VERSION.
set(QOB_FILE_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.0)
foreach(name QOB_CONTACT_ADDRESS QOB_HOME_PAGE)
  string(REPLACE "\\" "\\\\" value "${${name}}")
  string(REPLACE "\"" "\\\"" value "${value}")
  set(${name}_C "${value}")
endforeach()
set(QOB_GENERATED ${CMAKE_BINARY_DIR}/generated)
configure_file(${PROJECT_SOURCE_DIR}/extras/BuildInfo.h.in ${QOB_GENERATED}/QobBuildInfo.h @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/resources/QobTessavin.manifest.in ${QOB_GENERATED}/QobTessavin.manifest @ONLY)
target_include_directories(qob_windows PRIVATE ${QOB_GENERATED})
target_include_directories(QobTessavin PRIVATE ${QOB_GENERATED})
set_property(SOURCE resources/QobTessavin.rc APPEND PROPERTY OBJECT_DEPENDS
  ${QOB_GENERATED}/QobBuildInfo.h ${QOB_GENERATED}/QobTessavin.manifest
  ${PROJECT_SOURCE_DIR}/resources/logo.bmp ${PROJECT_SOURCE_DIR}/resources/ok.bmp)

# The tutorial pages, Japanese and English, with their pictures beside the
# program. The pictures are drawn by resources/make_pictures.py, except
# tutor-window.png and tutor-window-en.png: the main window of the demo run
# (run.sh, and LANG=en_US.UTF-8 run.sh for the English page), cut from its
# screenshot to the window's outer rectangle.
set(QOB_TUTORIAL_PAGES tutor.htm tutor-en.htm)
set(QOB_TUTORIAL_PICTURES tutor-window.png tutor-window-en.png tutor-normal.png tutor-faulty-group.png
  tutor-faulty-entry.png tutor-find.png tutor-regedit.png tutor-delete.png tutor-help.png)
set(QOB_TUTORIAL_OUTPUTS)
set(QOB_TUTORIAL_INPUTS)
set(QOB_TUTORIAL_COPIES)
foreach(page ${QOB_TUTORIAL_PAGES})
  list(APPEND QOB_TUTORIAL_OUTPUTS ${CMAKE_BINARY_DIR}/${page})
  list(APPEND QOB_TUTORIAL_INPUTS ${PROJECT_SOURCE_DIR}/extras/${page})
  list(APPEND QOB_TUTORIAL_COPIES
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PROJECT_SOURCE_DIR}/extras/${page} ${CMAKE_BINARY_DIR}/${page})
endforeach()
foreach(picture ${QOB_TUTORIAL_PICTURES})
  list(APPEND QOB_TUTORIAL_OUTPUTS ${CMAKE_BINARY_DIR}/tutor_files/${picture})
  list(APPEND QOB_TUTORIAL_INPUTS ${PROJECT_SOURCE_DIR}/resources/${picture})
endforeach()
add_custom_command(OUTPUT ${QOB_TUTORIAL_OUTPUTS}
  ${QOB_TUTORIAL_COPIES}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/tutor_files
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${QOB_TUTORIAL_PICTURES} ${CMAKE_BINARY_DIR}/tutor_files/
  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}/resources
  DEPENDS ${QOB_TUTORIAL_INPUTS}
  COMMENT "Tutorial pages beside the program")
add_custom_target(tutorial ALL DEPENDS ${QOB_TUTORIAL_OUTPUTS})

# The release: QobTessavin-<version>.zip with both programs, the tutorial
# pages and the read-me.
set(QOB_RELEASE_ZIP ${CMAKE_BINARY_DIR}/QobTessavin-${PROJECT_VERSION}.zip)
add_custom_command(OUTPUT ${QOB_RELEASE_ZIP}
  COMMAND python3 ${PROJECT_SOURCE_DIR}/tools/package.py ${QOB_RELEASE_ZIP} ${PROJECT_SOURCE_DIR}/extras/readme.txt
    ${PROJECT_VERSION} $<TARGET_FILE:QobTessavin> $<TARGET_FILE:QobTessavinScan> ${QOB_TUTORIAL_OUTPUTS}
  DEPENDS QobTessavin QobTessavinScan tutorial ${QOB_TUTORIAL_OUTPUTS}
    ${PROJECT_SOURCE_DIR}/tools/package.py ${PROJECT_SOURCE_DIR}/extras/readme.txt
  COMMENT "Release archive QobTessavin-${PROJECT_VERSION}.zip")
add_custom_target(release DEPENDS ${QOB_RELEASE_ZIP})

set(QOB_CHECK ${PROJECT_SOURCE_DIR}/tests/release/check.py)
add_test(NAME extras.tutorial_pages COMMAND python3 ${QOB_CHECK} pages ${CMAKE_BINARY_DIR})
add_test(NAME extras.release_zip
  COMMAND sh -c "${CMAKE_COMMAND} --build ${CMAKE_BINARY_DIR} --target release >/dev/null && python3 ${QOB_CHECK} release ${QOB_RELEASE_ZIP} ${PROJECT_VERSION}")

# The commands and the About box in the running program (one at a time, on
# a screen of their own).
add_test(NAME gui.extras.about COMMAND ${QOB_E2E_RUN} about)
add_test(NAME gui.extras.launch COMMAND ${QOB_E2E_RUN} launch)
set_tests_properties(gui.extras.about gui.extras.launch PROPERTIES RUN_SERIAL TRUE TIMEOUT 180
  ENVIRONMENT LANG=ja_JP.UTF-8)
