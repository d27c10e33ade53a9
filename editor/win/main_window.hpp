// Main, the editor's main window: its layout, its menu, the three pickers, and the controls
// that the handlers read and change through MainControls. It keeps the viewer and the About
// window it opens.
#pragma once

#include <windows.h>

#include <dbt.h>

#include <functional>
#include <memory>

#include "editor/core/main_controls.hpp"
#include "editor/core/pickers.hpp"
#include "editor/core/shared_schedule.hpp"
#include "editor/win/about_window.hpp"
#include "editor/win/main_ids.hpp"
#include "editor/win/pickers_view.hpp"
#include "editor/win/platform_services.hpp"
#include "editor/win/viewer_window.hpp"
#include "editor/win/window.hpp"

namespace editor {

// The main window's buttons and menus reach every role of the platform between them.
using MainServices = Uses<Messages, Programs, Folders, const Files, Startup, Access, RecycleBin>;

class MainWindow final : public Window, public MainControls {
  public:
    MainWindow(MainServices services, WindowRegistry& windows);

    // Makes Main, hidden, at the system's default place, laid out for its monitor's DPI. The
    // reason when it cannot.
    schedule::Outcome create();
    // The loading of Main: the start-up values, then the window shown with `showCommand`,
    // `painted` once its first paint is done, then the pickers' first folder. Failures are
    // reported; the window stays.
    void load(int showCommand, const std::function<void()>& painted = {});

    // Main's keyboard shortcuts for a message on its way to Main or one of its controls: true
    // when one took the message, which must then go no further.
    bool translateAccelerator(MSG& message);

    // MainControls, on the real controls.
    MainControls& controls() { return *this; }
    bool dayTicked(int index) const override;
    void setDayTicked(int index, bool ticked) override;
    std::string currentItem(List list) const override;
    void selectItem(List list, std::string_view text) override;
    std::string folderPath() const override;
    bool setFolderPath(std::string_view path) override;
    std::string selectedFile() const override;
    std::string text(Field field) const override;
    void setText(Field field, std::string_view value) override;

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    schedule::Outcome OnCreate() override;
    void OnLaidOut(unsigned dpi) override;
    win32::PixelRect placeOf(const ControlRow& row, unsigned dpi) const override;

    void OnCommand(int id, int code);
    void OnMeasureItem(MEASUREITEMSTRUCT& item);
    void OnDrawItem(const DRAWITEMSTRUCT& item);
    LRESULT OnCtlColorStatic(HDC dc, HWND child);

    // The buttons.
    void OnPickProgram();  // Command1
    void OnShowList();     // Command2
    void OnDeploy();       // Command3
    void OnExit();         // Command4
    void OnReset();        // Command5
    // The Schedule menu.
    void OnBrowseForProgram();
    void OnRestoreCleared();
    void OnLogonHistory();
    void OnDeploymentStatus();
    // The Help menu.
    void OnAbout();
    void OnReadme();
    void OnDisclaimer();
    // The pickers.
    void OnDrive1(int code);
    void OnDir1Open();
    // Files dropped on the window.
    void OnDropFiles(HDROP drop);
    // WM_DEVICECHANGE: Drive1 follows the volumes that come and go.
    void OnDeviceChange(WPARAM event, const DEV_BROADCAST_HDR* device);
    // Enter where no control takes it, sent as IDOK by the dialog keyboard handling.
    void OnEnter();

    // Form3 made or, when it is open, brought forward.
    schedule::Outcome openAbout();

    MainServices services_;
    WindowRegistry& windows_;
    SystemFileSystem fileSystem_;
    PickerControls pickerControls_;
    Pickers pickers_;
    win32::UniqueAccelerators accelerators_;
    // What start-up found the editor may do with its schedule.
    ScheduleUse use_ = ScheduleUse::Change;
    // The day list viewer of the last Show List; its window may have closed already.
    std::unique_ptr<Form2> viewer_;
    // The About window; its window may have closed already.
    std::unique_ptr<Form3> about_;
};

}  // namespace editor
