// The simulated studies of the tests of log-normal medians: log-normal
// observations, drawn as their logarithms, analysed on the log scale (see
// LogMedianTest::MakeLogSimulator).  The z test takes the shapes as known.
#include <cmath>

#include "numeric/power.h"
#include "numeric/power_equations.h"
#include "numeric/sample_moments.h"
#include "procedures/hypothesis/log_normal_median.h"

namespace pelmora {

std::unique_ptr<StudySimulator> LogMedianTest::MakeLogSimulator(const Session& s, const SimulationPlan& plan,
                                                                ObservationsPValue pValue, std::string& why) const {
  Single estimate = 0, null = 0, left = 0, right = 0;
  LogEstimate(s, estimate, null);
  LogLimits(s, left, right);
  double effect = estimate;
  if (plan.underH0)
    effect = NullDrawValue(tails_ == 3, estimate, null, left, right);
  Single shape1 = 0, shape2 = 0, n1 = 0, n2 = 0;
  ShapesAndSizes(s, shape1, shape2, n1, n2);
  std::vector<double> locations{effect}, shapes{shape1}, sizes{WholeSize(n1)};
  if (twoSamples_) {
    const double first = medianMode_ == 1 ? 0.0 : std::log(ToSingle(s.value(median1_)));
    locations = {first, first + effect};
    shapes.push_back(shape2);
    sizes.push_back(WholeSize(n2));
  }
  std::vector<ObservedGroup> groups;
  for (std::size_t g = 0; g < locations.size(); ++g) {
    if (!std::isfinite(locations[g]) || !(shapes[g] >= 0) || !std::isfinite(shapes[g])) {
      why = "log-normal observations need positive medians and shapes";
      return nullptr;
    }
    SubjectDraw draw = [mu = locations[g], sigma = shapes[g]](RandomStream& stream, std::span<double> out) {
      stream.FillNormal(out, mu, sigma);
    };
    groups.push_back({std::move(draw), 1, sizes[g]});
  }
  return MakeObservationSimulator(std::move(groups), plan, std::move(pValue), false, why);
}

std::unique_ptr<StudySimulator> LogNormalMedian::MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                               std::string& why) {
  Single estimate = 0, null = 0, left = 0, right = 0;
  LogEstimate(s, estimate, null);
  LogLimits(s, left, right);
  Single shape1 = 0, shape2 = 0, n1 = 0, n2 = 0;
  ShapesAndSizes(s, shape1, shape2, n1, n2);
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  const bool two = twoSamples_;
  ObservationsPValue pValue = [=](std::span<const std::span<const double>> x) -> double {
    const double m1 = static_cast<double>(x[0].size());
    if (m1 < 1 || (two && x[1].empty())) return 1;
    ZArguments z;
    z.null = null;
    z.left = left;
    z.right = right;
    if (!two) {
      z.x = ToSingle(MomentsOf(x[0]).mean);
      z.se = ToSingle(shape1 / std::sqrt(m1));
    } else {
      const double m2 = static_cast<double>(x[1].size());
      z.x = ToSingle(MomentsOf(x[1]).mean - MomentsOf(x[0]).mean);
      z.se = ToSingle(std::sqrt(double(shape2) * shape2 / m2 + double(shape1) * shape1 / m1));
    }
    if (!(z.se > 0)) return 1;
    return PValueZ(sides, z);
  };
  return MakeLogSimulator(s, plan, std::move(pValue), why);
}

}  // namespace pelmora
