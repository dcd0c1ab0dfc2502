#include "engine/power_curve.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "format/number_entry.h"
#include "format/number_format.h"
#include "session/form_change.h"

namespace pelmora {

namespace {

constexpr int kSteps = 20;
constexpr std::array<double, 3> kEffectFactors = {0.75, 1.0, 1.25};
constexpr const char* kNumberPattern = "#####0.######";

int ListedAt(const Session& s, int id) {
  for (int p = 0; p <= s.LastPosition; ++p)
    if (p != 1 && s.ParameterList[static_cast<std::size_t>(p)] == id) return p;
  return -1;
}

// The position of the one sample's or the first sample's size, or -1.
int SizePosition(const Session& s) {
  for (int p = 2; p <= s.LastPosition; ++p) {
    const std::int16_t id = s.ParameterList[static_cast<std::size_t>(p)];
    const auto is = [id](const auto& ids) { return std::find(std::begin(ids), std::end(ids), id) != std::end(ids); };
    if (is(param::kSingleSampleSizes) || is(param::kFirstSampleSizes)) return p;
  }
  return -1;
}

std::optional<double> TextValue(const std::string& text) {
  if (text.find_first_not_of(' ') == std::string::npos || text == "-") return std::nullopt;
  const double v = ParseNumber(text);
  return std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

// The assumed effect: the quantity of the estimate's row in the form listed,
// or else the first starred parameter; the value it takes for a factor.
struct Effect {
  int id = -1;
  FormKind kind = FormKind::Value;
  double base = 0;  // a value form is scaled as its distance to this
};

std::optional<Effect> AssumedEffect(Dispatcher& d, int sizePosition) {
  const Session& s = d.session();
  for (const ParameterForms& f : d.FormsOfRows()) {
    if (ParameterGroups()[static_cast<std::size_t>(f.group)].rowLabel != "Estimate") continue;
    const std::array<FormKind, 3> kinds = FormKinds(f.group);
    for (int m = 0; m < 3; ++m) {
      const std::int16_t id = f.ids[static_cast<std::size_t>(m)];
      if (id < 0 || kinds[static_cast<std::size_t>(m)] == FormKind::None || ListedAt(s, id) < 0) continue;
      Effect e{id, kinds[static_cast<std::size_t>(m)], 0};
      if (e.kind == FormKind::Value && f.base >= 0)
        if (const std::optional<double> b = TextValue(s.entry(f.base).ParamText)) e.base = *b;
      return e;
    }
  }
  for (int p = 2; p <= s.LastPosition; ++p)
    if (p != sizePosition && s.entryAt(p).ParamCaption().find('*') != std::string::npos)
      return Effect{s.ParameterList[static_cast<std::size_t>(p)], FormKind::Difference, 0};
  return std::nullopt;
}

double Scaled(const Effect& e, double v, double factor) {
  if (e.kind == FormKind::Ratio) return 1 + factor * (v - 1);
  if (e.kind == FormKind::Value) return e.base + factor * (v - e.base);
  return factor * v;
}

}  // namespace

bool OffersPowerCurve(const Session& s) {
  return s.LastPosition > 0 && (s.IsTestProcedure != kFalse || s.ProcedureKind == 0) && SizePosition(s) >= 0;
}

std::optional<WindowSettings> PowerCurveSettings(Dispatcher& d, std::string& why) {
  const Session& s = d.session();
  if (!OffersPowerCurve(s)) {
    why = "A power curve is drawn for a test whose parameters list a sample size.";
    return std::nullopt;
  }
  const int sizePosition = SizePosition(s);
  const int sizeId = s.ParameterList[static_cast<std::size_t>(sizePosition)];
  const std::optional<double> n = TextValue(s.entryAt(sizePosition).ParamText);
  if (!n || *n <= 0) {
    why = RemoveAccelerator(s.entryAt(sizePosition).ParamCaption()) + " has no value";
    return std::nullopt;
  }
  const std::optional<Effect> effect = AssumedEffect(d, sizePosition);
  const std::optional<double> v = effect ? TextValue(s.entry(effect->id).ParamText) : std::nullopt;
  if (!effect || !v) {
    why = effect ? RemoveAccelerator(s.entry(effect->id).ParamCaption()) + " has no value"
                 : "This test has no assumed effect to vary.";
    return std::nullopt;
  }

  // The same selection planned by power, in a session of its own; the roles
  // follow their parameters into the longer list.
  Session curve = s;
  Dispatcher byPower(curve);
  byPower.CallBuildParameterList();
  curve.PlanByPower = kTrue;
  byPower.ApplyOptions();
  if (curve.ParameterList[2] != param::Power) {
    why = "This test does not plan by power.";
    return std::nullopt;
  }
  curve.UnknownPosition = 2;
  curve.XPosition = static_cast<std::int16_t>(ListedAt(curve, sizeId));
  curve.ZPosition = static_cast<std::int16_t>(ListedAt(curve, effect->id));
  if (curve.XPosition < 0 || curve.ZPosition < 0) {
    why = "This test does not plan by power.";
    return std::nullopt;
  }
  CatalogueEntry& x = curve.entry(sizeId);
  x.TableMin = FormatPattern(*n / 2, kNumberPattern);
  x.TableMax = FormatPattern(*n * 2, kNumberPattern);
  x.TableStep = FormatPattern((*n * 2 - *n / 2) / kSteps, kNumberPattern);
  std::string z;
  for (double factor : kEffectFactors) {
    if (!z.empty()) z += ' ';
    z += FormatPattern(Scaled(*effect, *v, factor), kNumberPattern);
  }
  curve.entry(effect->id).ZValueText = z;
  WindowSettings r;
  CopySelectionInto(curve, r);
  r.kind = static_cast<std::int16_t>(WindowKind::Graph);
  r.resultRemark.clear();
  r.designPower = DesignPower();
  return r;
}

}  // namespace pelmora
