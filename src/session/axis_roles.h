// The roles of a Table or Graph window's parameters: the one calculated (y),
// the one stepped along the x-axis and the third one whose values give the
// columns or curves (z).  The axis-parameter dialog shows and changes them
// through these; every other parameter keeps a fixed value.
#pragma once

#include <string>
#include <vector>

#include "session/session.h"

namespace pelmora {

enum class AxisRole { Y = 0, X = 1, Z = 2 };

// The positions the role lists offer, in list order: 0 and 2..LastPosition
// (position 1 has no value box).
std::vector<int> RoleListPositions(const Session& s);

// The position that holds a role.
int RolePosition(const Session& s, AxisRole role);

// Gives `position` the role.  When another role holds that position, it
// takes the position this role held, so the two are exchanged.  A new
// parameter to calculate makes the table's decimals automatic again.  The
// results are no longer current after any change.
void ChooseRole(Session& s, AxisRole role, int position);

// The parameters that keep a fixed value: every listed position but 1 and
// the three roles, in list order.
std::vector<int> FixedPositions(const Session& s);

// The range texts of the x parameter and the value text of the z parameter,
// kept per parameter so that choosing it again brings them back.
struct RangeTexts {
  std::string xMin;
  std::string xMax;
  std::string xStep;
  std::string zValues;
};
RangeTexts CurrentRangeTexts(const Session& s);

enum class RangeBox { XMin, XMax, XStep, ZValues };

// A range text typed in the dialog: kept with its parameter and in the
// active window's record (which then counts as changed); the results are no
// longer current.
void NoteRangeEdited(Session& s, RangeBox box, const std::string& text);

// The heading lines a Table or Graph record keeps (up to its last heading
// index), and new ones kept in it (at most 16).
std::vector<std::string> RecordHeadings(const WindowSettings& r);
void KeepHeadings(WindowSettings& r, const std::vector<std::string>& lines);

// The x, y and z axis titles of a graph record follow the roles unless the
// user wrote his own: a title that is empty or the caption of a listed
// parameter takes the caption of its role's parameter.
void TitleAxesByRoles(const Session& s, WindowSettings& r);

}  // namespace pelmora
