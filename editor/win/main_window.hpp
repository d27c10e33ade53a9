// Main, the editor's main window: its layout, its menu, the three pickers, and the controls
// that the handlers read and change through MainControls.
#pragma once

#include <windows.h>

#include <memory>

#include "editor/core/main_controls.hpp"
#include "editor/core/pickers.hpp"
#include "editor/win/main_ids.hpp"
#include "editor/win/pickers_view.hpp"
#include "editor/win/platform_services.hpp"
#include "editor/win/viewer_window.hpp"
#include "editor/win/window.hpp"
#include "win32/font.hpp"

namespace editor {

class MainWindow final : public Window, public MainControls {
  public:
    MainWindow(PlatformServices& services, WindowRegistry& windows);

    // Creates Main hidden, at the system's default place, laid out for its monitor's DPI.
    // False with GetLastError set when the system refused.
    bool create();
    // The loading of Main: the start-up values, then the window shown with `showCommand`,
    // then the pickers' first folder. Failures are reported; the window stays.
    void load(int showCommand);

    // For the other windows and actions of the editor.
    MainControls& controls() { return *this; }
    PlatformServices& services() { return services_; }
    WindowRegistry& windows() { return windows_; }
    // While the viewer is shown, Main is hidden but still open.
    void hide();
    void show();

    // MainControls, on the real controls.
    bool dayTicked(int index) const override;
    void setDayTicked(int index, bool ticked) override;
    std::string currentItem(List list) const override;
    void selectItem(List list, std::string_view text) override;
    std::string folderPath() const override;
    bool setFolderPath(std::string_view path) override;
    std::string selectedFile() const override;
    std::string text(Field field) const override;
    void setText(Field field, std::string_view value) override;

    enum class FontRole { Window, Title, Program, List };

  private:
    struct Fonts {
        win32::UniqueFont window, title, program, list;
    };

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    bool OnCreate();
    void OnCommand(int id, int code);
    void OnDpiChanged(unsigned dpi, const RECT& suggested);
    void OnMeasureItem(MEASUREITEMSTRUCT& item);
    void OnDrawItem(const DRAWITEMSTRUCT& item);
    LRESULT OnCtlColorStatic(HDC dc, HWND child);

    // The buttons and the Help menu. Each of the empty ones is wired in its own change.
    void OnPickProgram();  // Command1
    void OnShowList();     // Command2
    void OnDeploy();       // Command3
    void OnExit();         // Command4
    void OnReset();        // Command5
    void OnAbout();
    void OnReadme();
    void OnDisclaimer();
    // The pickers.
    void OnDrive1(int code);
    void OnDir1Open();
    // Enter where no control takes it, sent as IDOK by the dialog keyboard handling.
    void OnEnter();

    void createFonts(unsigned dpi);
    void applyFonts();
    void layOut(unsigned dpi);
    // What depends on the fonts too: Drive1's height and the lists' line heights.
    void fitToFonts(unsigned dpi);
    // The window around a client area of the table's size, at `topLeft` or where it is.
    HFONT font(FontRole role) const;
    HWND control(int id) const { return GetDlgItem(hwnd(), id); }

    PlatformServices& services_;
    WindowRegistry& windows_;
    SystemFileSystem fileSystem_;
    PickerControls pickerControls_;
    Pickers pickers_;
    Fonts fonts_;
    unsigned dpi_ = USER_DEFAULT_SCREEN_DPI;
    // The day list viewer of the last Show List; its window may have closed already.
    std::unique_ptr<Form2> viewer_;  // the control that gets the focus back on activation
};

}  // namespace editor
