// The group-sequential plan of a session: a test planned by power with one or
// two tails and interim analyses, read from its interim count, its level (the
// value at position 0), its requested power (position 2) and its planning
// settings (boundary and futility families with their parameters, binding,
// information fractions).
#pragma once

#include <optional>
#include <string>

#include "numeric/group_sequential.h"

namespace pelmora {

struct Session;

// Whether the session plans a group-sequential design: interim analyses above
// 0, planned by power, one or two tails.  Without one every criterion is the
// fixed design's.
bool UsesSequentialDesign(const Session& s);

struct SequentialPlanOutcome {
  std::optional<SequentialPlan> plan;
  std::string error;  // "" when plan holds: what is wrong with the settings
};

// The plan of the session's settings, checked (CheckSequentialPlan): a
// parameter or fraction that is not a number, fractions not rising above 0 to
// 1 or not one per analysis, a parameter outside its family's range give a
// message naming them.
SequentialPlanOutcome SequentialPlanOf(const Session& s);

// The plan's settings texts, read: a number (nothing for an empty text), and
// the blank-separated fractions.  False for a text that is no number.
bool ReadPlanParameter(const std::string& text, std::optional<double>& value);
bool ReadPlanFractions(const std::string& text, std::vector<double>& fractions);

}  // namespace pelmora
