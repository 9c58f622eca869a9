// The main window without elevation: the Registry menu's restart as
// administrator, with the system's shield beside it, and the restart itself.
// What is offered when is decided by extras/Elevation.h.
#include "app/Form1.h"

#include "forms/MessageDialog.h"
#include "forms/WindowDpi.h"
#include "catalogue/Win32Text.h"
#include "resources/ResourceIds.h"
#include "texts/Texts.h"

#include <shellapi.h>

namespace qob {

namespace {

// The system's small shield as a 32-bit bitmap with its alpha, as a menu
// item shows it at `dpi`; null when the system has none.
BitmapHandle ShieldBitmap(int dpi)
{
    SHSTOCKICONINFO info{};
    info.cbSize = sizeof info;
    if (FAILED(::SHGetStockIconInfo(SIID_SHIELD, SHGSI_ICON | SHGSI_SMALLICON, &info)) || !info.hIcon)
        return {};
    const IconHandle icon(info.hIcon);
    const int width = SystemMetricForDpi(SM_CXSMICON, dpi);
    const int height = SystemMetricForDpi(SM_CYSMICON, dpi);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;  // top-down
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    BitmapHandle bitmap(::CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap)
        return {};
    const MemoryDC dc(nullptr);
    const SelectedObject selected(dc.Get(), bitmap.get());
    ::DrawIconEx(dc.Get(), 0, 0, icon.get(), width, height, 0, nullptr, DI_NORMAL);
    return bitmap;
}

}  // namespace

void TForm1::AddRestartItem()
{
    offersRestart_ = OffersRestartAsAdministrator(elevation_, keyStore_);
    HMENU registry = ::GetSubMenu(::GetMenu(Handle()), 0);
    if (!offersRestart_ || !registry)
        return;
    // Above the separator before the exit.
    int at = ::GetMenuItemCount(registry);
    for (int item = 0; item < at; ++item) {
        if (::GetMenuItemID(registry, item) == IDM_CLOSE1) {
            at = item > 0 ? item - 1 : item;
            break;
        }
    }
    shield_ = ShieldBitmap(Dpi());
    std::wstring text = WidenText(std::string(Text(TextId::MenuRestartAsAdministrator)));
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_ID | MIIM_STRING | (shield_ ? MIIM_BITMAP : 0);
    item.wID = IDM_RESTARTADMIN1;
    item.dwTypeData = text.data();
    item.hbmpItem = shield_.get();
    ::InsertMenuItemW(registry, static_cast<UINT>(at), TRUE, &item);
}

void TForm1::RedrawShield()
{
    if (!shield_)
        return;
    BitmapHandle shield = ShieldBitmap(Dpi());
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_BITMAP;
    item.hbmpItem = shield.get();
    if (::SetMenuItemInfoW(::GetMenu(Handle()), IDM_RESTARTADMIN1, FALSE, &item))
        shield_ = std::move(shield);  // the menu no longer shows the old one
}

void TForm1::RestartAsAdministrator1Click(void* /*Sender*/)
{
    const RestartOutcome outcome = RestartAsAdministrator(
        elevation_, [](long code) { return SystemErrorText(static_cast<unsigned long>(code)); });
    if (outcome.started)
        ::PostMessageW(Handle(), WM_CLOSE, 0, 0);  // the normal way out, once this command is done
    else if (!outcome.message.empty())
        ShowMessageDialog(outcome.message, mtError, mbOKOnly, 0);
}

}  // namespace qob
