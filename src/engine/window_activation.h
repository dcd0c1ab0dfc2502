// Activating and closing a result window: its record's selection restored
// into the session, the question about unsaved changes, the window state
// reset when the last one closes.  The windows call these and show what they
// produced; nothing here touches a screen.
#pragma once

#include "engine/dispatch.h"
#include "session/session.h"

namespace pelmora {

// Makes `record` active and, when that record holds a selection, restores it
// with its options, parameter list, value texts and description.  Returns
// true when the selection was restored (the window is to be filled again).
bool ActivateWindowSettings(Dispatcher& d, int record);
// A window became active: when it is not the active record already, stores
// the settings of the window that was active and activates its record.
bool ActivateWindow(Dispatcher& d, int record);

// What the options or the axis-parameter dialog may change in the active
// window, taken when the dialog opens: the active record with the session's
// selection, positions, ranges and values written in (when it has a list).
WindowSettings TakeWindowState(const Session& s);
// A dialog's Cancel: the selection, options, positions, ranges and values of
// `state` come back into the session (no selection when it held none); the
// record keeps what it held.  Returns true when a selection came back (the
// window is to be filled again).
bool RestoreWindowState(Dispatcher& d, const WindowSettings& state);

enum class CloseQuery { Refuse, Close, AskToSave };

// A window asks to close: refused while a calculation runs; otherwise its
// record becomes active (its selection restored when another window was
// active) and the answer says whether to ask about unsaved changes first.
CloseQuery QueryCloseWindow(Dispatcher& d, int record);

// A window has closed: its record is marked closed.  When no window is left,
// the window state is reset and 0 is returned; otherwise the first open
// record (from 1 upwards) becomes active and its index is returned.
int CloseWindowRecord(Dispatcher& d, int record);

}  // namespace pelmora
