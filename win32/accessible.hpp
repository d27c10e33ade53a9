// Names for screen readers: a control whose caption does not say what it is (a weekday box
// only as large as its tick square, a one-row list, a list without a label) gets a name of its
// own, without a change to what the control shows.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <functional>
#include <string>

#include "win32/owners.hpp"

namespace win32 {

// From now on screen readers call the control `name`. Call it on the thread that made the
// control. False when the control is not this thread's or the system refused it a new window
// procedure.
//
// The name is an annotation of the system's own accessible object for the control (Direct
// Annotation, through oleacc's IAccPropServices), cleared when the control goes. A system
// without that service (Wine's oleacc does not annotate) gets the name from an accessible
// object of ours around the system's, which answers for the control's own name. The way is
// chosen once, when a screen reader first asks for a named control of the thread: oleacc, and
// the OLE automation it brings in, cost more than the editor's whole start, and most sessions
// never meet a screen reader.
bool setAccessibleName(HWND control, std::wstring name);

// Where this thread's annotation service comes from: `source`, or oleacc's when null. The
// way is chosen anew at the next request. For a test that stands a fake in for the system's
// service; call it while no control of the thread has a name.
void setAnnotationSource(std::function<ComPtr<IAccPropServices>()> source);

}  // namespace win32
