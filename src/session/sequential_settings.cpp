#include "session/sequential_settings.h"

#include <sstream>

#include "format/number_entry.h"
#include "session/session.h"

namespace pelmora {

bool UsesSequentialDesign(const Session& s) {
  return s.InterimCount > 0 && PlansByPower(s) && (s.TailCount == 1 || s.TailCount == 2);
}

bool ReadPlanParameter(const std::string& text, std::optional<double>& value) {
  value.reset();
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return true;
  const std::string trimmed = text.substr(first, text.find_last_not_of(' ') - first + 1);
  if (!IsWellFormedNumber(trimmed)) return false;
  value = ParseNumber(trimmed);
  return true;
}

bool ReadPlanFractions(const std::string& text, std::vector<double>& fractions) {
  fractions.clear();
  std::istringstream in(text);
  std::string part;
  while (in >> part) {
    if (!IsWellFormedNumber(part)) return false;
    fractions.push_back(ParseNumber(part));
  }
  return true;
}

SequentialPlanOutcome SequentialPlanOf(const Session& s) {
  SequentialPlanOutcome out;
  const PlanningSettings& p = s.planning;
  SequentialPlan plan;
  plan.interims = s.InterimCount;
  plan.sides = s.TailCount;
  plan.alpha = s.value(0);
  plan.power = s.value(2);
  const std::optional<sequential::Family> efficacy = BoundaryFamilyAt(p.BoundaryFamily);
  const std::optional<sequential::Family> futility = BoundaryFamilyAt(p.FutilityFamily);
  if (!efficacy || *efficacy == sequential::Family::None) {
    out.error = "The boundary family is not one this program knows";
    return out;
  }
  if (!futility || (*futility != sequential::Family::None && !sequential::IsSpending(*futility))) {
    out.error = "The futility family has to be \"None\" or a spending family";
    return out;
  }
  plan.efficacy = *efficacy;
  plan.futility = *futility;
  plan.binding = p.BindingFutility != kFalse;
  if (!ReadPlanParameter(p.BoundaryParameter, plan.efficacyParameter)) {
    out.error = "The boundary parameter \"" + p.BoundaryParameter + "\" is not a number";
    return out;
  }
  if (!ReadPlanParameter(p.FutilityParameter, plan.futilityParameter)) {
    out.error = "The futility parameter \"" + p.FutilityParameter + "\" is not a number";
    return out;
  }
  if (!ReadPlanFractions(p.InformationFractions, plan.fractions)) {
    out.error = "The information fractions \"" + p.InformationFractions + "\" are not numbers";
    return out;
  }
  out.error = CheckSequentialPlan(plan);
  if (out.error.empty()) out.plan = plan;
  return out;
}

}  // namespace pelmora
