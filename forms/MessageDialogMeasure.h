// The measuring of a message dialog: its text, button captions and title in
// the system's fonts at the DPI of the window it asks for, and where its
// parts go for them.
#pragma once

#include "forms/FormHandles.h"
#include "forms/MessageDialogLayout.h"

#include <windows.h>

#include <string>
#include <vector>

namespace qob {

// How the message text is measured and drawn: word-wrapped, tabs expanded,
// "&" marks an accelerator.
constexpr UINT kMessageTextFormat = DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS;

struct MeasuredDialog {
    FontHandle font;  // the system's message font; null where it gives none
    DialogLayout layout;
};
// The dialog with `caption`, `text` (its line breaks CR LF), the buttons
// `ids` and an icon or none, at `dpi`.
MeasuredDialog MeasureDialog(int dpi, const std::string& caption, const std::string& text,
                             const std::vector<TMsgDlgBtn>& ids, bool hasIcon);

}  // namespace qob
