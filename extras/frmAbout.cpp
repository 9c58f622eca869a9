#include "extras/frmAbout.h"

#include "resources/ResourceIds.h"

namespace qob {

TfrmAbout::TfrmAbout()
{
    CreateHandle({QOB_CLASS_ABOUT, "バージョン情報", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME,
                  WS_EX_DLGMODALFRAME, 320, 200, nullptr, nullptr});
}

TfrmAbout::~TfrmAbout() { DestroyHandle(); }

}  // namespace qob
