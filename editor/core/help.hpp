// The Help menu's decisions: the About window's text, and the two documents that open in
// notepad.exe from the application folder.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "editor/core/services.hpp"
#include "editor/core/version.hpp"

namespace editor::help {
// A namespace of their own: Main's menu identifiers are named About, Readme and Disc too.

// Label1 of Form3. Sized to wrap within the label at Arial 12 pt.
inline constexpr std::string_view kAboutText =
    "Norvell " NORVELL_VERSION_TEXT
    " lets you choose, for each day of the week, which programs start when you "
    "log on to Windows, from which time of day on, and in a normal, hidden, minimized or "
    "maximized window. Its launcher Brightwick starts them at every logon. Norvell is free "
    "software under the MIT License and comes without any warranty; see Help, Disclaimer.";

inline constexpr std::string_view kReadmeFile = "readme.1st";
inline constexpr std::string_view kLicenseFile = "license.txt";

// The system's notepad.exe by its full path in the Windows folder: found by a search, the
// program search would look in the schedule folder first, where anyone who may write a
// schedule file could put a notepad.exe of their own. The document follows on the command
// line by its full path, quoted, since the working folder need not be the application folder
// and may hold blanks.
std::string textEditor(const Services& services);

// Help > About. `show` creates the About window or brings it forward; a window that cannot
// be opened is reported with the system's reason.
void About(Services& services, const std::function<schedule::Outcome()>& show);

// Help > Readme and Help > Disclaimer: readme.1st and license.txt in notepad.exe.
void Readme(Services& services);
void Disc(Services& services);

}  // namespace editor::help
