#include "cli/sequential_options.h"

#include "cli/arguments.h"
#include "engine/dispatch.h"
#include "session/sequential_settings.h"
#include "session/session.h"

namespace pelmora::cli {

namespace {

std::string FamilyList(std::span<const sequential::Family> families) {
  std::string list;
  for (sequential::Family f : families) list += (list.empty() ? "" : ", ") + Quoted(sequential::FamilyName(f));
  return list;
}

sequential::Family FamilyOf(const std::string& flag, const std::string& name,
                            std::span<const sequential::Family> families) {
  for (sequential::Family f : families)
    if (Lower(sequential::FamilyName(f)) == Lower(Trim(name))) return f;
  Usage(flag + " " + Quoted(name) + ": not a family of this choice; they are " + FamilyList(families));
}

}  // namespace

bool StoreSequentialFlag(SequentialFlags& f, const std::string& name, const std::string& value) {
  if (name == "--interims") {
    int k = 0;
    if (!ParseIndex(Trim(value), k) || k > 5)
      Usage("--interims " + Quoted(value) + ": the number of interim analyses is a whole number from 0 to 5");
    f.interims = k;
  } else if (name == "--boundary") {
    f.boundary = value;
  } else if (name == "--boundary-parameter") {
    f.boundaryParameter = value;
  } else if (name == "--futility") {
    f.futility = value;
  } else if (name == "--futility-parameter") {
    f.futilityParameter = value;
  } else if (name == "--fractions") {
    f.fractions = value;
  } else if (name == "--binding") {
    f.binding = true;
  } else {
    return false;
  }
  if (f.first.empty()) f.first = name;
  return true;
}

void ApplySequentialFlags(Dispatcher& d, const SequentialFlags& f) {
  if (f.first.empty()) return;
  Session& s = d.session();
  const int interims = f.interims.value_or(s.InterimCount);
  if (f.first != "--interims" || f.boundary || f.boundaryParameter || f.futility || f.futilityParameter ||
      f.fractions || f.binding) {
    const std::string flag = f.first == "--interims" ? std::string("--boundary") : f.first;
    if (interims == 0) Usage(flag + " needs interim analyses (--interims K with K from 1 to 5)");
  }
  if (interims > 0) {
    if (!PlansByPower(s))
      Usage("--interims " + std::to_string(interims) + ": interim analyses need a test planned by power (--power P)");
    if (s.dialog.planByPowerFixed)
      Usage("--interims " + std::to_string(interims) + ": " + s.TestName +
            " plans by a power of its own, without interim analyses");
    if (s.TailCount != 1 && s.TailCount != 2)
      Usage("--interims " + std::to_string(interims) + ": interim analyses need one or two tails");
  }
  s.InterimCount = static_cast<std::int16_t>(interims);
  PlanningSettings& p = s.planning;
  sequential::Family efficacy = BoundaryFamilyAt(p.BoundaryFamily).value_or(sequential::Family::OBrienFleming);
  if (f.boundary) {
    efficacy = FamilyOf("--boundary", *f.boundary, sequential::EfficacyFamilies());
    p.BoundaryFamily = static_cast<std::int16_t>(efficacy);
  }
  sequential::Family futility = BoundaryFamilyAt(p.FutilityFamily).value_or(sequential::Family::None);
  if (f.futility) {
    futility = FamilyOf("--futility", *f.futility, sequential::FutilityFamilies());
    p.FutilityFamily = static_cast<std::int16_t>(futility);
  }
  SequentialPlan plan;
  plan.interims = interims;
  plan.efficacy = efficacy;
  plan.futility = futility;
  auto parameter = [&](const std::optional<std::string>& text, const char* flag, sequential::Family family,
                       std::optional<double>& value, std::string& field) {
    if (!text) return;
    if (!ReadPlanParameter(*text, value)) Usage(std::string(flag) + " " + Quoted(*text) + ": not a number");
    if (value && !sequential::ParameterOf(family))
      Usage(std::string(flag) + " " + Quoted(*text) + ": " + std::string(sequential::FamilyName(family)) +
            " has no parameter");
    field = Trim(*text);
  };
  parameter(f.boundaryParameter, "--boundary-parameter", efficacy, plan.efficacyParameter, p.BoundaryParameter);
  parameter(f.futilityParameter, "--futility-parameter", futility, plan.futilityParameter, p.FutilityParameter);
  if (f.binding) {
    if (futility == sequential::Family::None) Usage("--binding needs futility bounds (--futility NAME)");
    p.BindingFutility = kTrue;
  }
  if (f.fractions) {
    if (!ReadPlanFractions(*f.fractions, plan.fractions))
      Usage("--fractions " + Quoted(*f.fractions) + ": the information fractions must be numbers");
    p.InformationFractions = Trim(*f.fractions);
  }
  if (interims == 0) return;
  if (const std::string error = CheckSequentialPlan(plan); !error.empty()) {
    const auto names = [&](sequential::Family family) {
      return error.find(std::string(sequential::FamilyName(family)) + "\"") != std::string::npos ||
             error.find(" of " + std::string(sequential::FamilyName(family))) != std::string::npos;
    };
    const char* flag = error.find("fraction") != std::string::npos ? "--fractions"
                       : names(efficacy) && f.boundaryParameter   ? "--boundary-parameter"
                       : names(futility) && f.futilityParameter   ? "--futility-parameter"
                                                                  : "--interims";
    Usage(std::string(flag) + ": " + error);
  }
}

}  // namespace pelmora::cli
