# The window kit every window stands on: the application object with its
# message loops, cursor and error report, the window base TForm and the
# controls, the handles and fonts, the tree-view control, the message
# dialog, and the hand-offs to other programs (registry editor, clipboard,
# saved report, right-click menu).

# What of it is portable (the cursor rule, the error text, the dialog's
# buttons and layout): built and unit-tested natively too.
add_library(qob_forms_core STATIC
  forms/ErrorText.cpp
  forms/MessageDialogLayout.cpp
)
qob_target(qob_forms_core)
target_link_libraries(qob_forms_core PUBLIC qob_core)

if(WIN32)
  add_library(qob_forms STATIC
    forms/Application.cpp
    forms/AppCursor.cpp
    forms/ErrorReport.cpp
    forms/MessageDialog.cpp
    forms/MessageDialogMeasure.cpp
    forms/WindowFonts.cpp
    forms/WindowDpi.cpp
    forms/TForm.cpp
    forms/FormControls.cpp
    forms/TreeViewControl.cpp
    forms/Handoffs.cpp
  )
  qob_target(qob_forms)
  target_link_libraries(qob_forms PUBLIC qob_forms_core qob_win32 comctl32 comdlg32 gdi32 shell32 user32)

  include(${CMAKE_CURRENT_LIST_DIR}/../tests/e2e/dialog.cmake OPTIONAL)
endif()
