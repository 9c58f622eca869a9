// The controls the windows are built from: timers, panels with the graphic
// controls they paint (bevel lines, labels, images, speed buttons), and the
// platform's modeless find dialog.
#pragma once

#include "forms/FormHandles.h"
#include "texts/Texts.h"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>

#include <functional>
#include <span>
#include <string>
#include <vector>

namespace qob {

// A window timer that calls its handler on every tick while it is enabled.
class TTimer {
public:
    TTimer(UINT_PTR id, UINT interval) : id_(id), interval_(interval) {}
    ~TTimer();
    TTimer(const TTimer&) = delete;
    TTimer& operator=(const TTimer&) = delete;

    void SetOwner(HWND owner) { owner_ = owner; }
    std::function<void()> OnTimer;
    int Tag = 0;

    bool Enabled() const { return enabled_; }
    // EOutOfResources (ErrorNoTimer) when the system refuses the timer.
    void SetEnabled(bool enabled);
    UINT Interval() const { return interval_; }
    // For WM_TIMER of the owner: true when the tick was this timer's.
    bool Tick(UINT_PTR id);

private:
    UINT_PTR id_;
    UINT interval_;
    HWND owner_ = nullptr;
    bool enabled_ = false;
};

// Something a panel paints on itself, without a window of its own.
class TGraphicControl {
public:
    explicit TGraphicControl(RECT bounds) : bounds_(bounds) {}
    virtual ~TGraphicControl() = default;
    const RECT& Bounds() const { return bounds_; }
    void SetBounds(const RECT& bounds) { bounds_ = bounds; }
    virtual void Paint(HDC dc) = 0;

protected:
    RECT bounds_;
};

// A lowered etched line along one edge of its box.
class TBevel final : public TGraphicControl {
public:
    enum class Edge { Top, Left, Bottom };
    TBevel(RECT bounds, Edge edge) : TGraphicControl(bounds), edge_(edge) {}
    void Paint(HDC dc) override;

private:
    Edge edge_;
};

class TLabel final : public TGraphicControl {
public:
    TLabel(int left, int top, const std::string& caption, HFONT font);
    void Paint(HDC dc) override;
    void SetFont(HFONT font) { font_ = font; }

private:
    std::wstring caption_;
    HFONT font_;
};

// An icon stretched to its box.
class TImage final : public TGraphicControl {
public:
    TImage(RECT bounds, HICON icon) : TGraphicControl(bounds), icon_(icon) {}
    void Paint(HDC dc) override;
    void SetIcon(HICON icon) { icon_ = icon; }

private:
    HICON icon_;
};

// A picture from the program's resources as an image list of one image, the
// colour of its bottom-left pixel drawn transparent; `size` gets its size.
// `resource` names its 100% form: the form drawn for `dpi` is taken, or the
// 100% one where there is no other.
ImageListHandle LoadTransparentPicture(int resource, int dpi, SIZE& size);
// The program's icon at `side` pixels square, from the size of it drawn
// nearest.
IconHandle LoadProgramIcon(int resource, int side);

// A raised button with a centred glyph; it never takes the keyboard focus.
// The glyph's bottom-left pixel gives its transparent colour.
class TSpeedButton final : public TGraphicControl {
public:
    TSpeedButton(RECT bounds, int glyphResource, const std::string& hint, int dpi);
    void Paint(HDC dc) override;
    // The glyph drawn for `dpi`.
    void LoadGlyph(int dpi);
    const std::wstring& Hint() const { return hint_; }
    std::function<void()> OnClick;
    bool down = false;

private:
    int glyphResource_;
    ImageListHandle glyph_;
    SIZE glyphSize_{};
    std::wstring hint_;
};

// A child window with an optional one-pixel bevel and caption; it paints its
// graphic controls, runs its speed buttons and passes notifications of its
// child windows on to its parent.
class TPanel {
public:
    enum class Bevel { None, Raised, Lowered };
    TPanel() = default;
    TPanel(const TPanel&) = delete;
    TPanel& operator=(const TPanel&) = delete;
    ~TPanel();

    void Create(HWND parent, int id, RECT bounds, Bevel bevel, const std::string& caption, HFONT font);
    HWND Handle() const { return handle_; }
    void Add(TGraphicControl& control);
    void Add(TSpeedButton& button);
    void SetBounds(int left, int top, int width, int height);
    void SetVisible(bool visible);
    bool Visible() const { return handle_ && ::IsWindowVisible(handle_); }
    // The caption's font; the panel is drawn again.
    void SetFont(HFONT font);
    // After its controls have new bounds: the hints follow the buttons and
    // the panel is drawn again.
    void ControlsMoved();
    std::function<void()> OnResize;

private:
    static LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    TSpeedButton* ButtonAt(POINT pt) const;
    // The mouse on the speed buttons: a press, the mouse moving while the
    // button is held (it shows pressed only while the mouse is over it), and
    // the release, which clicks it when the mouse is still over it, and the
    // loss of the mouse, which lets it go unclicked.
    void PressButtonAt(POINT pt);
    void TrackPressedButton(POINT pt);
    void ReleasePressedButton();
    void DropPressedButton();

    HWND handle_ = nullptr;
    HWND tooltip_ = nullptr;
    Bevel bevel_ = Bevel::None;
    std::wstring caption_;
    HFONT font_ = nullptr;
    std::vector<TGraphicControl*> controls_;
    std::vector<TSpeedButton*> buttons_;
    TSpeedButton* pressed_ = nullptr;
};

// The platform's modeless find dialog (FindTextW).
class TFindDialog {
public:
    TFindDialog();
    TFindDialog(const TFindDialog&) = delete;
    TFindDialog& operator=(const TFindDialog&) = delete;
    ~TFindDialog();

    void SetOwner(HWND owner) { owner_ = owner; }
    // Opens the dialog (where it was when it last closed; its text kept), or
    // brings it to the front when it is open.
    void Execute();
    void CloseDialog();
    HWND Handle() const { return dialog_; }
    // The text to find, UTF-8.
    std::string FindText() const;
    std::function<void()> OnFind;
    // For the owner's window procedure: true when `message` came from the dialog.
    bool HandleMessage(UINT message, LPARAM lParam);

private:
    HWND owner_ = nullptr;
    HWND dialog_ = nullptr;
    // Where the dialog was when it last closed.
    bool placed_ = false;
    POINT place_{};
    FINDREPLACEW params_{};
    // The dialog's length is documented in bytes, but Wine takes it as
    // characters: the buffer holds as many characters as the length says.
    wchar_t buffer_[512] = {};
};

// A column of a report list view: its title from the table of texts, its
// width, and how its cells are aligned.
struct ListColumn {
    TextId title;
    int width;
    int format = LVCFMT_LEFT;
};
// Adds the columns to the list view, in order, their widths at the list's scale.
void AddListColumns(HWND list, std::span<const ListColumn> columns);
// Gives each column of the list the width for `toDpi` of its width at `fromDpi`.
void RescaleListColumns(HWND list, int fromDpi, int toDpi);
// Sets the text (UTF-8) of one cell of a list view.
void SetListCell(HWND list, int item, int column, const std::string& text);
// The number of items of a list view.
int ListItemCount(HWND list);
// Whether the item's check box is checked.
bool ListItemChecked(HWND list, int item);
// The item's own value (its lParam).
std::size_t ListItemParam(HWND list, int item);

}  // namespace qob
