// Form2, the day list viewer: seven day buttons that show one weekday's schedule each in the
// list area above them, and "Back to Main Menu". ShowList opens it from Main.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/core/day_list.hpp"
#include "editor/core/services.hpp"
#include "editor/win/day_list_area.hpp"
#include "editor/win/viewer_ids.hpp"
#include "editor/win/window.hpp"
#include "schedule/folder.hpp"
#include "win32/font.hpp"

namespace editor {

class Form2 final : public Window, public ViewerControls {
  public:
    // A new viewer with no owner, shown at the system's default place, with nothing drawn and
    // no day button bold. Its day buttons read from `dayFiles`. "Back to Main Menu" and the
    // close box call `onBackToMain` and then destroy the window; the object stays with its
    // owner, closed, until the owner lets it go (it must not do so inside `onBackToMain`).
    // Null, with GetLastError set, when the system refused the window.
    static std::unique_ptr<Form2> Open(schedule::Folder& dayFiles,
                                       std::function<void()> onBackToMain, WindowRegistry* windows);

    // ViewerControls, on the real controls.
    void setDayBold(int index, bool bold) override;
    void setLines(std::vector<std::string> lines) override;

  private:
    friend std::unique_ptr<Form2> ShowList(Services&, WindowRegistry*, const std::function<void()>&,
                                           std::function<void()>);

    Form2(schedule::Folder& dayFiles, std::function<void()> onBackToMain);
    bool create(WindowRegistry* windows);

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    bool OnCreate();
    void OnCommand(int id, int code);
    void OnDayButton(int index);  // Command1 ... Command7
    void OnBackToMain();          // Command8 and the close box
    void OnDpiChanged(unsigned dpi, const RECT& suggested);
    void OnMouseWheel(WPARAM wParam, LPARAM lParam);
    void OnNcDestroy();

    void createFonts(unsigned dpi);
    void applyFonts();
    void layOut(unsigned dpi);
    HWND control(int id) const { return GetDlgItem(hwnd(), id); }

    schedule::Folder& dayFiles_;
    std::function<void()> onBackToMain_;
    unsigned dpi_ = USER_DEFAULT_SCREEN_DPI;
    std::array<bool, 7> bold_{};
    // Each button has a font of its own, so a day button turns bold alone.
    std::array<win32::UniqueFont, 8> buttonFonts_;
    win32::UniqueFont listFont_;
    DayListArea list_;
};

// "Show List" of Main: copyfle.com rebuilds the day files (the user hears of any trouble),
// then `hideMain` runs and a new viewer opens; "Back to Main Menu" and the viewer's close box
// run `showMain`. The viewer, for the caller to keep; null when it did not open, which the
// user was told of, with Main left as it was.
std::unique_ptr<Form2> ShowList(Services& services, WindowRegistry* windows,
                                const std::function<void()>& hideMain,
                                std::function<void()> showMain);

}  // namespace editor
