// What a command asks of the user and shows while it works: the kinds of
// message dialog, their buttons and result codes, and the values of the
// application-wide cursor (portable: no <windows.h>). The commands' cores
// (removal/, search/) speak in these terms; the windows (app/) carry them out.
// Nothing here includes a project header.
#pragma once

#include <cstdint>

namespace qob {

// Dialog kinds.
enum TMsgDlgType : int { mtWarning = 0, mtError = 1, mtInformation = 2, mtConfirmation = 3, mtCustom = 4 };

// Button bits; a button set holds 1 << bit for each button.
enum TMsgDlgBtn : int {
    mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp
};
constexpr int kButtonCount = 11;
using TMsgDlgButtons = std::uint16_t;
constexpr TMsgDlgButtons ButtonBit(TMsgDlgBtn button) { return static_cast<TMsgDlgButtons>(1u << button); }
constexpr TMsgDlgButtons mbYesNo = ButtonBit(mbYes) | ButtonBit(mbNo);
constexpr TMsgDlgButtons mbOKOnly = ButtonBit(mbOK);

// Result codes.
constexpr int mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6,
              mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10;

// Values of the application-wide cursor.
constexpr short crDefault = 0;
constexpr short crHourGlass = -11;  // IDC_WAIT
constexpr short crAppStart = -19;   // IDC_APPSTARTING

}  // namespace qob
