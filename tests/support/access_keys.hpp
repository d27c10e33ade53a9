// Access keys as a window's captions hold them, and Alt with a letter as the keyboard gives it
// to a window of this process: the dialog manager's way, as the editor's message loop runs it.
#pragma once

#include <windows.h>

#include <cwctype>
#include <string>
#include <string_view>
#include <vector>

namespace driver {

// The access key of a caption, lower case: the character after its one "&" ("&&" is an
// ampersand); 0 for a caption without one.
inline wchar_t accessKey(std::wstring_view caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&') continue;
        if (caption[i + 1] != L'&') return static_cast<wchar_t>(std::towlower(caption[i + 1]));
        ++i;
    }
    return 0;
}

// The captions of a menu's items, in order.
inline std::vector<std::wstring> menuCaptions(HMENU menu) {
    std::vector<std::wstring> captions;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t caption[128] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), caption, 128, MF_BYPOSITION);
        captions.emplace_back(caption);
    }
    return captions;
}

// The captions of a window's children that the dialog manager looks at for an access key: push
// buttons, and labels that show an "&" as one.
inline std::vector<std::wstring> controlCaptions(HWND window) {
    std::vector<std::wstring> captions;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[32] = {};
        GetClassNameW(child, name, 32);
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
        const bool button = CompareStringOrdinal(name, -1, L"Button", -1, TRUE) == CSTR_EQUAL &&
                            (style & BS_TYPEMASK) <= BS_DEFPUSHBUTTON;
        const bool label = CompareStringOrdinal(name, -1, L"Static", -1, TRUE) == CSTR_EQUAL &&
                           !(style & SS_NOPREFIX);
        if (!button && !label) continue;
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(child)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(
            GetWindowTextW(child, text.data(), static_cast<int>(text.size()))));
        captions.push_back(std::move(text));
    }
    return captions;
}

// Whether some access key stands twice among `captions`.
inline bool accessKeysClash(const std::vector<std::wstring>& captions) {
    std::vector<wchar_t> keys;
    for (const std::wstring& caption : captions) {
        const wchar_t key = accessKey(caption);
        if (key == 0) continue;
        for (wchar_t seen : keys) {
            if (seen == key) return true;
        }
        keys.push_back(key);
    }
    return false;
}

// Alt with `key` pressed while `focus`, a control of `window`, has the keyboard: the character
// message that the key makes, handed to the dialog manager as the editor's message loop hands
// it. True when the dialog manager took it.
inline bool pressAltWith(HWND window, HWND focus, wchar_t key) {
    MSG message{};
    message.hwnd = focus;
    message.message = WM_SYSCHAR;
    message.wParam = key;
    message.lParam = 1 | 0x20000000;  // once, with Alt held
    return IsDialogMessageW(window, &message) != FALSE;
}

}  // namespace driver
