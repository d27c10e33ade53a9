// The editor's messages: a message box where the text fits one on the owner's monitor; else a
// window with the same words that fits the monitor's work area, scrolls, lets its text be
// selected and copied, and can be resized.
#pragma once

#include <windows.h>

#include <string_view>

#include "editor/core/services.hpp"

namespace editor {

// Modal to `owner` (may be null), titled "Norvell", without an icon, with the buttons and the
// default that Messages::message promises.
Answer showMessage(HWND owner, std::string_view text, Buttons buttons);

}  // namespace editor
