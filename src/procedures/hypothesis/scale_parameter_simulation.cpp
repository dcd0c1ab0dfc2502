// The simulated studies of the tests of a standard deviation (p = 2; the
// exponential scale test, p = 1, has its own simulator, ExponentialScale's).
// Each sample draws observations of the chosen data model with mean 0 and
// the assumed standard deviation (two samples: the first sample's, or 1
// where only the ratio is entered, and the second that times the assumed
// ratio); under H0 with the null value or ratio (two one-sided tests: the
// equivalence limit nearer to the assumed value on the log scale).  The
// estimate is the sample variance (n - 1 degrees of freedom), or with the
// mean known the mean square about the known mean 0 (n degrees of freedom).
// The log-normal model needs a mean, which the test does not list: it is
// refused.  Each study is analysed with the module's test: the chi-square of
// df times the estimate against the null value, or the F of the ratio of the
// two estimates, with its tails and limits.
#include <cmath>

#include "numeric/power_equations.h"
#include "numeric/relative.h"
#include "numeric/sample_moments.h"
#include "procedures/hypothesis/scale_parameter.h"
#include "procedures/observation_simulator.h"

namespace pelmora {

std::unique_ptr<StudySimulator> ScaleParameter::MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                              std::string& why) {
  if (plan.data == DataModel::kLogNormal) {
    why = "the test of a standard deviation lists no mean, which log-normal observations need";
    return nullptr;
  }
  auto at = [&](int p) { return p >= 0 ? ToSingle(s.value(p)) : 0.0f; };
  // Whether the mean is estimated: one degree of freedom fewer per sample.
  const bool located = DegreesOfFreedom(2) < 2.0f;
  double assumed = Estimate(s);
  if (plan.underH0) {
    if (tails_ != 3) {
      assumed = at(h0_);
    } else {
      const double left = at(left_), right = at(right_);
      assumed = std::fabs(std::log(assumed / left)) <= std::fabs(std::log(right / assumed)) ? left : right;
    }
  }
  const double n1 = WholeSize(at(n1_));
  std::vector<double> scales{assumed}, sizes{n1};
  if (twoSamples_) {
    const double first = scaleMode_ == 1 ? 1.0 : static_cast<double>(at(first_));
    scales = {first, first * assumed};
    sizes.push_back(WholeSize(
        ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(n2_), ToSingle(n1), size2Mode_)));
  }
  std::vector<ObservedGroup> groups;
  for (std::size_t g = 0; g < scales.size(); ++g) {
    if (!(scales[g] > 0) || !std::isfinite(scales[g])) {
      why = "the scales must be positive to be simulated";
      return nullptr;
    }
    std::optional<SubjectDraw> draw = ModelDraw(plan.data, 0.0, scales[g]);
    if (!draw) {
      why = "the observations cannot be drawn with these standard deviations";
      return nullptr;
    }
    groups.push_back({std::move(*draw), 1, sizes[g]});
  }

  // The estimate of the variance of a sample and its degrees of freedom;
  // nothing below the size that leaves one degree of freedom.
  auto estimate = [located](std::span<const double> x, double& df) -> std::optional<double> {
    const double n = static_cast<double>(x.size());
    if (n < (located ? 2 : 1)) return std::nullopt;
    df = located ? n - 1 : n;
    if (located) return MomentsOf(x).variance;
    double squares = 0;
    for (double v : x) squares += v * v;
    return squares / n;
  };
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  const Single null = Power(at(h0_)), left = Power(at(left_)), right = Power(at(right_));
  const bool two = twoSamples_;
  ObservationsPValue pValue = [=](std::span<const std::span<const double>> x) -> double {
    double df1 = 0, df2 = 0;
    const std::optional<double> e1 = estimate(x[0], df1);
    if (!e1) return 1;
    if (!two) return PValueChiSquare(sides, ToSingle(df1 * *e1), null, left, right, ToSingle(df1));
    const std::optional<double> e2 = estimate(x[1], df2);
    if (!e2 || !(*e1 > 0)) return 1;
    return PValueF(sides, ToSingle(*e2 / *e1), null, left, right, ToSingle(df1), ToSingle(df2));
  };
  return MakeObservationSimulator(std::move(groups), plan, std::move(pValue), true, why);
}

}  // namespace pelmora
