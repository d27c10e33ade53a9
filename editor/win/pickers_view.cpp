#include "editor/win/pickers_view.hpp"

#include <algorithm>

#include "win32/error.hpp"
#include "win32/font.hpp"
#include "win32/listing.hpp"
#include "win32/owners.hpp"
#include "win32/text.hpp"
#include "win32/twips.hpp"

namespace editor {

namespace {
// A folder glyph in a 16 x 16 design, scaled to the line: closed, or open with its front
// flap tipped forward.
void drawFolderGlyph(HDC dc, int x, int y, bool open, unsigned dpi) {
    const auto at = [&](int dx, int dy) {
        return POINT{x + win32::scalePixels(dx, dpi), y + win32::scalePixels(dy, dpi)};
    };
    // Declared before the selections, so that each is deselected before it is deleted.
    const win32::UniquePen outline(CreatePen(PS_SOLID, 1, RGB(128, 96, 0)));
    const win32::UniqueBrush back(CreateSolidBrush(RGB(230, 180, 60)));
    const win32::UniqueBrush front(CreateSolidBrush(RGB(255, 224, 120)));
    const win32::Selected pen(dc, outline.get());
    {
        const win32::Selected brush(dc, back.get());
        const POINT body[] = {at(1, 3), at(6, 3), at(7, 5), at(14, 5), at(14, 14), at(1, 14)};
        Polygon(dc, body, static_cast<int>(std::size(body)));
    }
    const win32::Selected brush(dc, front.get());
    if (open) {
        const POINT flap[] = {at(3, 8), at(16, 8), at(14, 14), at(1, 14)};
        Polygon(dc, flap, static_cast<int>(std::size(flap)));
    } else {
        const POINT flap[] = {at(1, 6), at(14, 6), at(14, 14), at(1, 14)};
        Polygon(dc, flap, static_cast<int>(std::size(flap)));
    }
}
}  // namespace

std::vector<DriveEntry> SystemFileSystem::drives() {
    std::vector<DriveEntry> entries;
    for (const win32::DriveInfo& drive : win32::drives()) {
        entries.push_back(
            {static_cast<char>(drive.letter), win32::narrow(drive.label), drive.network});
    }
    return entries;
}

std::string SystemFileSystem::driveCurrentFolder(char letter) {
    return win32::narrow(win32::driveCurrentFolder(static_cast<wchar_t>(letter)));
}

std::optional<FolderContents> SystemFileSystem::contents(
    std::string_view folder, std::optional<std::chrono::milliseconds> limit) {
    const std::wstring path = win32::widen(folder);
    std::optional<win32::FolderContents> answer =
        limit ? win32::listFolderWithin(path, *limit) : win32::listFolder(path);
    if (!answer) return std::nullopt;
    const win32::FolderContents& listed = *answer;
    FolderContents contents;
    if (!listed) {
        contents.error = win32::systemReason(listed.error);
        return contents;
    }
    contents.folders.reserve(listed.folders.size());
    for (const std::wstring& name : listed.folders) contents.folders.push_back(win32::narrow(name));
    contents.files.reserve(listed.files.size());
    for (const std::wstring& name : listed.files) contents.files.push_back(win32::narrow(name));
    return contents;
}

PathEntry SystemFileSystem::entry(std::string_view path) {
    const win32::PathFacts facts = win32::pathFacts(win32::widen(path));
    PathEntry entry;
    if (facts.error != 0) {
        entry.error = win32::systemReason(facts.error);
        return entry;
    }
    if (!facts.exists) return entry;
    entry.kind = facts.attributes & FILE_ATTRIBUTE_DIRECTORY ? PathEntry::Kind::Folder
                                                             : PathEntry::Kind::File;
    entry.hiddenOrSystem = facts.attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    entry.name = win32::narrow(facts.name);
    return entry;
}

void addListItems(HWND list, const std::vector<std::string>& items) {
    // Reserving pays for a long list only, as Microsoft advises it above a hundred items: Wine,
    // for one, gives back all but what the first item needs as that is added, and grows the
    // storage again item by item, so that the 60 minutes filled slower with it than without.
    if (constexpr std::size_t kLongList = 100; items.size() > kLongList) {
        std::size_t characters = 0;
        for (const std::string& item : items) characters += item.size() + 1;
        SendMessageW(list, LB_INITSTORAGE, items.size(),
                     static_cast<LPARAM>(characters * sizeof(wchar_t)));
    }
    std::wstring wide;
    for (const std::string& item : items) {
        win32::widenInto(item, wide);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    }
}

void fillListBox(HWND list, const std::vector<std::string>& items) {
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    addListItems(list, items);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

std::wstring listBoxText(HWND list, LRESULT index) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (index < 0 || length == LB_ERR) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<std::size_t>(copied));
    return text;
}

void PickerControls::attach(HWND drive1, HWND dir1, HWND file1) {
    drive1_ = drive1;
    dir1_ = dir1;
    file1_ = file1;
}

void PickerControls::showDrives(const std::vector<std::string>& captions) {
    SendMessageW(drive1_, CB_RESETCONTENT, 0, 0);
    for (const std::string& caption : captions) {
        SendMessageW(drive1_, CB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(win32::widen(caption).c_str()));
    }
}

void PickerControls::selectDrive(int index) {
    SendMessageW(drive1_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void PickerControls::showFolder(std::string_view path, const std::vector<FolderEntry>& entries,
                                int current) {
    entries_ = entries;
    std::vector<std::string> names;
    names.reserve(entries.size());
    for (const FolderEntry& entry : entries) names.push_back(entry.name);
    SetWindowTextW(dir1_, win32::widen(path).c_str());
    fillListBox(dir1_, names);
    // The level and whether the folder shows open, for anyone reading the list from outside.
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SendMessageW(dir1_, LB_SETITEMDATA, i, MAKELPARAM(entries[i].level, entries[i].open));
    }
    SendMessageW(dir1_, LB_SETCURSEL, static_cast<WPARAM>(current), 0);
}

void PickerControls::showFiles(std::string_view path, const std::vector<std::string>& names) {
    SetWindowTextW(file1_, win32::widen(path).c_str());
    fillListBox(file1_, names);
}

void PickerControls::selectFile(int index) {
    // A single-selection list brings its selected line into view itself.
    SendMessageW(file1_, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int PickerControls::folderItemHeight(HFONT font, unsigned dpi) const {
    const std::optional<TEXTMETRICW> metrics = win32::textMetrics(font);
    return std::max<int>(metrics ? metrics->tmHeight : 0, win32::scalePixels(16, dpi));
}

void PickerControls::drawFolderItem(const DRAWITEMSTRUCT& item, unsigned dpi) const {
    if (item.itemID == static_cast<UINT>(-1)) return;
    const bool selected = item.itemState & ODS_SELECTED;
    HDC dc = item.hDC;
    RECT line = item.rcItem;
    FillRect(dc, &line, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (item.itemID < entries_.size()) {
        const FolderEntry& entry = entries_[item.itemID];
        const int height = line.bottom - line.top;
        const int left = line.left + win32::scalePixels(2 + 10 * entry.level, dpi);
        drawFolderGlyph(dc, left, line.top + (height - win32::scalePixels(16, dpi)) / 2, entry.open,
                        dpi);
        RECT text = line;
        text.left = left + win32::scalePixels(20, dpi);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        const std::wstring name = win32::widen(entry.name);
        DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &text,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (item.itemState & ODS_FOCUS) DrawFocusRect(dc, &line);
}

}  // namespace editor
