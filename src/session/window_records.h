// The life of a result window as the session sees it: opening one appends a
// record, activating one restores its selection, closing one asks about unsaved
// changes and, when it was the last, resets the window state.  The windows call
// these and show what they produced; nothing here touches a screen.
#pragma once

#include <string>

#include "engine/dispatch.h"
#include "session/session.h"

namespace pelmora {

// "Calculation", "Table", "Graph" or "Monte Carlo", a blank and the number.
std::string WindowCaption(WindowKind kind, int number);

// New Calculation / Table / Graph: stores the active window's settings,
// appends and activates a record of the kind with the next number of that
// kind, and clears the selection.  Returns the new record's index (the new
// window's tag).
int OpenWindowRecord(Session& s, WindowKind kind);

// The position of the next new window, in twips: 150 right and 350 down from
// the previous one, the first at 0, 0.
struct CascadePlace {
  int left;
  int top;
};
CascadePlace NextCascadePlace(Session& s);

// Makes `record` active and, when that record holds a selection, restores it
// with its options, parameter list, value texts and description.  Returns
// true when the selection was restored (the window is to be filled again).
bool ActivateWindowSettings(Dispatcher& d, int record);
// A window became active: when it is not the active record already, stores
// the settings of the window that was active and activates its record.
bool ActivateWindow(Dispatcher& d, int record);

// A value typed into the Calculation window: the parameter's value text, the
// results no longer current, and the window's record keeps the text so that
// it is neither lost when another window becomes active nor closed unasked.
void NoteValueEdited(Session& s, int position, const std::string& text);

enum class CloseQuery { Refuse, Close, AskToSave };

// A window asks to close: refused while a calculation runs; otherwise its
// record becomes active (its selection restored when another window was
// active) and the answer says whether to ask about unsaved changes first.
CloseQuery QueryCloseWindow(Dispatcher& d, int record);

// The question asked before a changed window closes.
std::string CloseQuestionText(const std::string& caption);

// A window has closed: its record is marked closed.  When no window is left,
// the window state is reset and 0 is returned; otherwise the first open
// record (from 1 upwards) becomes active and its index is returned.
int CloseWindowRecord(Dispatcher& d, int record);

// True for the index of a record whose window is open.
bool IsOpenRecord(const Session& s, int record);

// The active record, or nullptr when no window is active.
WindowSettings* ActiveWindowRecord(Session& s);

}  // namespace pelmora
