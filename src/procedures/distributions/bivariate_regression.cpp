#include "procedures/distributions/bivariate_regression.h"

#include <cmath>

#include "numeric/distributions.h"
#include "numeric/power.h"
#include "numeric/power_equations.h"
#include "numeric/root.h"
#include "procedures/hypothesis/groups.h"
#include "procedures/hypothesis/regression_coefficient.h"
#include "session/checks.h"

namespace pelmora {

using namespace bivariate;

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
  if (!CheckRelativeValue(s, sd1_, sd2_, sd2.ParamLowerLimit(), sd2.ParamUpperLimit(), sd2Mode_)) return false;
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

}  // namespace pelmora
