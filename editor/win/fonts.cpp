#include "editor/win/fonts.hpp"

#include <string_view>

namespace editor::fonts {

namespace {
// MS Sans Serif's outline successor first, then families of about its width.
constexpr std::wstring_view kSansSerifNearest[] = {L"Microsoft Sans Serif", L"Arial",
                                                   L"Liberation Sans", L"Tahoma", L"DejaVu Sans"};
constexpr std::wstring_view kBookAntiquaNearest[] = {
    L"Palatino Linotype", L"Palatino",         L"P052",
    L"URW Palladio L",    L"TeX Gyre Pagella", L"Georgia",
    L"Times New Roman",   L"Liberation Serif", L"DejaVu Serif"};
// Arial Narrow ships with Office, not with Windows; Windows 10 and 11 ship Bahnschrift, whose
// condensed widths come closest. Then the narrow families of other systems.
constexpr std::wstring_view kArialNarrowNearest[] = {L"Bahnschrift SemiCondensed",
                                                     L"Bahnschrift Condensed",
                                                     L"Liberation Sans Narrow",
                                                     L"Nimbus Sans Narrow",
                                                     L"Helvetica Narrow",
                                                     L"DejaVu Sans Condensed",
                                                     L"Arial",
                                                     L"Liberation Sans"};
constexpr std::wstring_view kArialNearest[] = {L"Liberation Sans", L"Arimo",       L"Helvetica",
                                               L"Nimbus Sans",     L"DejaVu Sans", L"Tahoma"};
}  // namespace

const win32::FontSpec kSansSerif{L"MS Sans Serif", 825, false, kSansSerifNearest, FF_SWISS};
const win32::FontSpec kSansSerifBold{L"MS Sans Serif", 825, true, kSansSerifNearest, FF_SWISS};
const win32::FontSpec kSansSerifList{L"MS Sans Serif", 1200, false, kSansSerifNearest, FF_SWISS};
const win32::FontSpec kTitle{L"Book Antiqua", 1425, true, kBookAntiquaNearest, FF_ROMAN};
// The lines are drawn at 12 points, the size the viewer sets before every line it draws.
const win32::FontSpec kDayList{L"Arial Narrow", 1200, true, kArialNarrowNearest, FF_SWISS};
const win32::FontSpec kAbout{L"Arial", 1200, false, kArialNearest, FF_SWISS};

}  // namespace editor::fonts
