// The simulated studies of the regression coefficient test: in each sample
// pairs of a normal covariate x (mean 0, the covariate's standard
// deviation) and y = b x + sigma e with normal residuals e of the residual
// standard deviation sigma and the assumed slope b (two samples: the first
// sample's slope, 0 where only the difference is entered, the second's the
// first plus the assumed difference); under H0 the null value (two
// one-sided tests: the equivalence limit nearer to the assumed value).  The
// covariate is drawn anew in every study, where the module's power holds
// its spread fixed at the entered one.  Each study is analysed with the
// module's t test of the least-squares slopes b = Sxy / Sxx: the standard
// error from the residual variance (Syy - Sxy^2 / Sxx) / (n - 2), sqrt(s^2 /
// Sxx), n - 2 degrees of freedom; two samples on the residual variance
// pooled over both, sqrt(s^2 (1 / Sxx1 + 1 / Sxx2)), n1 + n2 - 4.
#include <algorithm>
#include <cmath>

#include "numeric/power_equations.h"
#include "numeric/relative.h"
#include "numeric/root.h"
#include "procedures/hypothesis/regression_coefficient.h"
#include "procedures/observation_simulator.h"

namespace pelmora {

std::unique_ptr<StudySimulator> RegressionCoefficient::MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                                     std::string& why) {
  const auto& v = s.ParameterValues;
  auto at = [&](int p) { return p >= 0 ? ToSingle(s.value(p)) : 0.0f; };
  Single estimate = 0, null = 0;
  Estimate(s, estimate, null);
  const Single left = at(left_), right = at(right_);
  double effect = estimate;
  if (plan.underH0)
    effect = NullDrawValue(tails_ == 3, estimate, null, left, right);
  const double sigma = at(sd_);
  const Single sx1 = at(sx1_);
  std::vector<double> slopes{effect}, spreads{sx1}, sizes{WholeSize(at(n1_))};
  if (twoSamples_) {
    const double b1 = coefficientMode_ == 1 ? 0.0 : static_cast<double>(at(b1_));
    const Single n1 = MaxOf(at(n1_), 3.0f);
    slopes = {b1, b1 + effect};
    spreads.push_back(ResolveRelativeValue(v, static_cast<std::int16_t>(sx2_), sx1, covariateSd2Mode_));
    sizes = {WholeSize(n1), WholeSize(ResolveRelativeValue(v, static_cast<std::int16_t>(n2_), n1, size2Mode_))};
  }
  if (!(sigma >= 0) || !std::isfinite(sigma)) {
    why = "the residual standard deviation must not be negative to be simulated";
    return nullptr;
  }
  std::vector<ObservedGroup> groups;
  for (std::size_t g = 0; g < slopes.size(); ++g) {
    if (!(spreads[g] > 0) || !std::isfinite(spreads[g] * slopes[g])) {
      why = "the covariates' standard deviations must be positive to be simulated";
      return nullptr;
    }
    SubjectDraw draw = [b = slopes[g], sx = spreads[g], sigma](RandomStream& stream, std::span<double> out) {
      stream.FillNormal(out);
      for (std::size_t i = 0; i + 1 < out.size(); i += 2) {
        const double x = sx * out[i];
        out[i + 1] = b * x + sigma * out[i + 1];
        out[i] = x;
      }
    };
    groups.push_back({std::move(draw), 2, sizes[g]});
  }
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  const bool two = twoSamples_;
  ObservationsPValue pValue = [sides, two, null, left, right](std::span<const std::span<const double>> x) -> double {
    const PairSums a = SumsOfPairs(x[0]);
    if (!(a.sxx > 0)) return 1;
    double slope = a.sxy / a.sxx, residual = a.syy - a.sxy * slope, df = a.n - 2, information = 1 / a.sxx;
    if (two) {
      const PairSums b = SumsOfPairs(x[1]);
      if (!(b.sxx > 0)) return 1;
      const double slope2 = b.sxy / b.sxx;
      slope = slope2 - slope;
      residual += b.syy - b.sxy * slope2;
      df += b.n - 2;
      information += 1 / b.sxx;
    }
    if (!(df > 0)) return 1;
    const double se = std::sqrt(std::max(residual, 0.0) / df * information);
    if (!(se > 0)) return 1;
    return PValueT(sides, ToSingle(slope), null, ToSingle(se), left, right, ToSingle(df));
  };
  return MakeObservationSimulator(std::move(groups), plan, std::move(pValue), false, why);
}

}  // namespace pelmora
