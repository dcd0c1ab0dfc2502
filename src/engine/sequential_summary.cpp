#include "engine/sequential_summary.h"

#include <cmath>

#include "procedures/sequential_criterion.h"
#include "session/sequential_settings.h"

namespace pelmora {

namespace {

double WholeUp(double size) { return std::ceil(size - 1e-9 * std::max(1.0, std::fabs(size))); }

}  // namespace

std::optional<SequentialSummary> SummarizeSequentialDesign(Dispatcher& d, const WholeSizes& sizes) {
  Session& s = d.session();
  if (!UsesSequentialDesign(s) || !d.PowerCriterion()) return std::nullopt;
  const std::optional<double> fixed = d.CallEvaluateFixedPower();
  // A copy: the cache may move its designs on a later call.
  const SequentialDesign* cached = SequentialDesignOf(s);
  if (cached == nullptr || !fixed) return std::nullopt;
  const SequentialDesign design = *cached;
  const std::optional<SequentialResult> r = design.Evaluate(DriftOfFixedPower(design.Plan(), *fixed));
  if (!r) return std::nullopt;
  SequentialSummary out;
  out.boundary = std::string(sequential::FamilyName(design.Plan().efficacy));
  out.futility = std::string(sequential::FamilyName(design.Plan().futility));
  out.binding = design.Plan().binding;
  out.inflation = design.InflationFactor(s.value(2));
  out.sizes = sizes.sizes;
  out.total = sizes.total;
  out.power = r->power;
  out.expectedH1 = sizes.total * r->expectedFractionH1;
  out.expectedH0 = sizes.total * r->expectedFractionH0;
  double listed = 0;
  for (double n : sizes.sizes) listed += n;
  // Groups beyond the listed sizes are as large as the last one.
  const double further = sizes.sizes.empty() || sizes.sizes.back() <= 0 ? 0 : (sizes.total - listed) / sizes.sizes.back();
  for (const SequentialLook& look : r->looks) {
    SequentialLookLine line;
    line.fraction = look.fraction;
    for (double n : sizes.sizes) {
      line.sizes.push_back(look.fraction >= 1 ? n : WholeUp(n * look.fraction));
      line.total += line.sizes.back();
    }
    if (!line.sizes.empty()) line.total += further * line.sizes.back();
    line.efficacyZ = look.efficacyZ;
    line.efficacyP = look.efficacyP;
    line.futilityZ = look.futilityZ;
    line.cumulativeAlpha = look.cumulativeAlpha;
    line.rejectH1 = look.rejectH1;
    line.stopH1 = look.stopH1;
    line.stopH0 = look.stopH0;
    out.looks.push_back(std::move(line));
  }
  return out;
}

}  // namespace pelmora
