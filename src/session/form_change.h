// A parameter keeps its place when the options change the form in which a
// related parameter is entered (the value itself, a difference or a ratio):
// the unknown and the axis parameters stay with the parameters they were, or
// with the same quantity in its new form, and the new form's value is
// derived from the values entered (Mean 2* = 0.5 and Mean 1* = 0 give
// Mean 2* - Mean 1* = 0.5) unless the user typed a later one for it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "session/session.h"

namespace pelmora {

// What one form of an interchangeable-parameter group stands for.
enum class FormKind { None, Value, Difference, Ratio };

// The kinds of the three forms of a group: value, difference and ratio for
// most; value and ratio for a few; None for groups whose forms are different
// quantities (the limits or the width of an interval, the largest or the
// smallest difference of means).
std::array<FormKind, 3> FormKinds(int group);

// One quantity in the forms of its group: the catalogue id listed for each
// form (-1 where the group has no such form), and the id of the base that a
// difference or ratio is taken to (-1 when none is listed).
struct ParameterForms {
  int group = -1;
  std::array<std::int16_t, 3> ids{-1, -1, -1};
  std::int16_t base = -1;
};

// The forms of a group's quantity, read from the lists a procedure builds
// with each form of the group and every other option the same (lists[m]
// holds the catalogue ids of positions 0..LastPosition; empty where the group
// has no form m).  Where the lists differ, the last id of the differing part
// is the quantity in that form; the base is the id listed just before the
// quantity in its value form.  Nothing when the group's forms leave the list
// as it is.
std::optional<ParameterForms> FormsFromLists(int group, const std::array<std::vector<std::int16_t>, 3>& lists);

// The list and its roles as they were before the options were confirmed,
// and the forms (IntParMode) the list was built with.
struct ListBefore {
  std::vector<std::int16_t> ids;  // by position, 0..LastPosition; empty when no list was shown
  int unknown = 0;
  int x = 2;
  int z = 3;
  std::array<std::int16_t, kGroupCount> modes{};
};
// The session's list and roles, with its current forms.
ListBefore ListOf(const Session& s);

// After the new list is built: each role moves to the position of the
// parameter it held (or of its counterpart among the `forms` of a group
// whose form changed) while that is listed; a role whose parameter left the list keeps its position unless
// another role took it.  The value text of a quantity listed in a new form is
// derived from the values entered, unless the user typed one for that form
// in this window after the value it is derived from.  NormalizePositions
// follows.
void KeepParametersAcrossForms(Session& s, const ListBefore& before, const std::vector<ParameterForms>& forms);

}  // namespace pelmora
