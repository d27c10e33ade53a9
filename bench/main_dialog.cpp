// The baseline of the editor's start-up benchmark: Main's controls, with their classes, styles
// and places from Main's own table, created by the system from one in-memory dialog template
// and shown. No fonts, no list items, no menu: what any program pays for that window. Built
// and manifested as Norvell.exe is; ends when its window is closed.
#include <windows.h>

#include <cstring>
#include <string_view>
#include <vector>

#include "editor/win/main_design.hpp"
#include "win32/twips.hpp"

namespace {

constexpr wchar_t kTitle[] = L"Main as a dialog";

// A dialog template is a run of WORDs, each part aligned as the documentation asks.
class Template {
  public:
    void align(std::size_t bytes) {
        while ((words_.size() * sizeof(WORD)) % bytes) words_.push_back(0);
    }
    void word(WORD value) { words_.push_back(value); }
    void dword(DWORD value) {
        word(LOWORD(value));
        word(HIWORD(value));
    }
    void text(std::wstring_view value) {
        for (wchar_t c : value) word(static_cast<WORD>(c));
        word(0);
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

  private:
    std::vector<WORD> words_;
};

// Dialog units of a template without a font of its own: from the system's dialog base units.
short dialogUnits(int pixels, int baseUnits, int unitsPerBase) {
    return static_cast<short>(MulDiv(pixels, unitsPerBase, baseUnits));
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_CLOSE:
            DestroyWindow(dialog);
            return TRUE;
        case WM_DESTROY:
            PostQuitMessage(0);
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    const editor::WindowDesign& design = editor::kMainDesign;
    const LONG base = GetDialogBaseUnits();
    const int baseX = LOWORD(base), baseY = HIWORD(base);
    constexpr unsigned kDpi = 96;
    const auto x = [&](int twips) {
        return dialogUnits(win32::twipsToPixels(twips, kDpi), baseX, 4);
    };
    const auto y = [&](int twips) {
        return dialogUnits(win32::twipsToPixels(twips, kDpi), baseY, 8);
    };

    Template dialog;
    dialog.dword(design.style);
    dialog.dword(design.extendedStyle);
    dialog.word(static_cast<WORD>(design.controls.size()));
    dialog.word(static_cast<WORD>(x(0)));
    dialog.word(static_cast<WORD>(y(0)));
    dialog.word(static_cast<WORD>(x(design.clientArea.width)));
    dialog.word(static_cast<WORD>(y(design.clientArea.height)));
    dialog.word(0);  // no menu
    dialog.word(0);  // the dialog class
    dialog.text(kTitle);
    for (const editor::ControlRow& control : design.controls) {
        dialog.align(sizeof(DWORD));
        dialog.dword(control.style | WS_CHILD | WS_CLIPSIBLINGS);
        dialog.dword(control.extendedStyle);
        dialog.word(static_cast<WORD>(x(control.place.left)));
        dialog.word(static_cast<WORD>(y(control.place.top)));
        dialog.word(static_cast<WORD>(x(control.place.width)));
        dialog.word(static_cast<WORD>(y(control.place.height)));
        dialog.word(static_cast<WORD>(control.id));
        dialog.text(control.className);
        dialog.text(control.caption);
        dialog.word(0);  // no creation data
    }

    HWND window = CreateDialogIndirectParamW(instance, dialog.get(), nullptr, DialogProc, 0);
    if (!window) return 1;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
