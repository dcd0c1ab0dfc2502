// The simulated studies of the normal and log-normal distributions.  A test
// is its test procedure's simulator.  A confidence interval draws normal
// observations of each sample at the assumed values (the log-normal ones:
// normal logarithms, with the log of the assumed median or ratio of medians
// as the location and the shape as their standard deviation; two samples:
// the first sample's location 0, the second the difference), each subject
// missing at random with the dropout rate, and computes the module's
// interval from the observed means and standard deviations: mean +/- q se
// (the known spread with the normal quantile, the estimated one with
// Student's on the pooled, Welch's, given or ANOVA degrees of freedom;
// exponentiated for the log-normal), or for a standard deviation the
// chi-square interval (mean known: n degrees of freedom about the known
// mean) and for a ratio of two the F interval.
#include <cmath>

#include "numeric/distributions.h"
#include "numeric/relative.h"
#include "numeric/sample_moments.h"
#include "numeric/simulated_counts.h"
#include "procedures/distributions/normal.h"
#include "procedures/distributions/sample_simulation.h"

namespace pelmora {

std::unique_ptr<StudySimulator> NormalFamilyDistribution::MakeSimulator(const Session& s,
                                                                        const SimulationPlan& plan,
                                                                        std::string& why) {
  if (handedOn_ != nullptr) return handedOn_->MakeSimulator(s, plan, why);
  if (kind_ != kConfInterval || notAvailable_) return nullptr;
  const auto& v = s.ParameterValues;
  const bool logScale = LogScale(), spreadInterval = !logScale && choice_ >= 2, two = twoSamples_;
  const double assumed = At(s, estimate_);
  const Single n1 = At(s, n1_);
  std::vector<double> sizes{WholeSize(n1)};
  if (two) sizes.push_back(WholeSize(ResolveRelativeValue(v, static_cast<std::int16_t>(n2_), n1, size2Mode_)));
  double sd1 = 1, sd2 = 1, location = assumed;
  if (spreadInterval) {
    if (two)
      sd2 = assumed;
    else
      sd1 = assumed;
    location = 0;
  } else {
    sd1 = At(s, spread_);
    sd2 = separate_ ? ResolveRelativeValue(v, static_cast<std::int16_t>(spread2_), ToSingle(sd1), spread2Mode_) : sd1;
    if (logScale) location = assumed > 0 ? std::log(assumed) : std::nan("");
  }
  for (double n : sizes)
    if (!(n >= 2 && n <= 1e7)) {
      why = "the sample sizes must be from 2 to 10000000 to be simulated";
      return nullptr;
    }
  if (!std::isfinite(location) || !(sd1 >= 0) || !(sd2 >= 0) || !std::isfinite(sd1 * sd2)) {
    why = "the observations cannot be drawn with these values";
    return nullptr;
  }
  std::vector<std::vector<std::int64_t>> looks = RecruitedLookSizes(sizes, plan);
  const std::vector<std::int64_t> recruited = looks.back();
  const IntervalTarget target{intervalKind_, At(s, limit_), assumed};
  const double upperP = IntervalProbability(s), lowerP = 1 - upperP;
  const double z = UpperNormalQuantile(ToSingle(upperP));
  const bool estimated = estimatedSpread_, separate = separate_, groups = groups_, dfGiven = dfGiven_;
  const bool meanKnown = spreadInterval && choice_ == 2;
  const double givenDf = dfGiven ? At(s, df_) : 0, k = groups ? At(s, k_) : 0;
  const double dropout = plan.dropout;
  const std::array<double, 2> means{two ? 0.0 : location, location}, sds{sd1, sd2};
  std::vector<double> buffer;
  StudyRoutine routine = [=](RandomStream& stream, StudyOutcome& out) mutable {
    std::array<double, 2> n{}, mean{}, var{};
    for (std::size_t g = 0; g < recruited.size(); ++g) {
      const std::int64_t kept = dropout > 0 ? DrawBinomial(stream, recruited[g], 1 - dropout) : recruited[g];
      buffer.resize(static_cast<std::size_t>(kept));
      stream.FillNormal(buffer, means[g], sds[g]);
      n[g] = static_cast<double>(kept);
      if (meanKnown) {
        double squares = 0;
        for (double x : buffer) squares += x * x;
        var[g] = kept > 0 ? squares / n[g] : 0;
      } else {
        const SampleMoments m = MomentsOf(buffer);
        mean[g] = m.mean;
        var[g] = m.variance;
      }
    }
    out.covered = out.narrow = false;
    const double lost = meanKnown ? 0 : 1;
    if (n[0] < 1 + lost || (two && n[1] < 1 + lost)) return;
    if (spreadInterval) {
      const double nu1 = n[0] - lost, nu2 = n[1] - lost;
      if (!two) {
        const double est = std::sqrt(var[0]);
        const double chiHigh = ChiSquareQuantile(ToSingle(lowerP), ToSingle(nu1));
        const double chiLow = ChiSquareQuantile(ToSingle(upperP), ToSingle(nu1));
        JudgeInterval(est * std::sqrt(nu1 / chiHigh), est, est * std::sqrt(nu1 / chiLow), sd1, target, out);
      } else {
        if (!(var[0] > 0)) return;
        const double est = std::sqrt(var[1] / var[0]);
        const double fHigh = FQuantile(ToSingle(lowerP), ToSingle(nu2), ToSingle(nu1));
        const double fLow = FQuantile(ToSingle(upperP), ToSingle(nu2), ToSingle(nu1));
        JudgeInterval(est / std::sqrt(fHigh), est, est / std::sqrt(fLow), sd2, target, out);
      }
      return;
    }
    double est = mean[0], se = 0, df = 0;
    if (!two) {
      se = (estimated ? std::sqrt(var[0]) : sd1) / std::sqrt(n[0]);
      df = groups ? (n[0] - 1) * k : n[0] - 1;
    } else {
      est = mean[1] - mean[0];
      if (!estimated) {
        se = std::sqrt(sd2 * sd2 / n[1] + sd1 * sd1 / n[0]);
      } else if (separate) {
        const double a = var[1] / n[1], b = var[0] / n[0];
        se = std::sqrt(a + b);
        df = a + b > 0 ? std::max((a + b) * (a + b) / (a * a / (n[1] - 1) + b * b / (n[0] - 1)), 1.0) : 1.0;
      } else {
        const double pooled = ((n[0] - 1) * var[0] + (n[1] - 1) * var[1]) / (n[0] + n[1] - 2);
        se = std::sqrt(pooled * (1 / n[0] + 1 / n[1]));
        df = n[0] + n[1] - 2;
      }
      if (groups) df = (n[0] - 1) + (k - 1) * (n[1] - 1);
    }
    if (dfGiven) df = givenDf;
    const double q = estimated ? StudentQuantile(ToSingle(lowerP), ToSingle(df)) : z;
    double lower = est - q * se, upper = est + q * se;
    if (logScale) {
      lower = std::exp(lower);
      upper = std::exp(upper);
      est = std::exp(est);
    }
    JudgeInterval(lower, est, upper, assumed, target, out);
  };
  return MakeRoutineSimulator(std::move(routine), std::move(looks), true);
}

}  // namespace pelmora
