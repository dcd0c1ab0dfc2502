// The simulated studies of the exponential distribution.  A test is the
// simulator of the test of the location or the scale.  An interval draws
// each sample's exponential times from the assumed values (each subject
// missing at random with the dropout rate) and computes the module's exact
// interval from those analysed:
//   location (scale known): the minimum of n times above the location, the
//     interval [minimum - d, minimum] with d = scale ln(1 / (1 - CL)) / n;
//   scale: the mean of the times above the known location 0, or with the
//     location estimated the mean excess over the minimum sum (x - min) /
//     (n - 1), and the chi-square interval [df s / chi2(1 - a/2), df s /
//     chi2(a/2)], a = 1 - CL; two samples the ratio of the two estimates
//     (the first sample's scale 1, the second's the assumed ratio) and the
//     F interval [r / F(1 - a/2), r / F(a/2)] with (df2, df1) degrees of
//     freedom.
// The quantiles are kept by the numbers analysed.
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "numeric/distributions.h"
#include "numeric/simulated_counts.h"
#include "numeric/simulated_data.h"
#include "procedures/distributions/exponential.h"
#include "procedures/distributions/sample_simulation.h"

namespace pelmora {

std::unique_ptr<StudySimulator> ExponentialDistribution::MakeSimulator(const Session& s,
                                                                       const SimulationPlan& plan,
                                                                       std::string& why) {
  if (ProcedureModule* test = Test(s)) return test->MakeSimulator(s, plan, why);
  constexpr std::int16_t kIntervalKind = 2;
  if (kind_ != kIntervalKind) return nullptr;
  auto at = [&](int p) { return p >= 0 ? ToSingle(s.value(p)) : 0.0f; };
  const Single level = at(0), estimate = at(estimate_), n1 = at(n1_);
  const bool two = twoSamples_ && choice_ != kLocation, location = choice_ == kLocation;
  const bool estimated = choice_ == kScaleLocationUnknown;
  std::vector<double> sizes{WholeSize(n1)};
  if (two) sizes.push_back(WholeSize(SecondSize(s, ToSingle(sizes[0]))));
  const Single sigma = location ? at(sigma_) : 1.0f;
  for (double n : sizes)
    if (!(n >= (estimated ? 2 : 1) && n <= 1e7)) {
      why = "the sample sizes must be from 2 to 10000000 to be simulated";
      return nullptr;
    }
  if (!(level > 0 && level < 1) || !std::isfinite(estimate) || (!location && !(estimate > 0)) || !(sigma > 0)) {
    why = "the times cannot be drawn with these values";
    return nullptr;
  }
  std::vector<std::vector<std::int64_t>> looks = RecruitedLookSizes(sizes, plan);
  const std::vector<std::int64_t> recruited = looks.back();
  const IntervalTarget target{intervalKind_, at(limit_), estimate};
  const double dropout = plan.dropout;
  // The scale of each sample: for two, 1 and the assumed ratio.
  const std::array<double, 2> scales{two ? 1.0 : static_cast<double>(estimate), estimate};
  StudyRoutine routine = [=, self = *this, quantiles = std::map<std::pair<std::int64_t, std::int64_t>,
                                                                   std::pair<double, double>>()](
                             RandomStream& stream, StudyOutcome& out) mutable {
    std::array<std::int64_t, 2> analysed{};
    std::array<double, 2> scale{};
    double minimum = std::numeric_limits<double>::infinity();
    for (std::size_t g = 0; g < sizes.size(); ++g) {
      const std::int64_t kept = dropout > 0 ? DrawBinomial(stream, recruited[g], 1 - dropout) : recruited[g];
      analysed[g] = kept;
      if (location) {
        if (kept > 0) minimum = estimate + DrawExponentialTime(stream, static_cast<double>(kept) / sigma);
        continue;
      }
      double sum = 0, least = std::numeric_limits<double>::infinity();
      for (std::int64_t i = 0; i < kept; ++i) {
        const double x = DrawExponentialTime(stream, 1 / scales[g]);
        sum += x;
        least = std::min(least, x);
      }
      const double n = static_cast<double>(kept);
      scale[g] = estimated ? (n > 1 ? (sum - n * least) / (n - 1) : 0.0) : (n > 0 ? sum / n : 0.0);
    }
    if (analysed[0] < (estimated ? 2 : 1) || (two && analysed[1] < (estimated ? 2 : 1))) {
      out.covered = out.narrow = false;
      return;
    }
    double lower = 0, middle = 0, upper = 0;
    if (location) {
      const double d = sigma * std::log(1 / (1 - static_cast<double>(level))) / static_cast<double>(analysed[0]);
      lower = minimum - d;
      middle = upper = minimum;
    } else {
      auto found = quantiles.find({analysed[0], analysed[1]});
      if (found == quantiles.end()) {
        const Single df1 = self.DegreesOfFreedom(static_cast<Single>(analysed[0]));
        const Single a = (1 - level) / 2;
        std::pair<double, double> q;
        if (!two) {
          q = {ChiSquareQuantile(1 - a, df1) / df1, ChiSquareQuantile(a, df1) / df1};
        } else {
          const Single df2 = self.DegreesOfFreedom(static_cast<Single>(analysed[1]));
          q = {FQuantile(1 - a, df2, df1), FQuantile(a, df2, df1)};
        }
        found = quantiles.emplace(std::make_pair(analysed[0], analysed[1]), q).first;
      }
      middle = two ? scale[1] / scale[0] : scale[0];
      lower = middle / found->second.first;
      upper = middle / found->second.second;
    }
    if (!std::isfinite(lower) || !std::isfinite(upper)) {
      out.covered = out.narrow = false;
      return;
    }
    JudgeInterval(lower, middle, upper, estimate, target, out);
  };
  return MakeRoutineSimulator(std::move(routine), std::move(looks), true);
}

}  // namespace pelmora
