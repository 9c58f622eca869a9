#include "search/frmFind.h"

#include "resources/ResourceIds.h"

namespace qob {

TfrmFind::TfrmFind()
{
    CreateHandle({QOB_CLASS_FIND, "検索中", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, 320, 160,
                  nullptr, nullptr});
}

TfrmFind::~TfrmFind() { DestroyHandle(); }

}  // namespace qob
