#include "editor/win/main_window.hpp"

#include <commctrl.h>

#include <exception>
#include <memory>
#include <utility>

#include "editor/core/browse.hpp"
#include "editor/core/deploy.hpp"
#include "editor/core/deployment_status.hpp"
#include "editor/core/help.hpp"
#include "editor/core/logon_history.hpp"
#include "editor/core/pick.hpp"
#include "editor/core/restore.hpp"
#include "editor/core/startup.hpp"
#include "editor/core/version.hpp"
#include "editor/win/fonts.hpp"
#include "editor/win/main_design.hpp"
#include "editor/win/program_chooser.hpp"
#include "win32/drop.hpp"
#include "win32/elevation.hpp"
#include "win32/error.hpp"
#include "win32/owners.hpp"
#include "win32/subclass.hpp"
#include "win32/text.hpp"
#include "win32/twips.hpp"

namespace editor {

namespace {
using namespace main;

constexpr const win32::FontSpec* kWindowFont = &fonts::kSansSerif;

// By List and by Field, in the order of their enumerators.
constexpr int kOneRowLists[] = {List1, List2, List3, List4};
constexpr int kFields[] = {Text1, Text3, Text4};

// The thickness of Line1, in pixels at 96 DPI.
constexpr int kRulePixels = 3;
// How far Drive1 drops down below its own line, in pixels at 96 DPI.
constexpr int kDriveDropPixels = 160;

int listId(List list) {
    return kOneRowLists[static_cast<std::size_t>(list)];
}

int fieldId(Field field) {
    return kFields[static_cast<std::size_t>(field)];
}

// A one-row list shows one item, so the item in view is the current one: the scroll bar and
// the wheel move the current item as the arrow keys do.
LRESULT CALLBACK OneRowListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    const LRESULT result = win32::callReplaced(OneRowListProc, list, message, wParam, lParam);
    if (message == WM_VSCROLL || message == WM_MOUSEWHEEL) {
        const LRESULT top = SendMessageW(list, LB_GETTOPINDEX, 0, 0);
        if (top != LB_ERR && top != SendMessageW(list, LB_GETCURSEL, 0, 0)) {
            SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(top), 0);
        }
    }
    return result;
}

// A menu of the bar: its items by id and caption, a zero id for a separator.
bool appendMenu(HMENU bar, const wchar_t* caption,
                std::initializer_list<std::pair<int, const wchar_t*>> items) {
    win32::UniqueMenu menu(CreatePopupMenu());
    if (!menu) return false;
    for (const auto& [id, text] : items) {
        AppendMenuW(menu.get(), id ? MF_STRING : MF_SEPARATOR, static_cast<UINT_PTR>(id), text);
    }
    if (!AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(menu.get()), caption)) return false;
    static_cast<void>(menu.release());  // the bar owns it now
    return true;
}

win32::UniqueMenu createMainMenu() {
    win32::UniqueMenu bar(CreateMenu());
    if (!bar ||
        !appendMenu(bar.get(), L"&Schedule",
                    {{BrowseForProgram, L"&Browse for a Program...\tCtrl+O"},
                     {0, nullptr},
                     {RestoreCleared, L"&Restore Cleared Picks"},
                     {LogonHistory, L"Logon &History"},
                     {DeploymentStatus, L"&Deployment Status..."}}) ||
        !appendMenu(bar.get(), L"&Help",
                    {{About, L"&About"}, {Readme, L"&Readme"}, {Disc, L"&Disclaimer"}})) {
        return nullptr;
    }
    return bar;
}
}  // namespace

MainWindow::MainWindow(MainServices services, WindowRegistry& windows)
    : services_(services),
      windows_(windows),
      pickers_(fileSystem_, pickerControls_, services.messages()) {}

schedule::Outcome MainWindow::create() {
    win32::UniqueMenu menu = createMainMenu();
    if (!menu) return schedule::Outcome::failure(win32::lastErrorReason());
    schedule::Outcome created = Window::create(kMainDesign, &windows_, menu.get());
    if (created) static_cast<void>(menu.release());  // the window destroys its menu
    return created;
}

void MainWindow::load(int showCommand, const std::function<void()>& painted) {
    const auto show = [&] {
        ShowWindow(hwnd(), showCommand);
        // Drive1 shows the working folder's drive. Nothing before depends on it, so it is
        // filled once the window shows, still before its first paint.
        pickers_.start(services_.folders().workingFolder());
        UpdateWindow(hwnd());
        // Before any message of the loop, which comes after the rest of the loading.
        if (painted) painted();
    };
    try {
        use_ = loadMain(*this, services_, show);
        // The instance with administrator rights has the window now.
        if (use_ == ScheduleUse::HandedOver) windows_.closeAll();
    } catch (const std::exception& failure) {
        if (!IsWindowVisible(hwnd())) show();
        reportUnexpectedFailure(hwnd(), failure.what());
    }
}

// clang-format off
LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:        OnCommand(LOWORD(wParam), HIWORD(wParam)); return 0;
        case WM_MEASUREITEM:    OnMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)); return TRUE;
        case WM_DRAWITEM:       OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
        case WM_ACTIVATE:       OnActivateFocus(LOWORD(wParam) != WA_INACTIVE, control(Command1)); return 0;
        case WM_SETFOCUS:       OnSetFocusTo(control(Command1)); return 0;
        case WM_DROPFILES:      OnDropFiles(reinterpret_cast<HDROP>(wParam)); return 0;
        case WM_DEVICECHANGE:   OnDeviceChange(wParam, reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam)); return TRUE;
        case WM_CTLCOLORSTATIC: return OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    }
    return DefWindowProcW(hwnd(), message, wParam, lParam);
}
// clang-format on

void MainWindow::OnDeviceChange(WPARAM event, const DEV_BROADCAST_HDR* device) {
    // Windows tells every top-level window of a volume that came or went, a mapped network
    // drive too; other devices leave the drive list as it is.
    if (event != DBT_DEVICEARRIVAL && event != DBT_DEVICEREMOVECOMPLETE) return;
    if (!device || device->dbch_devicetype != DBT_DEVTYP_VOLUME) return;
    pickers_.refreshDrives();
}

void MainWindow::OnCommand(int id, int code) {
    // What the buttons, menu items and keys do, whatever the notification.
    using Action = void (MainWindow::*)();
    // clang-format off
    static constexpr std::pair<int, Action> kActions[] = {
        {Command1, &MainWindow::OnPickProgram}, {Command2, &MainWindow::OnShowList}, {Command3, &MainWindow::OnDeploy},
        {Command4, &MainWindow::OnExit}, {Command5, &MainWindow::OnReset}, {IDOK, &MainWindow::OnEnter},
        {BrowseForProgram, &MainWindow::OnBrowseForProgram}, {RestoreCleared, &MainWindow::OnRestoreCleared},
        {LogonHistory, &MainWindow::OnLogonHistory}, {DeploymentStatus, &MainWindow::OnDeploymentStatus},
        {About, &MainWindow::OnAbout}, {Readme, &MainWindow::OnReadme}, {Disc, &MainWindow::OnDisclaimer}};
    // clang-format on
    for (const auto& [command, action] : kActions) {
        if (command == id) {
            (this->*action)();
            return;
        }
    }
    if (id == Drive1) OnDrive1(code);
    if (id == Dir1 && code == LBN_DBLCLK) OnDir1Open();
}

schedule::Outcome MainWindow::OnCreate() {
    for (int id : kOneRowLists) {
        HWND list = control(id);
        // Into a list that does not redraw while the window is made: its scroll bar is set once.
        addListItems(list, mainListItems(static_cast<List>(id - List1)));
        win32::subclass(list, OneRowListProc);
    }
    pickerControls_.attach(control(Drive1), control(Dir1), control(File1));
    ACCEL keys[] = {{FCONTROL | FVIRTKEY, 'O', BrowseForProgram}};
    accelerators_.reset(CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys))));
    if (!accelerators_) return win32::lastErrorFailure();
    // The window accepts dropped files by its style (kMainDesign). An elevated editor must also
    // let the drop's messages in from Explorer, which runs without elevation.
    if (win32::runsElevated()) win32::acceptDropsFromLowerIntegrity(hwnd());
    return schedule::Outcome::success();
}

bool MainWindow::translateAccelerator(MSG& message) {
    if (!hwnd() || !message.hwnd || GetAncestor(message.hwnd, GA_ROOT) != hwnd()) return false;
    return TranslateAcceleratorW(hwnd(), accelerators_.get(), &message) != 0;
}

win32::PixelRect MainWindow::placeOf(const ControlRow& row, unsigned dpi) const {
    win32::PixelRect place = win32::toPixels(row.place, dpi);
    if (row.id == Line1) {
        // A rule of a fixed thickness, centred on its line.
        const int thickness = win32::scalePixels(kRulePixels, dpi);
        place.top -= thickness / 2;
        place.height = thickness;
    } else if (row.id == Drive1) {
        // A drop-down list's height includes the part that drops down.
        place.height += win32::scalePixels(kDriveDropPixels, dpi);
    }
    return place;
}

void MainWindow::OnLaidOut(unsigned dpi) {
    // Drive1's own line is as high as its font makes it; bring it to the table's height. Some
    // systems answer with another height than the one set, so steer by the box alone.
    HWND drive1 = control(Drive1);
    const int wanted = win32::twipsToPixels(315, dpi);
    LRESULT field = SendMessageW(drive1, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    for (int attempt = 0; attempt < 4 && field != CB_ERR; ++attempt) {
        RECT box;
        GetWindowRect(drive1, &box);
        if (box.bottom - box.top == wanted) break;
        field += wanted - (box.bottom - box.top);
        SendMessageW(drive1, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    }
    // A one-row list's line fills it, so that one whole item shows and the scroll bar steps
    // from item to item.
    for (int id : kOneRowLists) {
        HWND list = control(id);
        RECT client;
        GetClientRect(list, &client);
        SendMessageW(list, LB_SETITEMHEIGHT, 0, client.bottom);
    }
    SendMessageW(control(Dir1), LB_SETITEMHEIGHT, 0,
                 pickerControls_.folderItemHeight(font(*kWindowFont), dpi));
}

void MainWindow::OnMeasureItem(MEASUREITEMSTRUCT& item) {
    if (item.CtlID == Dir1) {
        item.itemHeight =
            static_cast<UINT>(pickerControls_.folderItemHeight(font(*kWindowFont), dpi()));
    }
}

void MainWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (item.CtlID == Dir1) pickerControls_.drawFolderItem(item, dpi());
}

LRESULT MainWindow::OnCtlColorStatic(HDC dc, HWND child) {
    // The rule in the colour of the window's text, as lines are drawn by default.
    if (child == control(Line1)) {
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOWTEXT));
    }
    return DefWindowProcW(hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(child));
}

void MainWindow::OnPickProgram() {
    if (mayChangeSchedule(use_, ScheduleChange::Pick, services_)) pickProgram(*this, services_);
}

void MainWindow::OnShowList() {
    viewer_ = ShowList(
        services_, use_, &windows_, [this] { hide(); }, [this] { bringForward(); }, this);
}

void MainWindow::OnDeploy() {
    if (mayChangeSchedule(use_, ScheduleChange::Deploy, services_)) deploy(services_);
}

void MainWindow::OnExit() {
    // Every window of the editor closes, this one included; the last one ends the editor.
    windows_.closeAll();
}

void MainWindow::OnReset() {
    if (mayChangeSchedule(use_, ScheduleChange::Reset, services_)) resetClearList(*this, services_);
}

void MainWindow::OnBrowseForProgram() {
    OpenDialogChooser chooser(hwnd());
    browseForProgram(pickers_, chooser, services_);
}

void MainWindow::OnDropFiles(HDROP drop) {
    std::vector<std::string> paths;
    {
        // Given back before any message: the drop's memory is not needed while one shows.
        const win32::UniqueDrop owned(drop);
        for (const std::wstring& path : win32::droppedPaths(drop)) {
            paths.push_back(win32::narrow(path));
        }
    }
    showDropped(pickers_, services_, paths);
}

void MainWindow::OnRestoreCleared() {
    if (mayChangeSchedule(use_, ScheduleChange::RestoreCleared, services_)) {
        restoreClearedPicks(*this, services_);
    }
}

void MainWindow::OnLogonHistory() {
    showLogonHistory(services_);
}

void MainWindow::OnDeploymentStatus() {
    deploymentStatus(services_);
}

void MainWindow::OnAbout() {
    help::About(services_, [this] { return openAbout(); });
}

schedule::Outcome MainWindow::openAbout() {
    if (about_ && about_->bringForward()) return schedule::Outcome::success();
    auto about = std::make_unique<Form3>();
    if (schedule::Outcome created = about->create(&windows_); !created) return created;
    // The previous object, whose window is gone, goes here: an object cannot be let go of
    // inside its own window's destruction.
    about_ = std::move(about);
    about_->show(SW_SHOWNORMAL);
    return schedule::Outcome::success();
}

void MainWindow::OnReadme() {
    help::Readme(services_);
}

void MainWindow::OnDisclaimer() {
    help::Disc(services_);
}

void MainWindow::OnDrive1(int code) {
    HWND drive1 = control(Drive1);
    // While the list is open, moving through it is not yet a choice: closing it is.
    const bool choosing =
        (code == CBN_SELCHANGE && !SendMessageW(drive1, CB_GETDROPPEDSTATE, 0, 0)) ||
        code == CBN_CLOSEUP;
    if (!choosing) return;
    const LRESULT index = SendMessageW(drive1, CB_GETCURSEL, 0, 0);
    if (index != CB_ERR && index != pickers_.shownDrive())
        pickers_.chooseDrive(static_cast<int>(index));
}

void MainWindow::OnDir1Open() {
    const LRESULT index = SendMessageW(control(Dir1), LB_GETCURSEL, 0, 0);
    if (index != LB_ERR) pickers_.openFolder(static_cast<int>(index));
}

void MainWindow::OnEnter() {
    // Enter opens Dir1's folder where a double click would.
    if (GetFocus() == control(Dir1)) {
        OnDir1Open();
        return;
    }
    pressFocusedButton();
}

bool MainWindow::dayTicked(int index) const {
    if (index < 0 || index > 6) return false;
    return SendMessageW(control(Check1 + index), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindow::setDayTicked(int index, bool ticked) {
    if (index < 0 || index > 6) return;
    SendMessageW(control(Check1 + index), BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::string MainWindow::currentItem(List list) const {
    HWND child = control(listId(list));
    return win32::narrow(listBoxText(child, SendMessageW(child, LB_GETCURSEL, 0, 0)));
}

void MainWindow::selectItem(List list, std::string_view text) {
    // LB_FINDSTRINGEXACT ignores case; the schedule's words never do.
    HWND child = control(listId(list));
    const std::wstring wanted = win32::widen(text);
    const LRESULT count = SendMessageW(child, LB_GETCOUNT, 0, 0);
    for (LRESULT index = 0; index < count; ++index) {
        if (listBoxText(child, index) == wanted) {
            SendMessageW(child, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
            SendMessageW(child, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
            return;
        }
    }
}

std::string MainWindow::folderPath() const {
    return pickers_.folder();
}

bool MainWindow::setFolderPath(std::string_view path) {
    return static_cast<bool>(pickers_.moveTo(path));
}

std::string MainWindow::selectedFile() const {
    HWND file1 = control(File1);
    return win32::narrow(listBoxText(file1, SendMessageW(file1, LB_GETCURSEL, 0, 0)));
}

std::string MainWindow::text(Field field) const {
    HWND child = control(fieldId(field));
    std::wstring value(static_cast<std::size_t>(GetWindowTextLengthW(child)) + 1, L'\0');
    value.resize(static_cast<std::size_t>(
        GetWindowTextW(child, value.data(), static_cast<int>(value.size()))));
    return win32::narrow(value);
}

void MainWindow::setText(Field field, std::string_view value) {
    SetWindowTextW(control(fieldId(field)), win32::widen(value).c_str());
}

}  // namespace editor
