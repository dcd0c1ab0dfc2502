#include "session/planning_settings.h"

#include <array>
#include <optional>
#include <set>
#include <string_view>

#include "format/number_entry.h"

namespace pelmora {

namespace {

constexpr std::string_view kBoundary = "boundary";
constexpr std::string_view kBoundaryParameter = "boundary parameter";
constexpr std::string_view kFutility = "futility";
constexpr std::string_view kFutilityParameter = "futility parameter";
constexpr std::string_view kBinding = "binding";
constexpr std::string_view kFractions = "fractions";
constexpr std::string_view kDropout = "dropout";
constexpr std::string_view kWholeSizes = "whole sizes";
constexpr std::string_view kStudies = "studies";
constexpr std::string_view kHalfWidth = "half width";
constexpr std::string_view kSeed = "seed";
constexpr std::string_view kData = "data";

constexpr int kTableKind = 1;
constexpr int kMonteCarloKind = 3;

std::string Line(std::string_view name, const std::string& value) {
  return std::string(name) + "=" + value + "\n";
}

// Each blank-separated part of a text a number as typing takes it; the empty
// text is allowed where `emptyAllowed`.
bool TypedNumbers(const std::string& text, bool emptyAllowed, bool several) {
  if (text.empty()) return emptyAllowed;
  if (!several) return IsWellFormedNumber(text);
  std::size_t start = 0;
  bool any = false;
  while (start <= text.size()) {
    const std::size_t end = text.find(' ', start);
    const std::string part = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!part.empty()) {
      if (!IsWellFormedNumber(part)) return false;
      any = true;
    }
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return any;
}

}  // namespace

std::optional<double> ExpectedDropoutValue(const std::string& text) {
  if (!IsWellFormedNumber(text)) return std::nullopt;
  const double dropout = ParseNumber(text);
  if (!(dropout >= 0 && dropout <= 0.9)) return std::nullopt;
  return dropout;
}

std::string ExpectedDropoutProblem(const std::string& text) {
  if (ExpectedDropoutValue(text)) return {};
  return "The expected dropout \"" + text + "\" is not a number from 0 to 0.9";
}

std::optional<sequential::Family> BoundaryFamilyAt(int index) {
  if (index < static_cast<int>(sequential::Family::None) ||
      index > static_cast<int>(sequential::Family::HwangShihDeCaniSpending))
    return std::nullopt;
  return static_cast<sequential::Family>(index);
}

bool KeepsInterimSettings(int kind, int interimCount, bool plannedByPower) {
  return interimCount > 0 && (plannedByPower || kind == kMonteCarloKind);
}

std::string EncodePlanningText(const PlanningSettings& p, int kind, int interimCount, bool plannedByPower) {
  std::string text;
  if (KeepsInterimSettings(kind, interimCount, plannedByPower)) {
    const auto family = [](std::int16_t index) {
      const auto f = BoundaryFamilyAt(index);
      return std::string(sequential::FamilyName(f ? *f : sequential::Family::None));
    };
    text += Line(kBoundary, family(p.BoundaryFamily));
    text += Line(kBoundaryParameter, p.BoundaryParameter);
    text += Line(kFutility, family(p.FutilityFamily));
    text += Line(kFutilityParameter, p.FutilityParameter);
    text += Line(kBinding, p.BindingFutility != kFalse ? "1" : "0");
    text += Line(kFractions, p.InformationFractions);
  }
  // No dropout ("0", "0.0" or nothing) is no line.
  const std::optional<double> dropout = ExpectedDropoutValue(p.ExpectedDropout);
  if (!p.ExpectedDropout.empty() && !(dropout && *dropout == 0)) text += Line(kDropout, p.ExpectedDropout);
  if (kind == kTableKind && p.TableWholeSizes != kFalse) text += Line(kWholeSizes, "1");
  if (kind == kMonteCarloKind) {
    text += Line(kStudies, p.SimulationStudies);
    text += Line(kHalfWidth, p.SimulationHalfWidth);
    text += Line(kSeed, p.SimulationSeed);
    const auto model = static_cast<DataModel>(p.SimulationData);
    text += Line(kData, std::string(DataModelName(model)));
  }
  return text;
}

bool DecodePlanningText(const std::string& text, PlanningSettings& p, std::string& why) {
  std::set<std::string> seen;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(start, end - start);
    start = end + 1;
    if (line.empty()) continue;
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) {
      why = "its planning settings hold a line without \"=\"";
      return false;
    }
    const std::string name = line.substr(0, eq);
    const std::string value = line.substr(eq + 1);
    if (!seen.insert(name).second) {
      why = "its planning settings give \"" + name + "\" twice";
      return false;
    }
    const auto refuse = [&](const std::string& what) {
      why = "its planning setting \"" + name + "\" is \"" + value + "\", " + what;
      return false;
    };
    const auto number = [&](std::string& field, bool emptyAllowed, bool several) {
      if (!TypedNumbers(value, emptyAllowed, several)) return refuse("which is not a number as it can be typed");
      field = value;
      return true;
    };
    if (name == kBoundary || name == kFutility) {
      const auto family = sequential::FamilyOfName(value);
      if (!family || (name == kBoundary && *family == sequential::Family::None))
        return refuse("which is not a boundary family of this program");
      (name == kBoundary ? p.BoundaryFamily : p.FutilityFamily) = static_cast<std::int16_t>(*family);
    } else if (name == kBoundaryParameter) {
      if (!number(p.BoundaryParameter, true, false)) return false;
    } else if (name == kFutilityParameter) {
      if (!number(p.FutilityParameter, true, false)) return false;
    } else if (name == kBinding) {
      if (value != "0" && value != "1") return refuse("neither 0 nor 1");
      p.BindingFutility = value == "1" ? kTrue : kFalse;
    } else if (name == kFractions) {
      if (!number(p.InformationFractions, true, true)) return false;
    } else if (name == kWholeSizes) {
      if (value != "0" && value != "1") return refuse("neither 0 nor 1");
      p.TableWholeSizes = value == "1" ? kTrue : kFalse;
    } else if (name == kDropout) {
      if (!number(p.ExpectedDropout, false, false)) return false;
    } else if (name == kStudies) {
      if (!number(p.SimulationStudies, false, false)) return false;
    } else if (name == kHalfWidth) {
      if (!number(p.SimulationHalfWidth, true, false)) return false;
    } else if (name == kSeed) {
      if (!number(p.SimulationSeed, false, false)) return false;
    } else if (name == kData) {
      const auto model = DataModelNamed(value);
      if (!model) return refuse("which is not a model of the data of this program");
      p.SimulationData = static_cast<std::int16_t>(*model);
    } else {
      why = "its planning settings name \"" + name + "\", which this program does not know";
      return false;
    }
  }
  return true;
}

}  // namespace pelmora
