// Owners of the window system's handles: each one releases its handle once,
// whatever path the code takes.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <type_traits>

namespace qob {

struct GdiObjectRelease {
    void operator()(void* object) const { ::DeleteObject(static_cast<HGDIOBJ>(object)); }
};
struct IconRelease {
    void operator()(HICON icon) const { ::DestroyIcon(icon); }
};
struct ImageListRelease {
    void operator()(HIMAGELIST list) const { ::ImageList_Destroy(list); }
};
struct AcceleratorRelease {
    void operator()(HACCEL table) const { ::DestroyAcceleratorTable(table); }
};
struct MenuRelease {
    void operator()(HMENU menu) const { ::DestroyMenu(menu); }
};
struct LibraryRelease {
    void operator()(HMODULE module) const { ::FreeLibrary(module); }
};

using FontHandle = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectRelease>;
using BitmapHandle = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectRelease>;
using IconHandle = std::unique_ptr<std::remove_pointer_t<HICON>, IconRelease>;
using ImageListHandle = std::unique_ptr<std::remove_pointer_t<HIMAGELIST>, ImageListRelease>;
using AcceleratorHandle = std::unique_ptr<std::remove_pointer_t<HACCEL>, AcceleratorRelease>;
using MenuHandle = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuRelease>;
using LibraryHandle = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryRelease>;

// Selects an object into a device context for one scope.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~SelectedObject() { ::SelectObject(dc_, previous_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A memory device context for one scope.
class MemoryDC {
public:
    explicit MemoryDC(HDC like) : dc_(::CreateCompatibleDC(like)) {}
    ~MemoryDC() { ::DeleteDC(dc_); }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

}  // namespace qob
