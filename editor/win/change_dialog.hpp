// The Change Record dialog of the viewer's "Change...": a dialog template (change_dialog.rc),
// scaled by the system for the DPI of its monitor as the editor is aware of it.
#pragma once

#include <windows.h>

#include <string_view>

#include "editor/core/change_record.hpp"
#include "schedule/outcome.hpp"

namespace editor {

// Shows the dialog modal to `owner` for a record of `program` (UTF-8, read-only there), with
// `choices` chosen. OK sets `chosen` and puts the user's choices into `choices`; Cancel, Esc
// and the close box leave both as they were. Fails when the dialog cannot be made.
schedule::Outcome askRecordChanges(HWND owner, std::string_view program, RecordChoices& choices,
                                   bool& chosen);

}  // namespace editor
