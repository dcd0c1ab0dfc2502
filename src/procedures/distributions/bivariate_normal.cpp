#include "procedures/distributions/bivariate_normal.h"

#include <cmath>

#include "numeric/distributions.h"
#include "numeric/power.h"
#include "numeric/power_equations.h"
#include "numeric/relative.h"
#include "numeric/root.h"
#include "procedures/hypothesis/groups.h"
#include "procedures/hypothesis/correlation_coefficient.h"
#include "procedures/hypothesis/regression_coefficient.h"
#include "session/checks.h"
#include "session/options_model.h"

namespace pelmora {

Single PairedDifferenceSE(Single n, Single s1, Single s2, Single rho) {
  return std::sqrt((s1 * s1 + s2 * s2 - 2 * s1 * s2 * rho) / n);
}

Single SumDiffCorrelation(Single lambda, Single rho) {
  const Single l2 = lambda * lambda;
  // The two factors are rooted apart: their product overflows long before
  // either does.
  const Single c = (l2 - 1) / (std::sqrt(l2 + 1 - 2 * rho * lambda) * std::sqrt(l2 + 1 + 2 * rho * lambda));
  // A correlation: rounding must not carry it past +-1 for a ratio far from 1,
  // where Fisher's z has no value.
  return MaxOf(MinOf(c, 1.0f), -1.0f);
}

namespace {

using Ids = BivariateNormalIds;

// The single-precision constants widened to double: the smallest standard
// deviation, and the largest correlation a regression may imply.
constexpr double kSmallest = static_cast<double>(0.00001f);
constexpr double kInside = static_cast<double>(0.99999f);
// The smallest sample size at which 1 / sqrt(n - 3) has a value.
constexpr Single kMinZSize = 3.00001f;

std::int16_t ValidForm(std::int16_t mode) { return mode >= 0 && mode <= 2 ? mode : 0; }

// Writes a parameter list: started by StartParameterList, the ids of the
// procedure's own positions follow one by one; Close sets LastPosition.
class ListWriter {
 public:
  explicit ListWriter(Session& s) : s_(s), p_(StartParameterList(s)) {}
  // Positions 0 and 1 of a confidence interval.
  void Interval() {
    s_.ParameterList[0] = Ids::ConfidenceLevel;
    s_.ParameterList[1] = Ids::ProbWidth;
  }
  int Put(std::int16_t id) {
    s_.ParameterList[static_cast<std::size_t>(p_)] = id;
    return p_++;
  }
  void Close() { s_.LastPosition = static_cast<std::int16_t>(p_ - 1); }

 private:
  Session& s_;
  int p_;
};

std::int16_t LimitId(std::int16_t intervalKind) {
  static constexpr std::int16_t ids[3] = {Ids::LowerLimit, Ids::UpperLimit, Ids::Width};
  return ids[intervalKind];
}

Single At(const Session& s, int p) { return p >= 0 ? ToSingle(s.value(p)) : 0.0f; }

Single Resolve(const Session& s, int p, Single base, std::int16_t mode) {
  return ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(p), base, mode);
}

// The upper quantile probability of a two-sided interval at confidence level cl.
Single UpperProbability(Single cl) { return 1 - (1 - cl) / 2; }

// The lower limit, the upper limit or the width, by the interval kind.
Single ChosenOfInterval(std::int16_t intervalKind, Single lower, Single upper, Single width) {
  return intervalKind == 0 ? lower : intervalKind == 1 ? upper : width;
}

// An unknown base whose partner at `relative` is entered in form mode: keeps
// the value the partner stands for within [lo, hi] (bounds at the sentinels are
// absent).
void KeepPartnerWithinBounds(const Session& s, double& lower, double& upper, int relative, double lo,
                             double hi, std::int16_t mode) {
  const double v = s.value(relative);
  const bool hasLo = ToSingle(lo) > -99999.0f, hasHi = ToSingle(hi) < 99999.0f;
  if (mode == 1) {
    if (hasLo) lower = MaxOf(lower, lo - v);
    if (hasHi) upper = MinOf(upper, hi - v);
  } else if (mode == 2 && v != 0) {
    const double a = v > 0 ? lo / v : hi / v, b = v > 0 ? hi / v : lo / v;
    if (v > 0 ? hasLo : hasHi) lower = MaxOf(lower, a);
    if (v > 0 ? hasHi : hasLo) upper = MinOf(upper, b);
  }
}

// The standard deviation 2 entry at sd2 relative to standard deviation 1 at
// sd1 (adjacent positions): an unknown either keeps SD2 within its bounds.
void NarrowSdPair(const Session& s, double& lower, double& upper, int sd1, int sd2, std::int16_t mode) {
  const CatalogueEntry& e = s.entry(Ids::Sd2);
  if (s.UnknownPosition == sd2)
    RelativeSearchInterval(s, lower, upper, sd1, e.ParamLowerLimit, e.ParamUpperLimit, mode);
  if (s.UnknownPosition == sd1)
    KeepPartnerWithinBounds(s, lower, upper, sd2, e.ParamLowerLimit, e.ParamUpperLimit, mode);
}

// The ratio lambda whose sum-difference correlation at rho is c: the root above
// 1 (c > 0) or below 1 (c < 0) of (1 - c^2) u^2 - 2 (1 + c^2 - 2 rho^2 c^2) u +
// (1 - c^2) = 0 in u = lambda^2.  0 when c is at +-1.
double RatioOfSumDiffCorrelation(double c, double rho) {
  const double a = 1 - c * c;
  if (!(a > 0)) return 0;
  const double b = 1 + c * c - 2 * rho * rho * c * c;
  const double root = std::sqrt(MaxOf(b * b - a * a, 0.0));
  return std::sqrt((c >= 0 ? b + root : b - root) / a);
}

}  // namespace

// ---- The mean of the difference --------------------------------------------

void BivariateNormalMean::InitProcedure(Session& s) {
  OfferOption(s, option::StdDeviationForDiff);
  const bool given = s.optionChecked(option::StdDeviationForDiff);
  if (s.ProcedureKind == 2) {
    if (!given) OfferRow(s, group::StdDeviation2);
    OfferRow(s, group::ConfInterval);
  } else if (s.TailCount != 3) {
    OfferRow(s, group::MeanOfDiff);
    if (!given) OfferRow(s, group::StdDeviation2);
  } else if (!given) {
    OfferRow(s, group::StdDeviation2);
  }
}

void BivariateNormalMean::BuildParameterList(Session& s) {
  ListWriter list(s);
  kind_ = s.ProcedureKind;
  tails_ = s.TailCount;
  diffSdGiven_ = s.optionChecked(option::StdDeviationForDiff);
  meanMode_ = kind_ == 0 && tails_ != 3 ? ValidForm(s.IntParMode[group::MeanOfDiff]) : 0;
  sd2Mode_ = ValidForm(s.IntParMode[group::StdDeviation2]);
  intervalKind_ = ValidForm(s.IntParMode[group::ConfInterval]);

  h0_ = left_ = right_ = estimate_ = limit_ = sdDiff_ = sd1_ = sd2_ = rho_ = n_ = -1;
  if (kind_ == 2) {
    list.Interval();
    estimate_ = list.Put(Ids::MeanOfDiff);
    limit_ = list.Put(LimitId(intervalKind_));
  } else if (tails_ != 3) {
    static constexpr std::int16_t estimate[3] = {Ids::MeanOfDiff, Ids::MeanOfDiffMinusH0,
                                                 Ids::MeanOfDiffOverH0};
    h0_ = list.Put(Ids::H0MeanOfDiff);
    estimate_ = list.Put(estimate[meanMode_]);
  } else {
    left_ = list.Put(Ids::LeftDiffLimit);
    right_ = list.Put(Ids::RightDiffLimit);
    estimate_ = list.Put(Ids::MeanOfDiffMinusH0);  // the value itself: the null difference is 0
  }
  if (diffSdGiven_) {
    sdDiff_ = list.Put(Ids::SdOfDiff);
  } else {
    static constexpr std::int16_t sd2[3] = {Ids::Sd2, Ids::Sd2MinusSd1, Ids::Sd2OverSd1};
    sd1_ = list.Put(Ids::Sd1);
    sd2_ = list.Put(sd2[sd2Mode_]);
    rho_ = list.Put(Ids::Correlation);
  }
  n_ = list.Put(Ids::SampleSize);
  list.Close();
}

bool BivariateNormalMean::CheckParameters(Session& s) {
  if (kind_ == 0 && tails_ != 3) {
    const CatalogueEntry& d = s.entry(Ids::MeanOfDiff);
    if (!CheckRelativeValue(s, h0_, estimate_, d.ParamLowerLimit, d.ParamUpperLimit, meanMode_)) return false;
  }
  if (!diffSdGiven_) {
    const CatalogueEntry& sd2 = s.entry(Ids::Sd2);
    if (!CheckRelativeValue(s, sd1_, sd2_, sd2.ParamLowerLimit, sd2.ParamUpperLimit, sd2Mode_)) return false;
  }
  if (kind_ == 0 && tails_ == 3 && !CheckOrderedPair(s, right_)) return false;
  return true;
}

void BivariateNormalMean::SetSearchInterval(Session& s, double& lower, double& upper) {
  const int u = s.UnknownPosition;
  if (kind_ == 0 && tails_ != 3) {
    if (u == h0_ && meanMode_ == 1) {
      lower = upper;  // the estimate moves with H0: the P-value does not depend on it
    } else if (u == h0_ || u == estimate_) {
      RelativeSearchIntervalTailed(s, lower, upper, h0_, -99999, 99999, meanMode_);
    }
  } else if (kind_ == 0) {
    // Two one-sided tests: the estimate on one side of the middle of the
    // limits, where the P-value moves one way only; a limit on its own side
    // of the estimate.
    if (u == estimate_) NarrowByTailReversed(s, lower, upper, (s.value(left_) + s.value(right_)) / 2);
    if (u == left_) upper = MinOf(upper, s.value(estimate_));
    if (u == right_) lower = MaxOf(lower, s.value(estimate_));
  } else if (u == estimate_ && intervalKind_ == 2) {
    lower = upper;  // the width does not depend on the estimate
  }
  if (diffSdGiven_) return;
  NarrowSdPair(s, lower, upper, sd1_, sd2_, sd2Mode_);
  // s1^2 + s2^2 - 2 s1 s2 rho is smallest at s2 = rho s1 (s1 = rho s2): an
  // unknown standard deviation is searched above, where the standard error
  // grows with it and the criterion has one root.
  const double rho = s.value(rho_);
  if (u == sd2_) {
    const double sd1 = s.value(sd1_);
    if (sd2Mode_ == 0) lower = MaxOf(lower, rho * sd1);
    if (sd2Mode_ == 1) lower = MaxOf(lower, rho * sd1 - sd1);
    if (sd2Mode_ == 2) lower = MaxOf(lower, rho);
  } else if (u == sd1_) {
    // With s2 = s1 + d the sum is smallest at s1 = -d / 2; with s2 = r s1 it
    // grows with s1.
    if (sd2Mode_ == 0) lower = MaxOf(lower, rho * s.value(sd2_));
    if (sd2Mode_ == 1) lower = MaxOf(lower, -s.value(sd2_) / 2);
  }
}

Single BivariateNormalMean::StandardError(const Session& s) const {
  const Single n = At(s, n_);
  if (diffSdGiven_) return At(s, sdDiff_) / std::sqrt(n);
  const Single sd1 = At(s, sd1_);
  return PairedDifferenceSE(n, sd1, Resolve(s, sd2_, sd1, sd2Mode_), At(s, rho_));
}

double BivariateNormalMean::EvaluateCriterion(const Session& s) {
  const Single se = StandardError(s);
  const Single df = At(s, n_) - 1;
  if (kind_ == 2) {
    const Single q = StudentQuantile(UpperProbability(At(s, 0)), df);
    const Single m = At(s, estimate_);
    const Single chosen = ChosenOfInterval(intervalKind_, m - q * se, m + q * se, 2 * q * se);
    return static_cast<double>(chosen) - s.value(limit_);
  }
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  Single p;
  if (tails_ != 3) {
    const Single h0 = At(s, h0_);
    p = PValueT(sides, Resolve(s, estimate_, h0, meanMode_), h0, se, 0, 0, df);
  } else {
    p = PValueT(sides, At(s, estimate_), 0, se, At(s, left_), At(s, right_), df);
  }
  return static_cast<double>(p) - s.value(0);
}

std::optional<double> BivariateNormalMean::EvaluatePower(const Session& s) {
  if (kind_ != 0) return std::nullopt;
  const Single se = StandardError(s);
  const Single df = At(s, n_) - 1;
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  if (tails_ != 3) {
    const Single h0 = At(s, h0_);
    return PowerOfTTest(sides, s.value(0), Resolve(s, estimate_, h0, meanMode_), h0, se, 0, 0, df);
  }
  return PowerOfTTest(sides, s.value(0), At(s, estimate_), 0, se, At(s, left_), At(s, right_), df);
}

// ---- The ratio of the standard deviations ----------------------------------

void BivariateNormalSd::InitProcedure(Session& s) { OfferRow(s, group::StdDeviationRatio); }

void BivariateNormalSd::BuildParameterList(Session& s) {
  ListWriter list(s);
  tails_ = s.TailCount;
  ratioForm_ = s.IntParMode[group::StdDeviationRatio] == 1 ? 1 : 0;
  h0_ = left_ = right_ = sd1_ = sd2_ = ratio_ = rho_ = n_ = -1;
  if (tails_ != 3) {
    h0_ = list.Put(Ids::H0Ratio);
  } else {
    left_ = list.Put(Ids::LeftRatioLimit);
    right_ = list.Put(Ids::RightRatioLimit);
  }
  if (ratioForm_ == 1) {
    ratio_ = list.Put(Ids::Ratio);
  } else {
    sd1_ = list.Put(Ids::Sd1Star);
    sd2_ = list.Put(Ids::Sd2Star);
  }
  rho_ = list.Put(Ids::Correlation);
  n_ = list.Put(Ids::SampleSize);
  list.Close();
}

bool BivariateNormalSd::CheckParameters(Session& s) { return tails_ != 3 || CheckOrderedPair(s, right_); }

Single BivariateNormalSd::AssumedRatio(const Session& s) const {
  return ratioForm_ == 1 ? At(s, ratio_) : At(s, sd2_) / At(s, sd1_);
}

void BivariateNormalSd::SetSearchInterval(Session& s, double& lower, double& upper) {
  const int u = s.UnknownPosition;
  if (tails_ != 3) {
    ScaleSearchInterval(s, lower, upper, h0_, ratioForm_);
    return;
  }
  // Two one-sided tests: the P-value is symmetric on the z scale about the
  // middle of the transformed limits; the assumed ratio is searched on one
  // side of the ratio there.
  if (u == ratio_ || u == sd1_ || u == sd2_) {
    const double rho = s.value(rho_);
    const double zMiddle = (static_cast<double>(FisherZ(SumDiffCorrelation(At(s, left_), ToSingle(rho)))) +
                            FisherZ(SumDiffCorrelation(At(s, right_), ToSingle(rho)))) /
                           2;
    const double middle = RatioOfSumDiffCorrelation(std::tanh(zMiddle), rho);
    if (middle > 0) {
      if (u == ratio_) NarrowByTailReversed(s, lower, upper, middle);
      if (u == sd2_) NarrowByTailReversed(s, lower, upper, s.value(sd1_) * middle);
      if (u == sd1_) NarrowByTail(s, lower, upper, s.value(sd2_) / middle);
    }
  }
  if (u == left_) upper = MinOf(upper, static_cast<double>(AssumedRatio(s)));
  if (u == right_) lower = MaxOf(lower, static_cast<double>(AssumedRatio(s)));
}

double BivariateNormalSd::EvaluateCriterion(const Session& s) {
  const Single rho = At(s, rho_);
  const Single se = 1 / std::sqrt(MaxOf(At(s, n_), kMinZSize) - 3);
  auto z = [rho](Single ratio) { return FisherZ(SumDiffCorrelation(ratio, rho)); };
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  const Single estimate = z(AssumedRatio(s));
  Single p;
  if (tails_ != 3)
    p = PValueZ(sides, estimate, z(At(s, h0_)), se, 0, 0, 0);
  else
    p = PValueZ(sides, estimate, 0, se, z(At(s, left_)), z(At(s, right_)), 0);
  return static_cast<double>(p) - s.value(0);
}

std::optional<double> BivariateNormalSd::EvaluatePower(const Session& s) {
  const Single rho = At(s, rho_);
  const Single se = 1 / std::sqrt(MaxOf(At(s, n_), kMinZSize) - 3);
  auto z = [rho](Single ratio) { return FisherZ(SumDiffCorrelation(ratio, rho)); };
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  const Single estimate = z(AssumedRatio(s));
  if (tails_ != 3) return PowerOfZTest(sides, s.value(0), estimate, z(At(s, h0_)), se, 0, 0, 0);
  return PowerOfZTest(sides, s.value(0), estimate, 0, se, z(At(s, left_)), z(At(s, right_)), 0);
}

// ---- The correlation coefficient -------------------------------------------

void BivariateNormalCorrelation::InitProcedure(Session& s) {
  if (s.ProcedureKind == 0)
    test_.InitProcedure(s);
  else
    OfferRow(s, group::ConfInterval);
}

void BivariateNormalCorrelation::BuildParameterList(Session& s) {
  kind_ = s.ProcedureKind;
  r_ = limit_ = n_ = -1;
  if (kind_ == 0) {
    test_.BuildParameterList(s);
    return;
  }
  ListWriter list(s);
  list.Interval();
  intervalKind_ = ValidForm(s.IntParMode[group::ConfInterval]);
  r_ = list.Put(Ids::Correlation);
  limit_ = list.Put(LimitId(intervalKind_));
  n_ = list.Put(Ids::SampleSize);
  list.Close();
}

bool BivariateNormalCorrelation::CheckParameters(Session& s) { return kind_ != 0 || test_.CheckParameters(s); }

void BivariateNormalCorrelation::SetSearchInterval(Session& s, double& lower, double& upper) {
  if (kind_ == 0) {
    test_.SetSearchInterval(s, lower, upper);
    return;
  }
  // The width is the same for r and -r: the coefficient that gives it is
  // searched at or above 0.
  if (s.UnknownPosition == r_ && intervalKind_ == 2) lower = MaxOf(lower, 0.0);
}

double BivariateNormalCorrelation::EvaluateCriterion(const Session& s) {
  if (kind_ == 0) return test_.EvaluateCriterion(s);
  Single n = At(s, n_);
  if (n <= 3) n = kMinZSize;
  const Single q = UpperNormalQuantile((1 - At(s, 0)) / 2);
  const Single zr = FisherZ(At(s, r_));
  const Single half = q / std::sqrt(n - 3);
  auto back = [](Single z) {
    const double e = ExpCapped(2 * z);
    return ToSingle((e - 1) / (e + 1));
  };
  const Single lower = back(zr - half), upper = back(zr + half);
  return static_cast<double>(ChosenOfInterval(intervalKind_, lower, upper, upper - lower)) - s.value(limit_);
}

std::optional<double> BivariateNormalCorrelation::EvaluatePower(const Session& s) {
  if (kind_ == 0) return test_.EvaluatePower(s);
  return std::nullopt;
}

// ---- The regression coefficient --------------------------------------------

void BivariateNormalRegression::InitProcedure(Session& s) {
  OfferOption(s, option::ResidualStdDeviation);
  const bool given = s.optionChecked(option::ResidualStdDeviation);
  if (s.ProcedureKind == 2) {
    OfferRow(s, group::ConfInterval);
    if (!given) OfferRow(s, group::StdDeviation2);
  } else if (given) {
    test_.InitProcedure(s);
  } else {
    if (s.TailCount != 3) OfferRow(s, group::RegressionCoeff);
    OfferRow(s, group::StdDeviation2);
  }
}

void BivariateNormalRegression::BuildParameterList(Session& s) {
  kind_ = s.ProcedureKind;
  tails_ = s.TailCount;
  residualGiven_ = s.optionChecked(option::ResidualStdDeviation);
  h0_ = left_ = right_ = estimate_ = limit_ = sd1_ = sd2_ = residual_ = covariate_ = n_ = -1;
  if (HandedOn()) {
    test_.BuildParameterList(s);
    return;
  }
  ListWriter list(s);
  coefficientMode_ = kind_ == 0 && tails_ != 3 ? ValidForm(s.IntParMode[group::RegressionCoeff]) : 0;
  sd2Mode_ = ValidForm(s.IntParMode[group::StdDeviation2]);
  intervalKind_ = ValidForm(s.IntParMode[group::ConfInterval]);
  if (kind_ == 2) {
    list.Interval();
    estimate_ = list.Put(Ids::Coefficient);
    limit_ = list.Put(LimitId(intervalKind_));
  } else if (tails_ != 3) {
    static constexpr std::int16_t estimate[3] = {Ids::Coefficient, Ids::CoefficientMinusH0,
                                                 Ids::CoefficientOverH0};
    h0_ = list.Put(Ids::H0Coefficient);
    estimate_ = list.Put(estimate[coefficientMode_]);
  } else {
    left_ = list.Put(Ids::LeftDiffLimit);
    right_ = list.Put(Ids::RightDiffLimit);
    estimate_ = list.Put(Ids::Coefficient);
  }
  if (kind_ == 2 && residualGiven_) {
    residual_ = list.Put(Ids::ResidualSd);
    covariate_ = list.Put(Ids::CovariateSd);
  } else {
    static constexpr std::int16_t sd2[3] = {Ids::Sd2, Ids::Sd2MinusSd1, Ids::Sd2OverSd1};
    sd1_ = list.Put(Ids::Sd1);
    sd2_ = list.Put(sd2[sd2Mode_]);
  }
  n_ = list.Put(Ids::SampleSize);
  list.Close();
}

Single BivariateNormalRegression::Expected(const Session& s) const {
  if (h0_ < 0) return At(s, estimate_);
  return Resolve(s, estimate_, At(s, h0_), coefficientMode_);
}

double BivariateNormalRegression::SdRatio(const Session& s) const {
  const Single sd1 = At(s, sd1_);
  return static_cast<double>(Resolve(s, sd2_, sd1, sd2Mode_)) / sd1;
}

double BivariateNormalRegression::LargestCoefficient(const Session& s) const {
  const int u = s.UnknownPosition;
  double largest = 0;
  auto take = [&](double b) { largest = MaxOf(largest, std::fabs(b)); };
  if (h0_ >= 0 && u != h0_) take(s.value(h0_));
  if (left_ >= 0 && u != left_) take(s.value(left_));
  if (right_ >= 0 && u != right_) take(s.value(right_));
  const bool expectedKnown = u != estimate_ && !(coefficientMode_ != 0 && u == h0_);
  if (expectedKnown) take(static_cast<double>(Expected(s)));
  return largest;
}

void BivariateNormalRegression::KeepCorrelationInside(const Session& s, double& lower, double& upper) const {
  // |b| SD1 <= 0.99999 SD2 for every listed coefficient b, with SD2 the
  // value the entry at sd2_ stands for.
  const int u = s.UnknownPosition;
  if (u != sd1_ && u != sd2_) return;
  const double b = LargestCoefficient(s);
  if (!(b > 0)) return;
  if (u == sd1_) {
    const double v = s.value(sd2_);
    switch (sd2Mode_) {
      case 0:
        upper = MinOf(upper, kInside * v / b);
        break;
      case 1:  // SD1 (b - 0.99999) <= 0.99999 d
        if (b < kInside)
          lower = MaxOf(lower, kInside * v / (b - kInside));
        else if (b > kInside)
          upper = MinOf(upper, kInside * v / (b - kInside));
        else if (v < 0)
          lower = upper;
        break;
      default:  // the ratio alone decides
        if (b > kInside * v) lower = upper;
        break;
    }
  } else {
    const double sd1 = s.value(sd1_);
    switch (sd2Mode_) {
      case 0:
        lower = MaxOf(lower, b * sd1 / kInside);
        break;
      case 1:
        lower = MaxOf(lower, b * sd1 / kInside - sd1);
        break;
      default:
        lower = MaxOf(lower, b / kInside);
        break;
    }
  }
}

bool BivariateNormalRegression::CheckParameters(Session& s) {
  if (HandedOn()) return test_.CheckParameters(s);
  if (sd1_ < 0) return true;  // an interval from the residual standard deviation
  const CatalogueEntry& sd2 = s.entry(Ids::Sd2);
  if (!CheckRelativeValue(s, sd1_, sd2_, sd2.ParamLowerLimit, sd2.ParamUpperLimit, sd2Mode_)) return false;
  if (kind_ == 0 && tails_ == 3 && !CheckOrderedPair(s, right_)) return false;
  // Each coefficient b must leave the implied correlation b SD1 / SD2 inside
  // (-1, 1); an unknown standard deviation is kept so by the search.
  const int u = s.UnknownPosition;
  if (u == sd1_ || u == sd2_) return true;
  const Single sd1 = At(s, sd1_);
  const double bound = kInside * static_cast<double>(Resolve(s, sd2_, sd1, sd2Mode_));
  auto check = [&](double b) { return b == 0 || CheckValueRange(s, sd1_, kSmallest, bound / std::fabs(b)); };
  if (h0_ >= 0 && u != h0_ && !check(s.value(h0_))) return false;
  if (left_ >= 0 && u != left_ && !check(s.value(left_))) return false;
  if (right_ >= 0 && u != right_ && !check(s.value(right_))) return false;
  const bool expectedKnown = u != estimate_ && !(coefficientMode_ != 0 && u == h0_);
  if (expectedKnown && !check(static_cast<double>(Expected(s)))) return false;
  return true;
}

void BivariateNormalRegression::SetSearchInterval(Session& s, double& lower, double& upper) {
  if (HandedOn()) {
    test_.SetSearchInterval(s, lower, upper);
    return;
  }
  const int u = s.UnknownPosition;
  if (sd1_ < 0) {
    if (u == estimate_ && intervalKind_ == 2) lower = upper;  // the width does not depend on b*
    return;
  }
  // A coefficient is searched where the correlation it implies stays inside
  // (-1, 1), as the check requires of entered ones.
  const bool coefficient = u == h0_ || u == estimate_ || u == left_ || u == right_;
  const double inside = coefficient ? kInside * SdRatio(s) : 0;
  // The entry is the coefficient itself (not its difference or ratio to H0).
  const bool itself = coefficient && !(u == estimate_ && coefficientMode_ != 0);
  if (kind_ == 0 && tails_ != 3) {
    if (u == h0_ && coefficientMode_ == 1) {
      lower = upper;  // b* moves with H0: the P-value does not depend on it
    } else if (coefficient) {
      RelativeSearchIntervalTailed(s, lower, upper, h0_, -inside, inside, coefficientMode_);
    }
  } else if (kind_ == 0) {
    if (u == estimate_) NarrowByTailReversed(s, lower, upper, (s.value(left_) + s.value(right_)) / 2);
    if (u == left_) upper = MinOf(upper, s.value(estimate_));
    if (u == right_) lower = MaxOf(lower, s.value(estimate_));
  } else if (u == estimate_) {
    if (intervalKind_ == 2) {
      lower = MaxOf(lower, 0.0);  // the width is the same for b* and -b*
    } else {
      // A limit b* -+ q sqrt((lambda^2 - b*^2) / (n - 2)) moves with b* only
      // on one side of the coefficient where its slope is 0,
      // lambda k / sqrt(1 + k^2) with k = sqrt(n - 2) / q; the search stays on
      // the side through b* = 0.
      const Single df = At(s, n_) - 2;
      const double q = StudentQuantile(UpperProbability(At(s, 0)), df);
      const double k = std::sqrt(static_cast<double>(df)) / q;
      const double turn = SdRatio(s) * k / std::sqrt(1 + k * k);
      if (intervalKind_ == 0)
        lower = MaxOf(lower, -turn);
      else
        upper = MinOf(upper, turn);
    }
  }
  if (itself) {
    lower = MaxOf(lower, -inside);
    upper = MinOf(upper, inside);
  }
  NarrowSdPair(s, lower, upper, sd1_, sd2_, sd2Mode_);
  KeepCorrelationInside(s, lower, upper);
}

Single BivariateNormalRegression::SlopeError(const Session& s) const {
  const Single n = At(s, n_);
  const Single b = Expected(s);
  if (sd1_ < 0) return At(s, residual_) / (std::sqrt(n - 1) * At(s, covariate_));
  const Single sd1 = At(s, sd1_);
  const Single sd2 = Resolve(s, sd2_, sd1, sd2Mode_);
  if (kind_ == 0 && tails_ == 3) {
    // The standard error of the estimated slope: the correlation is that of
    // the assumed result, r = b* SD1 / SD2.
    const Single r = b * sd1 / sd2;
    return sd2 * std::sqrt(1 - r * r) / (sd1 * std::sqrt(n - 1));
  }
  const Single lambda = sd2 / sd1;
  const Single variance = (lambda * lambda - b * b) / (n - 2);
  return std::sqrt(kind_ == 2 ? MaxOf(variance, 0.0f) : variance);
}

double BivariateNormalRegression::EvaluateCriterion(const Session& s) {
  if (HandedOn()) return test_.EvaluateCriterion(s);
  const Single n = At(s, n_);
  const Single b = Expected(s);
  const Single se = SlopeError(s);
  if (kind_ == 2) {
    const Single q = StudentQuantile(UpperProbability(At(s, 0)), n - 2);
    const Single chosen = ChosenOfInterval(intervalKind_, b - q * se, b + q * se, 2 * q * se);
    return static_cast<double>(chosen) - s.value(limit_);
  }
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  Single p;
  if (tails_ != 3)
    p = PValueT(sides, b, At(s, h0_), se, 0, 0, n - 2);
  else
    p = PValueZ(sides, b, 0, se, At(s, left_), At(s, right_), 0);
  return static_cast<double>(p) - s.value(0);
}

std::optional<double> BivariateNormalRegression::EvaluatePower(const Session& s) {
  if (HandedOn()) return test_.EvaluatePower(s);
  if (kind_ != 0) return std::nullopt;
  const Single n = At(s, n_);
  const Single b = Expected(s);
  const Single se = SlopeError(s);
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  if (tails_ != 3) return PowerOfTTest(sides, s.value(0), b, At(s, h0_), se, 0, 0, n - 2);
  return PowerOfZTest(sides, s.value(0), b, 0, se, At(s, left_), At(s, right_), 0);
}

// ---- The distribution -------------------------------------------------------

BivariateNormalDistribution::BivariateNormalDistribution(CorrelationCoefficient& correl, RegressionCoefficient& regr) : correl_(correl), regress_(regr) {}

ProcedureModule* BivariateNormalDistribution::ProcedureOf(int choice) {
  switch (choice) {
    case 0:
      return &mean_;
    case 1:
      return &sd_;
    case 2:
      return &correl_;
    case 3:
      return &regress_;
    default:
      return nullptr;
  }
}

void BivariateNormalDistribution::InitProcedure(Session& s) {
  DisableTwoSamples(s);
  // No point estimate is defined, and the ratio of the standard deviations
  // has no interval; a kind that cannot be chosen gives way to "Test", whose
  // tails are all open.
  s.dialog.procedureEnabled[1] = false;
  if (s.ParameterChoice == 1) s.dialog.procedureEnabled[2] = false;
  const int kind = s.ProcedureKind;
  if (kind < 0 || kind > 2 || !s.dialog.procedureEnabled[static_cast<std::size_t>(kind)]) {
    s.ProcedureKind = 0;
    s.dialog.tailsEnabled = {true, true, true};
  }
  if (ProcedureModule* m = ProcedureOf(s.ParameterChoice)) m->InitProcedure(s);
}

void BivariateNormalDistribution::BuildParameterList(Session& s) {
  static constexpr const char* kNames[4] = {"Mean 2 - Mean 1", "Std.Dev.2 / Std.Dev.1",
                                            "Correlation Coefficient", "Regression Coefficient"};
  const int choice = s.ParameterChoice, kind = s.ProcedureKind;
  const bool defined = s.SampleCount == 1 && (kind == 0 || (kind == 2 && choice != 1));
  listed_ = defined ? ProcedureOf(choice) : nullptr;
  if (listed_ != nullptr) {
    listed_->BuildParameterList(s);
  } else {
    // Nothing to list: P-value and Power (or their interval counterparts) only.
    for (int k = 0; k < kPositionCount; ++k)
      s.ParameterList[static_cast<std::size_t>(k)] = static_cast<std::int16_t>(k);
    if (kind == 2) {
      s.ParameterList[0] = Ids::ConfidenceLevel;
      s.ParameterList[1] = Ids::ProbWidth;
    }
    s.LastPosition = 1;
  }
  s.ParameterChoiceName = choice >= 0 && choice < 4 ? kNames[choice] : "";
}

bool BivariateNormalDistribution::CheckParameters(Session& s) { return listed_ == nullptr || listed_->CheckParameters(s); }

void BivariateNormalDistribution::SetSearchInterval(Session& s, double& lower, double& upper) {
  if (listed_ == nullptr) {
    lower = upper;  // no criterion is defined
    return;
  }
  listed_->SetSearchInterval(s, lower, upper);
}

double BivariateNormalDistribution::EvaluateCriterion(const Session& s) {
  return listed_ == nullptr ? 0.0 : listed_->EvaluateCriterion(s);
}

std::optional<double> BivariateNormalDistribution::EvaluatePower(const Session& s) {
  return listed_ == nullptr ? std::nullopt : listed_->EvaluatePower(s);
}

}  // namespace pelmora
