// The fonts the editor's windows are designed with, each named in points with the families
// that stand in where it is missing: one list of stand-ins per family.
#pragma once

#include "win32/font.hpp"

namespace editor::fonts {

extern const win32::FontSpec kSansSerif;      // MS Sans Serif 8.25 pt, the windows' own
extern const win32::FontSpec kSansSerifBold;  // MS Sans Serif 8.25 pt bold
extern const win32::FontSpec kSansSerifList;  // MS Sans Serif 12 pt, Main's one-row lists
extern const win32::FontSpec kTitle;          // Book Antiqua 14.25 pt bold, Main's title
extern const win32::FontSpec kDayList;        // Arial Narrow 12 pt bold, the viewer's lines
extern const win32::FontSpec kAbout;          // Arial 12 pt, the About text

}  // namespace editor::fonts
