#include "editor/win/change_dialog.hpp"

#include <exception>
#include <string>

#include "editor/core/pick.hpp"
#include "editor/win/change_ids.h"
#include "editor/win/window.hpp"
#include "win32/error.hpp"
#include "win32/text.hpp"

namespace editor {

namespace {

// Each list of the dialog, the list of Main it mirrors, and its choice.
struct ListOf {
    int id;
    List list;
    std::string RecordChoices::*choice;
};
constexpr ListOf kLists[] = {{CHANGE_LIST2, List::List2, &RecordChoices::hour},
                             {CHANGE_LIST3, List::List3, &RecordChoices::minute},
                             {CHANGE_LIST1, List::List1, &RecordChoices::half},
                             {CHANGE_LIST4, List::List4, &RecordChoices::style}};

class ChangeDialog {
  public:
    ChangeDialog(std::string_view program, RecordChoices& choices)
        : program_(win32::widen(program)), choices_(choices) {}
    ChangeDialog(const ChangeDialog&) = delete;
    ChangeDialog& operator=(const ChangeDialog&) = delete;

    INT_PTR run(HWND owner) {
        return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(CHANGE_RECORD_DIALOG),
                               owner, Procedure, reinterpret_cast<LPARAM>(this));
    }

  private:
    static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        auto* self = reinterpret_cast<ChangeDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
        if (!self) return FALSE;
        try {
            return self->HandleMessage(dialog, message, wParam);
        } catch (const std::exception& failure) {
            // Nothing is changed: the dialog closes as on Cancel and says why.
            reportUnexpectedFailure(dialog, failure.what());
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
    }

    // clang-format off
    INT_PTR HandleMessage(HWND dialog, UINT message, WPARAM wParam) {
        dialog_ = dialog;
        switch (message) {
            case WM_INITDIALOG: OnInitDialog(); return TRUE;
            case WM_COMMAND:    return OnCommand(LOWORD(wParam), HIWORD(wParam));
        }
        return FALSE;
    }
    // clang-format on

    void OnInitDialog() {
        SetDlgItemTextW(dialog_, CHANGE_TEXT1, program_.c_str());
        for (const ListOf& list : kLists) {
            HWND box = GetDlgItem(dialog_, list.id);
            const std::string& chosen = choices_.*list.choice;
            for (const std::string& item : mainListItems(list.list)) {
                const LRESULT index = SendMessageW(
                    box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32::widen(item).c_str()));
                if (item == chosen) SendMessageW(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
            }
        }
        for (std::size_t day = 0; day < choices_.days.size(); ++day) {
            CheckDlgButton(dialog_, CHANGE_CHECK1 + static_cast<int>(day),
                           choices_.days[day] ? BST_CHECKED : BST_UNCHECKED);
        }
        OnDayTicked();
    }

    INT_PTR OnCommand(int id, int code) {
        if (id == IDOK) {
            OnOk();
        } else if (id == IDCANCEL) {
            EndDialog(dialog_, IDCANCEL);
        } else if (id >= CHANGE_CHECK1 && id < CHANGE_CHECK1 + 7 && code == BN_CLICKED) {
            OnDayTicked();
        } else {
            return FALSE;
        }
        return TRUE;
    }

    // OK takes a record for at least one day.
    void OnDayTicked() {
        bool any = false;
        for (int day = 0; day < 7; ++day) {
            any = any || IsDlgButtonChecked(dialog_, CHANGE_CHECK1 + day) == BST_CHECKED;
        }
        EnableWindow(GetDlgItem(dialog_, IDOK), any);
    }

    void OnOk() {
        RecordChoices chosen;
        for (const ListOf& list : kLists) {
            HWND box = GetDlgItem(dialog_, list.id);
            const LRESULT index = SendMessageW(box, CB_GETCURSEL, 0, 0);
            if (index == CB_ERR) continue;
            std::wstring text(
                static_cast<std::size_t>(SendMessageW(box, CB_GETLBTEXTLEN, index, 0)), L'\0');
            SendMessageW(box, CB_GETLBTEXT, static_cast<WPARAM>(index),
                         reinterpret_cast<LPARAM>(text.data()));
            chosen.*list.choice = win32::narrow(text);
        }
        for (std::size_t day = 0; day < chosen.days.size(); ++day) {
            chosen.days[day] =
                IsDlgButtonChecked(dialog_, CHANGE_CHECK1 + static_cast<int>(day)) == BST_CHECKED;
        }
        choices_ = chosen;
        EndDialog(dialog_, IDOK);
    }

    std::wstring program_;
    RecordChoices& choices_;
    HWND dialog_ = nullptr;
};

}  // namespace

schedule::Outcome askRecordChanges(HWND owner, std::string_view program, RecordChoices& choices,
                                   bool& chosen) {
    RecordChoices shown = choices;
    ChangeDialog dialog(program, shown);
    const INT_PTR ended = dialog.run(owner);
    if (ended == -1 || ended == 0) return win32::lastErrorFailure();
    chosen = ended == IDOK;
    if (chosen) choices = shown;
    return schedule::Outcome::success();
}

}  // namespace editor
