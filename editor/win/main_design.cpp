// Main as it was designed, apart from the window's code: the editor creates its window from
// this table, and the start-up benchmark's baseline creates the same controls from it.
#include "editor/win/main_design.hpp"

#include <commctrl.h>

#include "editor/core/version.hpp"
#include "editor/win/fonts.hpp"
#include "editor/win/main_ids.hpp"

namespace editor {

namespace {
using namespace main;

// Fixed single border, no minimize or maximize box, not resizable.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;

constexpr DWORD kCentredLabel = WS_VISIBLE | SS_CENTER | SS_NOPREFIX;
constexpr DWORD kLeftLabel = WS_VISIBLE | SS_LEFT | SS_NOPREFIX;
constexpr DWORD kRule = WS_VISIBLE | SS_LEFT;  // no text: its background is the rule
constexpr DWORD kCheckBox = WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
// A one-row list always holds more items than its row shows, so its scroll bar is there from
// the start: without LBS_DISABLENOSCROLL the list hides the bar when it is made and shows it
// again once filled, and each time its frame and client area are worked out anew.
constexpr DWORD kOneRowList =
    WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOINTEGRALHEIGHT | LBS_DISABLENOSCROLL;
constexpr DWORD kDriveList = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kFolderList = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOINTEGRALHEIGHT |
                              LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
constexpr DWORD kFileList = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOINTEGRALHEIGHT;
constexpr DWORD kButton = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kHiddenText = ES_AUTOHSCROLL;
constexpr DWORD kSunken = WS_EX_CLIENTEDGE;

constexpr const win32::FontSpec* kWindowFont = &fonts::kSansSerif;
constexpr const win32::FontSpec* kListFont = &fonts::kSansSerifList;

// Created in this order, which is the keyboard order (Tab) and the stacking order. The rule
// comes first so that it stays above the title label, whose box reaches over it. Each button's
// access key is one the menu bar's do not take (Alt+S and Alt+H open the menus).
// clang-format off
constexpr ControlRow kControls[] = {
    {Line1,        WC_STATICW,   L"",                                      kRule,         0,       {1440,  720, 6360,    0}, kWindowFont, L"Separator"},
    {Label1,       WC_STATICW,   L"Mon",                                   kCentredLabel, 0,       { 360,  960,  495,  375}, kWindowFont},
    {Label2,       WC_STATICW,   L"Tue",                                   kCentredLabel, 0,       { 840,  960,  495,  255}, kWindowFont},
    {Label3,       WC_STATICW,   L"Wed",                                   kCentredLabel, 0,       {1320,  960,  495,  255}, kWindowFont},
    {Label4,       WC_STATICW,   L"Thu",                                   kCentredLabel, 0,       {1800,  960,  495,  375}, kWindowFont},
    {Label5,       WC_STATICW,   L"Fri",                                   kCentredLabel, 0,       {2280,  960,  375,  255}, kWindowFont},
    {Label6,       WC_STATICW,   L"Sat",                                   kCentredLabel, 0,       {2760,  960,  495,  255}, kWindowFont},
    {Label7,       WC_STATICW,   L"Sun",                                   kCentredLabel, 0,       {3240,  960,  375,  255}, kWindowFont},
    {Command1,     WC_BUTTONW,   L"&Pick Program",                         kButton,       0,       { 240, 4440, 1455,  495}, kWindowFont},
    {Program,      WC_STATICW,   L"Program to be Run when starting up pc", kCentredLabel, 0,       { 240, 2040, 1335,  855}, &fonts::kSansSerifBold},
    {Drive1,       WC_COMBOBOXW, L"",                                      kDriveList,    0,       {1680, 2040,  975,  315}, kWindowFont, L"Drive"},
    {Dir1,         WC_LISTBOXW,  L"",                                      kFolderList,   kSunken, {3120, 2040, 2655, 1890}, kWindowFont, L"Folder"},
    {File1,        WC_LISTBOXW,  L"",                                      kFileList,     kSunken, {6000, 2040, 2655, 1845}, kWindowFont, L"Program file"},
    {Command2,     WC_BUTTONW,   L"Show &List",                            kButton,       0,       {1800, 4440, 1095,  495}, kWindowFont},
    {Command3,     WC_BUTTONW,   L"Ready to &Deploy...",                   kButton,       0,       {3000, 4440, 1215,  495}, kWindowFont},
    {Check1 + 0,   WC_BUTTONW,   L"Check1",                                kCheckBox,     0,       { 480, 1320,  255,  255}, kWindowFont, L"Monday"},
    {Check1 + 1,   WC_BUTTONW,   L"Check1",                                kCheckBox,     0,       { 960, 1320,  255,  255}, kWindowFont, L"Tuesday"},
    {Check1 + 2,   WC_BUTTONW,   L"Check1",                                kCheckBox,     0,       {1440, 1320,  255,  255}, kWindowFont, L"Wednesday"},
    {Check1 + 3,   WC_BUTTONW,   L"Check1",                                kCheckBox,     0,       {1920, 1320,  255,  255}, kWindowFont, L"Thursday"},
    {Check1 + 4,   WC_BUTTONW,   L"Check1",                                kCheckBox,     0,       {2400, 1320,  255,  255}, kWindowFont, L"Friday"},
    {Check1 + 5,   WC_BUTTONW,   L"Check1",                                kCheckBox,     0,       {2880, 1320,  255,  255}, kWindowFont, L"Saturday"},
    {Check1 + 6,   WC_BUTTONW,   L"Check1",                                kCheckBox,     0,       {3360, 1320,  255,  255}, kWindowFont, L"Sunday"},
    {Text1,        WC_EDITW,     L"Text1",                                 kHiddenText,   kSunken, {7680, 4440,  735,  495}, kWindowFont, L"Program being picked"},
    {Label8,       WC_STATICW,   L"Time (Will run after below time)",      kLeftLabel,    0,       {4680,  960, 2295,  255}, kWindowFont},
    {List1,        WC_LISTBOXW,  L"",                                      kOneRowList,   kSunken, {6120, 1320,  855,  360}, kListFont, L"AM or PM"},
    {List2,        WC_LISTBOXW,  L"",                                      kOneRowList,   kSunken, {4440, 1320,  735,  360}, kListFont, L"Hour"},
    {List3,        WC_LISTBOXW,  L"",                                      kOneRowList,   kSunken, {5280, 1320,  735,  360}, kListFont, L"Minute"},
    {Label9,       WC_STATICW,   L"Norvell",                               kCentredLabel, 0,       {1080,  240, 6975,  615}, &fonts::kTitle},
    {Label10,      WC_STATICW,   L"Run Style",                             kCentredLabel, 0,       {7080,  960, 1695,  255}, kWindowFont},
    {List4,        WC_LISTBOXW,  L"",                                      kOneRowList,   kSunken, {7320, 1320, 1575,  360}, kListFont, L"Run style"},
    {Text3,        WC_EDITW,     L"0",                                     kHiddenText,   kSunken, {8400, 4080,  375,  285}, kWindowFont, L"Hour being written"},
    {Text4,        WC_EDITW,     L"",                                      kHiddenText,   kSunken, {8520, 4560,  495,  375}, kWindowFont, L"Pick counter"},
    {Command4,     WC_BUTTONW,   L"E&xit",                                 kButton,       0,       {6120, 4440, 1335,  495}, kWindowFont},
    {Command5,     WC_BUTTONW,   L"&Reset/Clear List",                     kButton,       0,       {4440, 4440, 1455,  495}, kWindowFont},
};
// clang-format on
}  // namespace

// Files dropped on it go to the pickers. The style alone says that the window accepts them:
// DragAcceptFiles would say the same, but would load the shell at every start.
const WindowDesign kMainDesign{kClassName,        kMainTitle,         kWindowStyle,
                               WS_EX_ACCEPTFILES, {0, 0, 9135, 5085}, kControls};

}  // namespace editor
