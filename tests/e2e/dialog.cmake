# End-to-end tests of the message dialog and the error report under Wine and
# Xvfb: DialogHost shows one dialog, DialogDriver looks at it from outside,
# DialogTests.sh drives it with real keys and clicks.
add_executable(DialogHost ${PROJECT_SOURCE_DIR}/tests/e2e/DialogHost.cpp)
qob_target(DialogHost)
target_link_libraries(DialogHost PRIVATE qob_forms shell32)

add_executable(DialogDriver ${PROJECT_SOURCE_DIR}/tests/e2e/DialogDriver.cpp)
qob_target(DialogDriver)
target_link_libraries(DialogDriver PRIVATE qob_win32 shell32 user32)

set(QOB_DIALOG_SCENARIOS
  yesno_keys yesno_closebox yesno_tab ok_keys ok_closebox empty_set help_button nested
  text_lines cursor_rule terminate error_report)
foreach(scenario ${QOB_DIALOG_SCENARIOS})
  add_test(NAME wine.dialog.${scenario}
    COMMAND ${PROJECT_SOURCE_DIR}/tests/e2e/DialogTests.sh ${scenario}
      $<TARGET_FILE:DialogHost> $<TARGET_FILE:DialogDriver> ${CMAKE_BINARY_DIR}/dialog-e2e)
  set_tests_properties(wine.dialog.${scenario} PROPERTIES RUN_SERIAL TRUE TIMEOUT 120 ENVIRONMENT LANG=ja_JP.UTF-8)
endforeach()
