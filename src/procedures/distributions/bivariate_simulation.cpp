// The simulated studies of the bivariate normal distribution.  Each study
// draws its n pairs (X1, X2) from the bivariate normal distribution of the
// assumed values (X1 of mean 0; X2 of the assumed mean of the difference;
// the standard deviations and the correlation entered or implied), each
// subject missing at random with the dropout rate, and analyses them with
// the procedure's own routine at the observed size:
// - the mean of the difference: the paired t-test of the differences X2 - X1
//   (their mean, their standard deviation over sqrt(n), n - 1 degrees of
//   freedom), or the interval mean +/- t se; with the standard deviation of
//   the difference given, the pairs are drawn as differences of that spread;
// - the ratio of the standard deviations: Fisher's z of the observed
//   correlation of X1 + X2 with X2 - X1 against the null ratio's (or the
//   equivalence limits') sum-difference correlation at the entered
//   correlation, the standard error 1 / sqrt(n - 3);
// - the correlation coefficient's interval: Fisher's z of the observed
//   coefficient +/- z / sqrt(n - 3), transformed back;
// - the regression coefficient of X2 on X1: the least-squares slope b =
//   Sxy / Sxx with the standard error sqrt((Syy - b Sxy) / (n - 2) / Sxx), a
//   t-test with n - 2 degrees of freedom (two one-sided tests on the normal
//   path), or the interval b +/- t se.  With a given residual standard
//   deviation the pairs are x of the covariate's standard deviation and b x
//   plus normal residuals of that deviation.
// Under H0 the pairs have the null value (two one-sided tests: the
// equivalence limit nearer to the assumed value, on the test's scale) with
// the same spreads.  The tests of the correlation coefficient, and of the
// regression coefficient with a given residual standard deviation, are
// those of the test procedures.
#include <algorithm>
#include <cmath>
#include <optional>

#include "numeric/distributions.h"
#include "numeric/power_equations.h"
#include "numeric/root.h"
#include "numeric/simulated_counts.h"
#include "numeric/simulated_data.h"
#include "procedures/distributions/bivariate_normal.h"
#include "procedures/distributions/sample_simulation.h"
#include "procedures/hypothesis/correlation_coefficient.h"
#include "procedures/hypothesis/regression_coefficient.h"
#include "procedures/observation_simulator.h"

namespace pelmora {

using namespace bivariate;

namespace {

// An interval computed from a study's pairs: its limits and the estimate.
struct PairsLimits {
  double lower = 0, estimate = 0, upper = 0;
};
using PairsInterval = std::function<std::optional<PairsLimits>(std::span<const double> pairs)>;

// The mean and the variance (divisor n - 1) of the differences y - x of
// pairs given in turn.
struct Differences {
  double n = 0, mean = 0, variance = 0;
};
Differences DifferencesOf(std::span<const double> pairs) {
  Differences d;
  d.n = static_cast<double>(pairs.size() / 2);
  if (d.n < 1) return d;
  double sum = 0;
  for (std::size_t i = 0; i + 1 < pairs.size(); i += 2) sum += pairs[i + 1] - pairs[i];
  d.mean = sum / d.n;
  double squares = 0;
  for (std::size_t i = 0; i + 1 < pairs.size(); i += 2) {
    const double e = pairs[i + 1] - pairs[i] - d.mean;
    squares += e * e;
  }
  d.variance = d.n > 1 ? squares / (d.n - 1) : 0;
  return d;
}

// The least-squares slope of y on x and its standard error with n - 2
// degrees of freedom; nothing where the pairs give none.
struct Slope {
  double b = 0, se = 0, df = 0;
};
std::optional<Slope> SlopeOf(std::span<const double> pairs) {
  const PairSums sums = SumsOfPairs(pairs);
  if (!(sums.sxx > 0) || !(sums.n > 2)) return std::nullopt;
  Slope s;
  s.b = sums.sxy / sums.sxx;
  s.df = sums.n - 2;
  s.se = std::sqrt(std::max(sums.syy - s.b * sums.sxy, 0.0) / s.df / sums.sxx);
  return s;
}

SubjectDraw PairDraw(const BivariateNormalSampler& sampler) {
  return [sampler](RandomStream& stream, std::span<double> out) {
    for (std::size_t i = 0; i + 1 < out.size(); i += 2) {
      const ObservationPair pair = sampler(stream);
      out[i] = pair.x;
      out[i + 1] = pair.y;
    }
  };
}

// The pairs' sampler; nothing, with a reason, where the values allow none.
std::optional<BivariateNormalSampler> Sampler(double mean2, double sd1, double sd2, double rho, std::string& why) {
  std::optional<BivariateNormalSampler> sampler = BivariateNormalSampler::Create(0, sd1, mean2, sd2, rho);
  if (!sampler)
    why = "the pairs cannot be drawn with these values: the standard deviations must not be negative and "
          "the correlation must lie in [-1, 1]";
  return sampler;
}

// A test of one sample of pairs.
std::unique_ptr<StudySimulator> PairsTest(const BivariateNormalSampler& sampler, double size,
                                          const SimulationPlan& plan, ObservationsPValue pValue, std::string& why) {
  std::vector<ObservedGroup> groups;
  groups.push_back({PairDraw(sampler), 2, WholeSize(size)});
  return MakeObservationSimulator(std::move(groups), plan, std::move(pValue), false, why);
}

// An interval of one sample of pairs, judged against the true value.
std::unique_ptr<StudySimulator> PairsIntervalSimulator(const BivariateNormalSampler& sampler, double size,
                                                       const SimulationPlan& plan, PairsInterval interval,
                                                       double truth, const IntervalTarget& target, std::string& why) {
  const double whole = WholeSize(size);
  if (!(whole >= 2 && whole <= 1e7)) {
    why = "the sample size must be from 2 to 10000000 to be simulated";
    return nullptr;
  }
  const std::vector<double> sizes{whole};
  std::vector<std::vector<std::int64_t>> looks = RecruitedLookSizes(sizes, plan);
  const std::int64_t recruited = looks.back().front();
  const double dropout = plan.dropout;
  std::vector<double> buffer;
  StudyRoutine routine = [=](RandomStream& stream, StudyOutcome& out) mutable {
    const std::int64_t kept = dropout > 0 ? DrawBinomial(stream, recruited, 1 - dropout) : recruited;
    buffer.resize(2 * static_cast<std::size_t>(kept));
    for (std::size_t i = 0; i + 1 < buffer.size(); i += 2) {
      const ObservationPair pair = sampler(stream);
      buffer[i] = pair.x;
      buffer[i + 1] = pair.y;
    }
    out.covered = out.narrow = false;
    const std::optional<PairsLimits> limits = interval(buffer);
    if (limits) JudgeInterval(limits->lower, limits->estimate, limits->upper, truth, target, out);
  };
  return MakeRoutineSimulator(std::move(routine), std::move(looks), true);
}

// The value of two one-sided tests under H0: the limit nearer to the assumed value.
double NearerLimit(double assumed, double left, double right) {
  return std::fabs(assumed - left) <= std::fabs(assumed - right) ? left : right;
}

}  // namespace

std::unique_ptr<StudySimulator> BivariateNormalMean::MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                                   std::string& why) {
  const Single h0 = kind_ == 0 && tails_ != 3 ? At(s, h0_) : 0.0f;
  const Single left = At(s, left_), right = At(s, right_);
  double d = kind_ == 0 && tails_ != 3 ? Resolve(s, estimate_, h0, meanMode_) : At(s, estimate_);
  const double assumed = d;
  if (kind_ == 0 && plan.underH0) d = tails_ != 3 ? static_cast<double>(h0) : NearerLimit(d, left, right);
  std::optional<BivariateNormalSampler> sampler;
  if (diffSdGiven_) {
    sampler = Sampler(d, 0, At(s, sdDiff_), 0, why);
  } else {
    const Single sd1 = At(s, sd1_);
    sampler = Sampler(d, sd1, Resolve(s, sd2_, sd1, sd2Mode_), At(s, rho_), why);
  }
  if (!sampler) return nullptr;
  if (kind_ == 2) {
    const Single cl = At(s, 0);
    PairsInterval interval = [cl](std::span<const double> pairs) -> std::optional<PairsLimits> {
      const Differences diff = DifferencesOf(pairs);
      if (diff.n < 2) return std::nullopt;
      const double q = StudentQuantile(UpperProbability(cl), ToSingle(diff.n - 1));
      const double se = std::sqrt(diff.variance / diff.n);
      return PairsLimits{diff.mean - q * se, diff.mean, diff.mean + q * se};
    };
    return PairsIntervalSimulator(*sampler, At(s, n_), plan, std::move(interval), assumed,
                                  {intervalKind_, s.value(limit_), assumed}, why);
  }
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  const bool tost = tails_ == 3;
  ObservationsPValue pValue = [sides, tost, h0, left, right](std::span<const std::span<const double>> x) -> double {
    const Differences diff = DifferencesOf(x[0]);
    if (diff.n < 2) return 1;
    const double se = std::sqrt(diff.variance / diff.n);
    if (!(se > 0)) return 1;
    const Single df = ToSingle(diff.n - 1);
    if (!tost) return PValueT(sides, ToSingle(diff.mean), h0, ToSingle(se), 0, 0, df);
    return PValueT(sides, ToSingle(diff.mean), 0, ToSingle(se), left, right, df);
  };
  return PairsTest(*sampler, At(s, n_), plan, std::move(pValue), why);
}

std::unique_ptr<StudySimulator> BivariateNormalSd::MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                                 std::string& why) {
  const Single rho = At(s, rho_);
  auto z = [rho](Single ratio) { return FisherZ(SumDiffCorrelation(ratio, rho)); };
  double lambda = AssumedRatio(s);
  const Single zNull = tails_ != 3 ? z(At(s, h0_)) : 0.0f;
  const Single zLeft = tails_ == 3 ? z(At(s, left_)) : 0.0f, zRight = tails_ == 3 ? z(At(s, right_)) : 0.0f;
  if (plan.underH0) {
    if (tails_ != 3)
      lambda = At(s, h0_);
    else
      lambda = NearerLimit(z(ToSingle(lambda)), zLeft, zRight) == zLeft ? At(s, left_) : At(s, right_);
  }
  const double sd1 = ratioForm_ == 1 ? 1.0 : static_cast<double>(At(s, sd1_));
  if (!(lambda >= 0)) {
    why = "the ratio of the standard deviations must not be negative to be simulated";
    return nullptr;
  }
  const std::optional<BivariateNormalSampler> sampler = Sampler(0, sd1, lambda * sd1, rho, why);
  if (!sampler) return nullptr;
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  const bool tost = tails_ == 3;
  ObservationsPValue pValue = [sides, tost, zNull, zLeft, zRight](std::span<const std::span<const double>> x) {
    // The correlation of the sums and the differences, from the pairs' sums:
    // (Syy - Sxx) / sqrt((Sxx + Syy + 2 Sxy)(Sxx + Syy - 2 Sxy)).
    const PairSums sums = SumsOfPairs(x[0]);
    const double spread = (sums.sxx + sums.syy + 2 * sums.sxy) * (sums.sxx + sums.syy - 2 * sums.sxy);
    if (!(spread > 0)) return Single{1};
    const double r = std::clamp((sums.syy - sums.sxx) / std::sqrt(spread), -1.0, 1.0);
    const Single se = 1 / std::sqrt(MaxOf(ToSingle(sums.n), kMinZSize) - 3);
    const Single estimate = FisherZ(ToSingle(r));
    if (!tost) return PValueZ(sides, estimate, zNull, se, 0, 0, 0);
    return PValueZ(sides, estimate, 0, se, zLeft, zRight, 0);
  };
  return PairsTest(*sampler, At(s, n_), plan, std::move(pValue), why);
}

std::unique_ptr<StudySimulator> BivariateNormalCorrelation::MakeSimulator(const Session& s,
                                                                          const SimulationPlan& plan,
                                                                          std::string& why) {
  if (kind_ == 0) return test_.MakeSimulator(s, plan, why);
  const double r = At(s, r_);
  const std::optional<BivariateNormalSampler> sampler = Sampler(0, 1, 1, r, why);
  if (!sampler) return nullptr;
  const Single cl = At(s, 0);
  PairsInterval interval = [cl](std::span<const double> pairs) -> std::optional<PairsLimits> {
    const PairSums sums = SumsOfPairs(pairs);
    if (!(sums.sxx > 0) || !(sums.syy > 0)) return std::nullopt;
    // Rounding may carry a coefficient of pairs on a line just beyond 1.
    const Single estimate = ToSingle(std::clamp(sums.sxy / std::sqrt(sums.sxx * sums.syy), -1.0, 1.0));
    const Single n = sums.n <= 3 ? kMinZSize : ToSingle(sums.n);
    const Single half = UpperNormalQuantile((1 - cl) / 2) / std::sqrt(n - 3);
    const Single zr = FisherZ(estimate);
    auto back = [](Single z) {
      const double e = ExpCapped(2 * z);
      return (e - 1) / (e + 1);
    };
    return PairsLimits{back(zr - half), estimate, back(zr + half)};
  };
  return PairsIntervalSimulator(*sampler, At(s, n_), plan, std::move(interval), r, {intervalKind_, s.value(limit_), r},
                                why);
}

std::unique_ptr<StudySimulator> BivariateNormalRegression::MakeSimulator(const Session& s,
                                                                         const SimulationPlan& plan,
                                                                         std::string& why) {
  if (HandedOn()) return test_.MakeSimulator(s, plan, why);
  const Single assumed = Expected(s);
  const Single h0 = h0_ >= 0 ? At(s, h0_) : 0.0f, left = At(s, left_), right = At(s, right_);
  double b = assumed;
  if (kind_ == 0 && plan.underH0) b = tails_ != 3 ? static_cast<double>(h0) : NearerLimit(b, left, right);
  // The spreads of X1 and X2; X2's correlation with X1 makes the slope b.
  double sd1 = 0, sd2 = 0;
  if (sd1_ < 0) {
    sd1 = At(s, covariate_);
    sd2 = std::hypot(b * sd1, static_cast<double>(At(s, residual_)));
  } else {
    sd1 = At(s, sd1_);
    sd2 = Resolve(s, sd2_, ToSingle(sd1), sd2Mode_);
  }
  if (!(sd1 > 0) || !(sd2 > 0)) {
    why = "the standard deviations must be positive to be simulated";
    return nullptr;
  }
  const double rho = b * sd1 / sd2;
  if (!(std::fabs(rho) <= 1)) {
    why = "the regression coefficient times Std.Deviation 1 / Std.Deviation 2 must lie in [-1, 1] to be simulated";
    return nullptr;
  }
  const std::optional<BivariateNormalSampler> sampler = Sampler(0, sd1, sd2, rho, why);
  if (!sampler) return nullptr;
  if (kind_ == 2) {
    const Single cl = At(s, 0);
    PairsInterval interval = [cl](std::span<const double> pairs) -> std::optional<PairsLimits> {
      const std::optional<Slope> slope = SlopeOf(pairs);
      if (!slope) return std::nullopt;
      const double q = StudentQuantile(UpperProbability(cl), ToSingle(slope->df));
      return PairsLimits{slope->b - q * slope->se, slope->b, slope->b + q * slope->se};
    };
    return PairsIntervalSimulator(*sampler, At(s, n_), plan, std::move(interval), assumed,
                                  {intervalKind_, s.value(limit_), assumed}, why);
  }
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  const bool tost = tails_ == 3;
  ObservationsPValue pValue = [sides, tost, h0, left, right](std::span<const std::span<const double>> x) -> double {
    const std::optional<Slope> slope = SlopeOf(x[0]);
    if (!slope || !(slope->se > 0)) return 1;
    if (!tost) return PValueT(sides, ToSingle(slope->b), h0, ToSingle(slope->se), 0, 0, ToSingle(slope->df));
    return PValueZ(sides, ToSingle(slope->b), 0, ToSingle(slope->se), left, right, 0);
  };
  return PairsTest(*sampler, At(s, n_), plan, std::move(pValue), why);
}

}  // namespace pelmora
