// Form2, the day list viewer: seven day buttons that show one weekday's schedule each in the
// list above them, and "Back to Main Menu". Each record of the day is one entry of the list,
// its lines drawn as the viewer has always drawn them; a selected entry can be started now,
// shown in its folder, changed, turned off or on, or removed from the schedule. ShowList opens
// it from Main.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/core/day_list.hpp"
#include "editor/core/main_controls.hpp"
#include "editor/core/services.hpp"
#include "editor/core/shared_schedule.hpp"
#include "editor/win/viewer_ids.hpp"
#include "editor/win/window.hpp"

namespace editor {

// What the viewer's buttons do to the schedule and the programs it names.
using ViewerServices = Uses<Messages, Programs, Folders, const Files, RecycleBin>;

class Form2 final : public Window, public ViewerControls {
  public:
    // A viewer over the services' schedule folder. "Back to Main Menu" and the close box call
    // `onBackToMain` and then destroy the window; the object stays with its owner, closed,
    // until the owner lets it go (it must not do so inside `onBackToMain`). Removing, changing,
    // turning off or on a record changes the schedule, which `use` may not allow; a record
    // turned on or changed takes its number from `counter`'s pick counter, without which
    // neither is offered.
    Form2(ViewerServices services, ScheduleUse use, std::function<void()> onBackToMain,
          MainControls* counter = nullptr);

    // Makes the window, hidden, with no owner, at the system's default place, with nothing
    // shown and no day button bold; it counts among `windows` while it is open. The reason
    // when it cannot.
    schedule::Outcome create(WindowRegistry* windows);

    // ViewerControls, on the real controls.
    void setDayBold(int index, bool bold) override;
    void setEntries(std::vector<DayEntry> entries) override;

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnLaidOut(unsigned dpi) override;
    win32::PixelRect placeOf(const ControlRow& row, unsigned dpi) const override;

    void OnCommand(int id, int code);
    void OnDayButton(int index);  // Command1 ... Command7
    void OnBackToMain();          // Command8, the close box and Esc
    void OnEnter();               // Enter where no control takes it
    void OnContextMenu(HWND from, int x, int y);
    LRESULT OnVKeyToItem(int key);
    void OnMeasureItem(MEASUREITEMSTRUCT& item) const;
    void OnDrawItem(const DRAWITEMSTRUCT& item) const;
    LRESULT OnCtlColorListBox(HDC dc);

    // The record actions on the selected entry.
    void OnStartNow();
    void OnOpenFileLocation();
    void OnRemove();
    void OnChange();
    void OnTurnOffOrOn();
    const DayEntry* selected() const;
    // After a change of the schedule: the day shown anew, with the entry at the place of the
    // one selected before (`index`), or the new last one, selected.
    void showDayAgain(LRESULT index);

    // The height of one drawn line in the list's font.
    int lineHeight() const;

    ViewerServices services_;
    ScheduleUse use_;
    std::function<void()> onBackToMain_;
    MainControls* counter_;
    std::array<bool, 7> bold_{};
    int day_ = -1;  // the day on show, -1 before a day button
    std::vector<DayEntry> entries_;
};

// "Show List" of Main: copyfle.com rebuilds the day files (the user hears of any trouble),
// unless `use` only lets the schedule be looked at, then a new viewer shows and `hideMain`
// runs; "Back to Main Menu" and the viewer's close box run `showMain`. The viewer, for the
// caller to keep; null when it did not open, which the user was told of, with Main left as it
// was. `counter` as for Form2.
std::unique_ptr<Form2> ShowList(ViewerServices services, ScheduleUse use, WindowRegistry* windows,
                                const std::function<void()>& hideMain,
                                std::function<void()> showMain, MainControls* counter = nullptr);

}  // namespace editor
