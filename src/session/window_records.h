// The records of the result windows: opening a window appends one, a typed
// value is kept in it; the numbers and captions of windows.  Activating and
// closing a window are in engine/window_activation.h.
#pragma once

#include <string>

#include "session/session.h"

namespace pelmora {

// The window number of a kind (Calculation, Table, Graph, Monte Carlo).
std::int16_t& NumberOfKind(Session& s, WindowKind kind);
// Whether a record holds a selection (a test or a distribution).
bool HoldsSelection(const WindowSettings& r);

// "Calculation", "Table", "Graph" or "Monte Carlo", a blank and the number.
std::string WindowCaption(WindowKind kind, int number);
// The title a window shows: its caption, then " - " and the name of its
// procedure once one is confirmed, then " - " and the name of the settings
// file it was opened from or saved to ("Calculation 1 - Student's unpaired
// t-test - t.dim"); either may be empty.
std::string WindowTitle(const std::string& caption, const std::string& procedure, const std::string& fileName);
// The name of the selection a session confirmed (its parameter list is
// built), or empty.
std::string ConfirmedProcedureName(const Session& s);

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

// A value typed into the Calculation window: the parameter's value text, the
// results no longer current, and the window's record keeps the text so that
// it is neither lost when another window becomes active nor closed unasked.
void NoteValueEdited(Session& s, int position, const std::string& text);

// The question asked before a changed window closes.
std::string CloseQuestionText(const std::string& caption);

// True for the index of a record whose window is open.
bool IsOpenRecord(const Session& s, int record);

// The active record, or nullptr when no window is active.
WindowSettings* ActiveWindowRecord(Session& s);

}  // namespace pelmora
