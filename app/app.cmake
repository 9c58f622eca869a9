# The GUI program QobTessavin.exe with its resources, the tests of its
# windows under Wine, and the end-to-end tests of the running program.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")

# The features' windows, on the window kit (forms/).
add_library(qob_windows STATIC
  extras/frmAbout.cpp
  extras/ShellCommands.cpp
  search/frmFind.cpp
  removal/frmUndo.cpp
  sections/BrokenKeyList.cpp
  sections/frmOtherBroken.cpp
  extras/Win32Elevation.cpp
  sections/frmOtherBrokenHandoffs.cpp
)
qob_target(qob_windows)
target_link_libraries(qob_windows PUBLIC qob_forms qob_win32 qob_backup comctl32 comdlg32 gdi32 shell32 user32)

# The shell: the main window with its layout, menu and handlers, each a call
# into its feature.
add_library(qob_shell STATIC
  app/Form1.cpp
  app/Form1Removal.cpp
  app/Form1Undo.cpp
  app/Form1Scale.cpp
  app/Form1Search.cpp
  app/Form1Extras.cpp
  app/Form1Sections.cpp
  app/Form1Elevation.cpp
  app/Form1Handoffs.cpp
)
qob_target(qob_shell)
target_link_libraries(qob_shell PUBLIC qob_windows)

add_executable(QobTessavin WIN32 app/WinMain.cpp resources/QobTessavin.rc)
qob_target(QobTessavin)
target_link_libraries(QobTessavin PRIVATE qob_shell)
# The resource script's own inputs: every quoted file it names (icons,
# bitmaps, the manifest, ...) and the headers it includes, read from the
# script itself so that a resource added to it is a dependency at once.
set(QOB_RC ${PROJECT_SOURCE_DIR}/resources/QobTessavin.rc)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${QOB_RC})
file(STRINGS ${QOB_RC} QOB_RC_LINES REGEX "\"[^\"]+\\.[A-Za-z0-9]+\"|^#include \"")
set(QOB_RC_INPUTS)
foreach(line ${QOB_RC_LINES})
  if(line MATCHES "^[^/]*[ \t]\"([^\" ]+\\.(ico|bmp|cur|avi|manifest|h))\"")
    # Files the build writes (the manifest, the build's header) are added
    # where they are made.
    if(EXISTS ${PROJECT_SOURCE_DIR}/resources/${CMAKE_MATCH_1})
      list(APPEND QOB_RC_INPUTS ${PROJECT_SOURCE_DIR}/resources/${CMAKE_MATCH_1})
    endif()
  endif()
endforeach()
set_source_files_properties(resources/QobTessavin.rc PROPERTIES OBJECT_DEPENDS "${QOB_RC_INPUTS}")

# --- end-to-end tests: the real program under Wine on an Xvfb virtual desktop
add_executable(QobDriver tests/e2e/QobDriver.cpp)
qob_target(QobDriver)
target_link_libraries(QobDriver PRIVATE qob_win32 comctl32 shell32 user32)

set(QOB_E2E ${PROJECT_SOURCE_DIR}/tests/e2e)
set(QOB_E2E_RUN ${QOB_E2E}/run_gui.sh python3 ${QOB_E2E}/gui_e2e.py ${CMAKE_BINARY_DIR} ${PROJECT_SOURCE_DIR}/tests/fixtures)
add_test(NAME gui.start.catalogue COMMAND ${QOB_E2E_RUN} start catalogue)
add_test(NAME gui.start.names COMMAND ${QOB_E2E_RUN} start names)
add_test(NAME gui.start.unicode COMMAND ${QOB_E2E_RUN} start unicode)
add_test(NAME gui.keys COMMAND ${QOB_E2E_RUN} keys)
add_test(NAME gui.baddword COMMAND ${QOB_E2E_RUN} baddword)
add_test(NAME gui.close_under_report COMMAND ${QOB_E2E_RUN} close-under-report)
add_test(NAME gui.startup_cursor COMMAND ${QOB_E2E_RUN} startup-cursor)
add_test(NAME gui.maximised COMMAND ${QOB_E2E_RUN} maximised)
add_test(NAME gui.resize COMMAND ${QOB_E2E_RUN} resize)
add_test(NAME gui.removal.answers COMMAND ${QOB_E2E_RUN} removal-answers)
add_test(NAME gui.removal.failures COMMAND ${QOB_E2E_RUN} removal-failures)
add_test(NAME gui.removal.restore COMMAND ${QOB_E2E_RUN} removal-restore)
add_test(NAME gui.removal.under_search COMMAND ${QOB_E2E_RUN} removal-under-search)
add_test(NAME gui.removal.undo COMMAND ${QOB_E2E_RUN} undo)
add_test(NAME gui.search.find COMMAND ${QOB_E2E_RUN} search)
add_test(NAME gui.search.cancel COMMAND ${QOB_E2E_RUN} search-cancel)
add_test(NAME gui.search.busy COMMAND ${QOB_E2E_RUN} search-busy)
add_test(NAME gui.other_broken COMMAND ${QOB_E2E_RUN} other-broken)
set(QOB_GUI_TESTS gui.start.catalogue gui.start.names gui.start.unicode gui.keys gui.baddword gui.close_under_report
  gui.startup_cursor gui.maximised gui.resize gui.removal.answers gui.removal.failures
  gui.removal.restore gui.removal.under_search gui.removal.undo gui.search.find gui.search.cancel gui.search.busy
  gui.other_broken)
# The scenarios above expect the Japanese texts; these again in English, for
# a user whose language is not Japanese, in a prefix made in English (a
# prefix keeps the fonts of the language it was made in).
add_test(NAME gui.en.start.names COMMAND ${QOB_E2E_RUN} start names)
add_test(NAME gui.en.removal.answers COMMAND ${QOB_E2E_RUN} removal-answers)
add_test(NAME gui.en.search.find COMMAND ${QOB_E2E_RUN} search)
add_test(NAME gui.en.removal.undo COMMAND ${QOB_E2E_RUN} undo)
add_test(NAME gui.en.extras.about COMMAND ${QOB_E2E_RUN} about)
add_test(NAME gui.en.other_broken COMMAND ${QOB_E2E_RUN} other-broken)
set(QOB_GUI_TESTS_EN gui.en.start.names gui.en.removal.answers gui.en.search.find gui.en.extras.about
  gui.en.removal.undo gui.en.other_broken)
# Some again on a display at 150% (144 DPI), in a prefix of its own: the
# main window and its parts, a question and the other-broken window's list
# at 1.5 times their sizes at 100%.
add_test(NAME gui.dpi144.start.names COMMAND ${QOB_E2E_RUN} start names)
add_test(NAME gui.dpi144.removal.question COMMAND ${QOB_E2E_RUN} removal-question)
add_test(NAME gui.dpi144.other_broken COMMAND ${QOB_E2E_RUN} other-broken)
set(QOB_GUI_TESTS_DPI gui.dpi144.start.names gui.dpi144.removal.question gui.dpi144.other_broken)

# The tree view and the timer on real windows (needs a screen).
add_executable(window_tests tests/e2e/WindowTests.cpp)
qob_target(window_tests)
target_link_libraries(window_tests PRIVATE qob_windows GTest::gtest_main)
add_test(NAME gui.window_tests COMMAND ${QOB_E2E}/run_gui.sh wine $<TARGET_FILE:window_tests>)
list(APPEND QOB_GUI_TESTS gui.window_tests)
set_tests_properties(${QOB_GUI_TESTS} PROPERTIES RUN_SERIAL TRUE TIMEOUT 120 ENVIRONMENT LANG=ja_JP.UTF-8)
set_tests_properties(${QOB_GUI_TESTS_EN} PROPERTIES RUN_SERIAL TRUE TIMEOUT 180
  ENVIRONMENT "LANG=en_US.UTF-8;WINEPREFIX=${PROJECT_SOURCE_DIR}/build/wine/test-prefix-en")
set_tests_properties(${QOB_GUI_TESTS_DPI} PROPERTIES RUN_SERIAL TRUE TIMEOUT 180
  ENVIRONMENT "LANG=ja_JP.UTF-8;QOB_TEST_DPI=144;WINEPREFIX=${PROJECT_SOURCE_DIR}/build/wine/test-prefix-144")

# Benchmark of the tree view (prints figures; not a test).
add_executable(TreeFillBench tests/e2e/TreeFillBench.cpp)
qob_target(TreeFillBench)
target_link_libraries(TreeFillBench PRIVATE qob_windows)

# The version, the About box's texts, the tutorial page and the release.
include(${PROJECT_SOURCE_DIR}/extras/extras.cmake)
