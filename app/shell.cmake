# The application shell shared by every window: the application object with
# its message loops, cursor and error report, and the message dialog.

# What of it is portable (the cursor rule, the dialog's buttons and layout):
# built and unit-tested natively too.
add_library(qob_shell_core STATIC
  app/ErrorText.cpp
  app/MessageDialogLayout.cpp
)
qob_target(qob_shell_core)
target_link_libraries(qob_shell_core PUBLIC qob_core)

if(WIN32)
  add_library(qob_shell STATIC
    app/Application.cpp
    app/AppCursor.cpp
    app/ErrorReport.cpp
    app/MessageDialog.cpp
    app/WindowFonts.cpp
  )
  qob_target(qob_shell)
  target_link_libraries(qob_shell PUBLIC qob_shell_core qob_win32 gdi32 user32)

  include(${CMAKE_CURRENT_LIST_DIR}/../tests/e2e/dialog.cmake OPTIONAL)
endif()
