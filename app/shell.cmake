# The application shell shared by every window: the application object with
# its message loops, cursor and error report, and the message dialog.
add_library(qob_shell STATIC
  app/Application.cpp
  app/AppCursor.cpp
  app/ErrorReport.cpp
)
qob_target(qob_shell)
target_link_libraries(qob_shell PUBLIC qob_core)
