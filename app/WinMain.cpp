// QobTessavin.exe: start-up. The language of the user's interface, the
// title, the three windows in their order, then the message loop until the
// main window is closed.
#include "forms/Application.h"
#include "app/Form1.h"
#include "extras/frmAbout.h"
#include "search/frmFind.h"
#include "texts/Texts.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>

namespace {

int MainShowCommand(int showCommand)
{
    if (showCommand == SW_SHOWMAXIMIZED)
        return SW_SHOWMAXIMIZED;
    if (showCommand == SW_SHOWMINNOACTIVE)
        return SW_SHOWMINNOACTIVE;
    return SW_SHOWNORMAL;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    using namespace qob;
    SelectLanguage(LanguageForUiLanguage(::GetUserDefaultUILanguage()));
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);

    Application.Initialize(instance);
    Application.SetTitle(std::string(Text(TextId::AppTitle)));
    std::unique_ptr<TForm1> form1;
    std::unique_ptr<TfrmAbout> aboutBox;
    std::unique_ptr<TfrmFind> findForm;
    Application.Guard([&] { form1 = std::make_unique<TForm1>(); });
    Application.Guard([&] { aboutBox = std::make_unique<TfrmAbout>(); });
    frmAbout = aboutBox.get();
    if (!form1)
        return 1;
    Application.Guard([&] {
        findForm = std::make_unique<TfrmFind>(form1->tmrFind);
        frmFind = findForm.get();
    });
    form1->Show(MainShowCommand(showCommand));
    if (showCommand != SW_SHOWMINNOACTIVE)
        form1->trvRegKey().Focus();
    const int exitCode = Application.Run();
    frmFind = nullptr;
    findForm.reset();
    frmAbout = nullptr;
    aboutBox.reset();
    form1.reset();
    return exitCode;
}
