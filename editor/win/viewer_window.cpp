#include "editor/win/viewer_window.hpp"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <string_view>
#include <utility>

#include "editor/core/change_record.hpp"
#include "editor/core/day_actions.hpp"
#include "editor/core/show_list.hpp"
#include "editor/win/change_dialog.hpp"
#include "editor/win/fonts.hpp"
#include "win32/font.hpp"
#include "win32/owners.hpp"
#include "win32/text.hpp"

namespace editor {

namespace {
using namespace form2;

// Fixed single border, no minimize or maximize box, not resizable.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = WS_EX_CONTROLPARENT;
// "Back to Main Menu" does not fit on one line of its narrow button.
constexpr DWORD kButton = WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE;
// A stock list box brings selection, keyboard, scrolling and screen readers; the viewer draws
// each record's lines itself, as they were always drawn. The parent hears of Delete.
constexpr DWORD kList = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_OWNERDRAWVARIABLE |
                        LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | LBS_WANTKEYBOARDINPUT;
constexpr int kDayButtons = 7;
constexpr int kButtonsTop = 7200;
constexpr int kListBottom = 7080;
constexpr int kClientHeight = 7785;
// How a program that will not start is marked after its line: drawn only, the line itself
// stays.
std::wstring_view markOf(ProgramState program) {
    switch (program) {
        case ProgramState::NotFound:
            return L" (not found)";
        case ProgramState::PathTooLong:
            return L" (path too long)";
        case ProgramState::Unquoted:
            return L" (not found; quote the program's path if the line holds arguments)";
        case ProgramState::NeverStarts:
            return L" (never starts)";
        case ProgramState::Found:
            break;
    }
    return {};
}

// One row of buttons, all at the same height, each in its own font: a day turns bold alone.
constexpr ControlRow button(int id, const wchar_t* caption, int left, int width) {
    return {
        id, WC_BUTTONW, caption, kButton, 0, {left, kButtonsTop, width, 495}, &fonts::kSansSerif};
}

// The list is everything above the row of buttons, less a small gap that keeps lines off
// them; Tab reaches it after the buttons. Each button has an access key of its own.
constexpr ControlRow kControls[] = {
    button(Command1, L"&Monday", 120, 975),
    button(Command2, L"&Tuesday", 1200, 975),
    button(Command3, L"&Wednesday", 2280, 1215),
    button(Command4, L"T&hursday", 3600, 975),
    button(Command5, L"&Friday", 4560, 975),
    button(Command6, L"&Saturday", 5640, 975),
    button(Command7, L"S&unday", 6720, 975),
    button(Command8, L"&Back to Main Menu", 7800, 975),
    {DayList,
     WC_LISTBOXW,
     L"",
     kList,
     0,
     {0, 0, 10095, kListBottom},
     &fonts::kDayList,
     L"Scheduled programs"},
};
// On a monitor without room for it the list gives way, down to an inch of it above the
// buttons, and not narrower than the row of buttons with its margins.
constexpr WindowDesign kDesign{kClassName,
                               kTitle,
                               kWindowStyle,
                               kWindowExStyle,
                               {0, 0, 10095, kClientHeight},
                               kControls,
                               {0, 0, 7800 + 975 + 120, 1440 + kClientHeight - kListBottom}};

// The line of an entry that shows its program; past the end for an entry without a record.
std::size_t programLineOf(const DayEntry& entry) {
    if (!entry.record) return entry.lines.size();
    const std::optional<std::string> program = shownLine(entry.record->program);
    for (std::size_t i = 0; i < entry.lines.size(); ++i) {
        if (program && entry.lines[i] == *program) return i;
    }
    return entry.lines.size();
}

// An entry's lines as one text, as they are drawn, the mark too: what the list holds for it,
// and what a screen reader reads, which cannot see the grey.
std::wstring entryText(const DayEntry& entry) {
    const std::size_t program = programLineOf(entry);
    std::wstring text;
    for (std::size_t i = 0; i < entry.lines.size(); ++i) {
        if (i > 0) text += L"\r\n";
        text += win32::widen(entry.lines[i]);
        if (i == program) text += markOf(entry.program);
    }
    return text;
}

// A program line that does not fit keeps its end, the program's own name, in view: the middle
// of the path gives way. The mark of a program that will not start follows whatever is drawn
// of the line.
void drawProgramLine(HDC dc, const std::wstring& line, std::wstring_view mark, RECT area) {
    SIZE markSize{};
    if (!mark.empty())
        GetTextExtentPoint32W(dc, mark.data(), static_cast<int>(mark.size()), &markSize);
    RECT path{area.left, area.top, std::max(area.left, area.right - markSize.cx), area.bottom};
    constexpr UINT kFormat = DT_SINGLELINE | DT_NOPREFIX | DT_LEFT | DT_TOP | DT_PATH_ELLIPSIS;
    DrawTextW(dc, line.c_str(), static_cast<int>(line.size()), &path, kFormat);
    if (mark.empty()) return;
    // Where the line as drawn ends: the same shortening, measured; the room may hold four
    // more characters than the line, as the shortening asks.
    std::wstring drawn = line + std::wstring(4, L'\0');
    RECT measured = path;
    DrawTextW(dc, drawn.data(), static_cast<int>(line.size()), &measured,
              kFormat | DT_CALCRECT | DT_MODIFYSTRING);
    const std::wstring shortened(drawn.c_str());
    SIZE shown{};
    GetTextExtentPoint32W(dc, shortened.c_str(), static_cast<int>(shortened.size()), &shown);
    TextOutW(dc, std::min(area.left + shown.cx, path.right), area.top, mark.data(),
             static_cast<int>(mark.size()));
}

}  // namespace

Form2::Form2(ViewerServices services, ScheduleUse use, std::function<void()> onBackToMain,
             MainControls* counter)
    : services_(services), use_(use), onBackToMain_(std::move(onBackToMain)), counter_(counter) {}

schedule::Outcome Form2::create(WindowRegistry* windows) {
    return Window::create(kDesign, windows);
}

// clang-format off
LRESULT Form2::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:         OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
        case WM_CLOSE:           OnBackToMain(); return 0;
        case WM_ACTIVATE:        OnActivateFocus(LOWORD(wParam) != WA_INACTIVE, control(Command1)); return 0;
        case WM_SETFOCUS:        OnSetFocusTo(control(Command1)); return 0;
        case WM_MOUSEWHEEL:      SendMessageW(control(DayList), WM_MOUSEWHEEL, wParam, lParam); return 0;
        case WM_CONTEXTMENU:     OnContextMenu(reinterpret_cast<HWND>(wParam), GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
        case WM_VKEYTOITEM:      return OnVKeyToItem(LOWORD(wParam));
        case WM_MEASUREITEM:     OnMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)); return TRUE;
        case WM_DRAWITEM:        OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
        case WM_CTLCOLORLISTBOX: return OnCtlColorListBox(reinterpret_cast<HDC>(wParam));
    }
    return DefWindowProcW(hwnd(), message, wParam, lParam);
}

void Form2::OnCommand(int id, int code) {
    switch (id) {
        case Command1: case Command2: case Command3: case Command4:
        case Command5: case Command6: case Command7: if (code == BN_CLICKED) OnDayButton(id - Command1); return;
        case Command8:                               if (code == BN_CLICKED) OnBackToMain(); return;
        case DayList:                                if (code == LBN_DBLCLK) OnStartNow(); return;
        case StartNow:                               OnStartNow(); return;
        case OpenLocation:                           OnOpenFileLocation(); return;
        case Remove:                                 OnRemove(); return;
        case ChangeRecord:                           OnChange(); return;
        case TurnOff: case TurnOn:                   OnTurnOffOrOn(); return;
        case IDOK:                                   OnEnter(); return;
        case IDCANCEL:                               OnBackToMain(); return;
    }
}
// clang-format on

win32::PixelRect Form2::placeOf(const ControlRow& row, unsigned dpi) const {
    win32::PixelRect place = win32::toPixels(row.place, dpi);
    // Where the window gave way, the list is shorter and narrower and scrolls; the buttons keep
    // their place above the bottom edge.
    const win32::PixelSize shortBy = shortOfDesign();
    if (row.id == DayList) {
        place.width -= shortBy.width;
        place.height -= shortBy.height;
    } else {
        place.top -= shortBy.height;
    }
    return place;
}

void Form2::OnLaidOut(unsigned) {
    // The lines are as high as the new font makes them.
    HWND list = control(DayList);
    for (std::size_t index = 0; index < entries_.size(); ++index) {
        SendMessageW(list, LB_SETITEMHEIGHT, index,
                     static_cast<LPARAM>(entries_[index].lines.size()) * lineHeight());
    }
}

void Form2::OnDayButton(int index) {
    day_ = index;
    editor::OnDayButton(index, *this, services_);
}

void Form2::OnBackToMain() {
    // Main first: with no window of the editor visible in between, the system would hand the
    // activation to some other program's window.
    if (onBackToMain_) onBackToMain_();
    DestroyWindow(hwnd());
}

void Form2::OnEnter() {
    // Enter starts the selected record, as the first item of its menu says; on a button it
    // presses the button, as in a dialog.
    if (GetFocus() == control(DayList)) {
        OnStartNow();
        return;
    }
    pressFocusedButton();
}

void Form2::OnContextMenu(HWND from, int x, int y) {
    HWND list = control(DayList);
    if (from != list) return;
    POINT at{x, y};
    if (x == -1 && y == -1) {
        // Shift+F10 or the Menu key: the menu opens at the selected record.
        RECT item;
        const LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
        if (index == LB_ERR || SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index),
                                            reinterpret_cast<LPARAM>(&item)) == LB_ERR) {
            return;
        }
        at = {item.left + lineHeight(), item.top + lineHeight()};
        ClientToScreen(list, &at);
    } else {
        // A right click selects the record under the mouse first.
        POINT client = at;
        ScreenToClient(list, &client);
        const LRESULT hit = SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(client.x, client.y));
        if (HIWORD(hit) != 0) return;  // below the last record
        SendMessageW(list, LB_SETCURSEL, LOWORD(hit), 0);
    }
    const DayEntry* entry = selected();
    if (!entry) return;
    const UINT wholeRecord = entry->record ? MF_ENABLED : MF_GRAYED;
    win32::UniqueMenu menu(CreatePopupMenu());
    if (!menu) return;
    AppendMenuW(menu.get(), MF_STRING | wholeRecord, StartNow, L"&Start Now\tEnter");
    const bool noFolder =
        entry->program == ProgramState::NotFound || entry->program == ProgramState::Unquoted;
    AppendMenuW(menu.get(), MF_STRING | (noFolder ? MF_GRAYED : wholeRecord), OpenLocation,
                L"Open File &Location");
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    // A turned-off record is changed once it is on again; both take a number from the counter.
    const UINT withCounter = counter_ ? wholeRecord : MF_GRAYED;
    AppendMenuW(menu.get(), MF_STRING | (entry->off ? MF_GRAYED : withCounter), ChangeRecord,
                L"&Change...");
    if (entry->off) {
        AppendMenuW(menu.get(), MF_STRING | withCounter, TurnOn, L"Turn &On");
    } else {
        AppendMenuW(menu.get(), MF_STRING | wholeRecord, TurnOff, L"Turn &Off");
    }
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), MF_STRING | wholeRecord, Remove, L"&Remove from Schedule...\tDel");
    SetMenuDefaultItem(menu.get(), StartNow, FALSE);
    const int chosen =
        static_cast<int>(TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                        at.x, at.y, 0, hwnd(), nullptr));
    if (chosen != 0) OnCommand(chosen, 0);
}

LRESULT Form2::OnVKeyToItem(int key) {
    if (key != VK_DELETE) return -1;  // the list box's own keys
    OnRemove();
    return -2;
}

void Form2::OnMeasureItem(MEASUREITEMSTRUCT& item) const {
    if (item.CtlID != DayList || item.itemID >= entries_.size()) return;
    item.itemHeight =
        static_cast<UINT>(static_cast<int>(entries_[item.itemID].lines.size()) * lineHeight());
}

void Form2::OnDrawItem(const DRAWITEMSTRUCT& item) const {
    if (item.CtlID != DayList) return;
    HDC dc = item.hDC;
    const bool highlighted = (item.itemState & ODS_SELECTED) != 0;
    if (item.itemID < entries_.size()) {
        const DayEntry& entry = entries_[item.itemID];
        FillRect(dc, &item.rcItem, GetSysColorBrush(highlighted ? COLOR_HIGHLIGHT : COLOR_BTNFACE));
        const win32::Selected font(dc, this->font(fonts::kDayList));
        SetBkMode(dc, TRANSPARENT);
        const std::wstring_view mark = markOf(entry.program);
        SetTextColor(dc, GetSysColor(highlighted                  ? COLOR_HIGHLIGHTTEXT
                                     : !mark.empty() || entry.off ? COLOR_GRAYTEXT
                                                                  : COLOR_WINDOWTEXT));
        const std::size_t program = programLineOf(entry);
        const int height = lineHeight();
        for (std::size_t i = 0; i < entry.lines.size(); ++i) {
            const std::wstring line = win32::widen(entry.lines[i]);
            const int top = item.rcItem.top + static_cast<int>(i) * height;
            if (i == program) {
                drawProgramLine(dc, line, mark,
                                {item.rcItem.left, top, item.rcItem.right, top + height});
            } else {
                TextOutW(dc, item.rcItem.left, top, line.c_str(), static_cast<int>(line.size()));
            }
        }
    }
    if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &item.rcItem);
}

LRESULT Form2::OnCtlColorListBox(HDC dc) {
    // The list keeps the window's own background, as the drawn lines always had.
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

const DayEntry* Form2::selected() const {
    const LRESULT index = SendMessageW(control(DayList), LB_GETCURSEL, 0, 0);
    if (index == LB_ERR || static_cast<std::size_t>(index) >= entries_.size()) return nullptr;
    return &entries_[static_cast<std::size_t>(index)];
}

void Form2::OnStartNow() {
    if (const DayEntry* entry = selected()) startNow(*entry, services_);
}

void Form2::OnOpenFileLocation() {
    if (const DayEntry* entry = selected()) openFileLocation(*entry, services_);
}

void Form2::OnRemove() {
    const DayEntry* entry = selected();
    if (!entry || !mayChangeSchedule(use_, ScheduleChange::Remove, services_)) return;
    const LRESULT index = SendMessageW(control(DayList), LB_GETCURSEL, 0, 0);
    if (removeFromSchedule(day_, *entry, services_)) showDayAgain(index);
}

void Form2::OnChange() {
    const DayEntry* entry = selected();
    if (!entry || !entry->record || entry->off || !counter_ ||
        !mayChangeSchedule(use_, ScheduleChange::Change, services_)) {
        return;
    }
    RecordChoices choices = choicesOf(*entry->record, day_);
    bool chosen = false;
    const schedule::Outcome asked =
        askRecordChanges(hwnd(), entry->record->program, choices, chosen);
    if (!asked) {
        services_.messages().message(
            "The Change Record dialog could not be opened: " + asked.error + ".");
        return;
    }
    if (!chosen) return;
    const LRESULT index = SendMessageW(control(DayList), LB_GETCURSEL, 0, 0);
    if (changeRecord(day_, *entry, choices, *counter_, services_)) showDayAgain(index);
}

void Form2::OnTurnOffOrOn() {
    const DayEntry* entry = selected();
    if (!entry || !entry->record || (entry->off && !counter_) ||
        !mayChangeSchedule(use_, ScheduleChange::TurnOffOrOn, services_)) {
        return;
    }
    const LRESULT index = SendMessageW(control(DayList), LB_GETCURSEL, 0, 0);
    const bool changed =
        entry->off ? turnOn(*entry, *counter_, services_) : turnOff(day_, *entry, services_);
    if (changed) showDayAgain(index);
}

void Form2::showDayAgain(LRESULT index) {
    OnDayButton(day_);
    const LRESULT count = SendMessageW(control(DayList), LB_GETCOUNT, 0, 0);
    if (count > 0) SendMessageW(control(DayList), LB_SETCURSEL, std::min(index, count - 1), 0);
}

int Form2::lineHeight() const {
    const std::optional<TEXTMETRICW> metrics = win32::textMetrics(font(fonts::kDayList));
    if (!metrics) return 16;
    return std::max(1, static_cast<int>(metrics->tmHeight + metrics->tmExternalLeading));
}

void Form2::setDayBold(int index, bool bold) {
    if (index < 0 || index >= kDayButtons) return;
    const auto day = static_cast<std::size_t>(index);
    if (bold_[day] == bold) return;
    bold_[day] = bold;
    setControlFont(Command1 + index, bold ? fonts::kSansSerifBold : fonts::kSansSerif);
}

void Form2::setEntries(std::vector<DayEntry> entries) {
    HWND list = control(DayList);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    // The list measures each entry as it is added, from entries_.
    entries_ = std::move(entries);
    for (const DayEntry& entry : entries_) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entryText(entry).c_str()));
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

std::unique_ptr<Form2> ShowList(ViewerServices services, ScheduleUse use, WindowRegistry* windows,
                                const std::function<void()>& hideMain,
                                std::function<void()> showMain, MainControls* counter) {
    if (!PrepareShowList(services, use)) return nullptr;
    auto viewer = std::make_unique<Form2>(services, use, std::move(showMain), counter);
    if (const schedule::Outcome created = viewer->create(windows); !created) {
        services.messages().message("The day list viewer could not be opened: " + created.error +
                                    ".");
        return nullptr;
    }
    // The viewer first: hiding the active window before another of the editor's shows would
    // hand the activation to some other program, and Windows' foreground rules could then
    // keep the viewer behind it.
    viewer->show();
    if (hideMain) hideMain();
    return viewer;
}

}  // namespace editor
