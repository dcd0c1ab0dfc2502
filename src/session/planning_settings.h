// The settings of a design beyond its parameter list: the interim analyses
// of a group-sequential design (boundary family and parameter, futility,
// binding, information fractions), the expected dropout, and what a Monte
// Carlo window simulates (studies, precision, seed, model of the data).
//
// A settings file keeps them after the plan-by-power flag as one text of
// "name=value" lines, written only when a design needs them, so that the
// file of a design without them stays as it always was.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "numeric/platform.h"
#include "numeric/sequential_families.h"
#include "numeric/simulated_data.h"

namespace pelmora {

struct PlanningSettings {
  // Group-sequential design (read where the interim count is above 0).
  std::int16_t BoundaryFamily = static_cast<std::int16_t>(sequential::Family::OBrienFleming);
  std::string BoundaryParameter;  // empty: the family's default
  std::int16_t FutilityFamily = static_cast<std::int16_t>(sequential::Family::None);
  std::string FutilityParameter;  // empty: the family's default
  Flag BindingFutility = kFalse;
  std::string InformationFractions;  // blank-separated; empty: equally spaced
  // The proportion of subjects expected to drop out, "0" to "0.9".
  std::string ExpectedDropout = "0";
  // A Table window of sample sizes shows them whole, with their totals.
  Flag TableWholeSizes = kFalse;
  // A Monte Carlo window.
  std::string SimulationStudies = "10000";
  std::string SimulationHalfWidth;  // empty: the number of studies decides
  std::string SimulationSeed = "1";
  std::int16_t SimulationData = static_cast<std::int16_t>(DataModel::kNormal);

  bool operator==(const PlanningSettings&) const = default;
};

// The expected dropout of a text: a number from 0 to 0.9, or nothing.
std::optional<double> ExpectedDropoutValue(const std::string& text);
// "The expected dropout "0.95" is not a number from 0 to 0.9", or empty for
// a text that ExpectedDropoutValue reads.
std::string ExpectedDropoutProblem(const std::string& text);

// The families by their index in sequential::Family; nothing outside it.
std::optional<sequential::Family> BoundaryFamilyAt(int index);

// Whether a window of a kind (0..3), with its interim count and plan, keeps
// its interim settings, and whether it keeps any planning text at all.
bool KeepsInterimSettings(int kind, int interimCount, bool plannedByPower);

// The "name=value" lines (joined by "\n") of what a window keeps, empty when
// it keeps none of them.
std::string EncodePlanningText(const PlanningSettings& p, int kind, int interimCount, bool plannedByPower);

// Reads a planning text into `p` (fields it does not name keep their
// defaults).  Refuses, with a clause for "The file ... cannot be opened: " in
// `why`, a line without "=", a name this program does not know, a name given
// twice, an unknown family or data model, a flag other than 0 or 1, and a
// value that is not a number as it can be typed.
bool DecodePlanningText(const std::string& text, PlanningSettings& p, std::string& why);

}  // namespace pelmora
