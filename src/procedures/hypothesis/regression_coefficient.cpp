#include "procedures/hypothesis/regression_coefficient.h"

#include <cmath>

#include "numeric/power.h"
#include "numeric/power_equations.h"
#include "numeric/relative.h"
#include "numeric/root.h"
#include "procedures/hypothesis/groups.h"
#include "procedures/hypothesis/normal_z.h"
#include "session/checks.h"

namespace pelmora {

void RegressionCoefficient::InitProcedure(Session& s) {
  if (s.SampleCount == 2) {
    OfferRow(s, group::RegressionCoeff2);
    OfferRow(s, group::StdDeviation2);  // the covariate's standard deviation 2
    OfferRow(s, group::SampleSize2);
  } else if (s.TailCount != 3) {
    OfferRow(s, group::RegressionCoeff);  // two one-sided tests take the coefficient as a value only
  }
}

void RegressionCoefficient::BuildParameterList(Session& s) {
  twoSamples_ = s.SampleCount == 2;
  tails_ = s.TailCount;
  coefficientMode_ = RowMode(s, 0);
  if (coefficientMode_ < 0 || coefficientMode_ > 2 || (!twoSamples_ && tails_ == 3)) coefficientMode_ = 0;
  covariateSd2Mode_ = twoSamples_ ? RowMode(s, 1) : 0;
  if (covariateSd2Mode_ < 0 || covariateSd2Mode_ > 2) covariateSd2Mode_ = 0;
  size2Mode_ = s.IntParMode[group::SampleSize2];
  if (size2Mode_ < 0 || size2Mode_ > 2) size2Mode_ = 0;
  if (twoSamples_) s.ValueMode = size2Mode_;

  h0_ = left_ = right_ = estimate_ = b1_ = b2_ = sd_ = sx1_ = sx2_ = n1_ = n2_ = -1;
  int p = StartParameterList(s);
  auto put = [&](std::int16_t id) {
    s.ParameterList[static_cast<std::size_t>(p)] = id;
    return p++;
  };
  if (tails_ == 3) {
    left_ = put(Ids::LeftLimit);
    right_ = put(Ids::RightLimit);
  }
  if (!twoSamples_) {
    static constexpr std::int16_t estimate[3] = {Ids::Coefficient, Ids::CoefficientMinusH0,
                                                 Ids::CoefficientOverH0};
    if (tails_ != 3) h0_ = put(Ids::H0Coefficient);
    estimate_ = put(estimate[coefficientMode_]);
    sd_ = put(Ids::ResidualSd);
    sx1_ = put(Ids::CovariateSd);
    n1_ = put(Ids::SampleSize);
  } else {
    static constexpr std::int16_t sx2[3] = {Ids::CovariateSd2, Ids::CovariateSd2MinusSd1,
                                            Ids::CovariateSd2OverSd1};
    static constexpr std::int16_t n2[3] = {Ids::SampleSize2, Ids::SampleSize2MinusSize1,
                                           Ids::SampleSize2OverSize1};
    if (tails_ != 3) h0_ = put(Ids::H0Diff);
    if (coefficientMode_ == 1) {
      estimate_ = put(Ids::Diff);
    } else {
      b1_ = put(Ids::Coefficient1);
      b2_ = put(coefficientMode_ == 2 ? Ids::Coefficient2OverCoefficient1 : Ids::Coefficient2);
    }
    sd_ = put(Ids::ResidualSd);
    sx1_ = put(Ids::CovariateSd1);
    sx2_ = put(sx2[covariateSd2Mode_]);
    n1_ = put(Ids::SampleSize1);
    n2_ = put(n2[size2Mode_]);
  }
  s.LastPosition = static_cast<std::int16_t>(p - 1);
}

bool RegressionCoefficient::CheckParameters(Session& s) {
  if (!twoSamples_) {
    if (tails_ != 3) {
      const CatalogueEntry& b = s.entry(Ids::Coefficient);
      if (!CheckRelativeValue(s, h0_, estimate_, b.ParamLowerLimit(), b.ParamUpperLimit(), coefficientMode_))
        return false;
    }
  } else {
    if (coefficientMode_ != 1) {
      const CatalogueEntry& b2 = s.entry(Ids::Coefficient2);
      if (!CheckRelativeValue(s, b1_, b2_, b2.ParamLowerLimit(), b2.ParamUpperLimit(), coefficientMode_))
        return false;
    }
    const CatalogueEntry& sx2 = s.entry(Ids::CovariateSd2);
    if (!CheckRelativeValue(s, sx1_, sx2_, sx2.ParamLowerLimit(), sx2.ParamUpperLimit(), covariateSd2Mode_))
      return false;
    const CatalogueEntry& n2 = s.entry(Ids::SampleSize2);
    if (!CheckRelativeValue(s, n1_, n2_, n2.ParamLowerLimit(), n2.ParamUpperLimit(), size2Mode_)) return false;
  }
  if (tails_ == 3 && !CheckOrderedPair(s, right_)) return false;
  return true;
}

void RegressionCoefficient::SetSearchInterval(Session& s, double& lower, double& upper) {
  const int u = s.UnknownPosition;
  if (tails_ != 3) {
    NarrowLocationTest(s, lower, upper, twoSamples_, coefficientMode_, {h0_, estimate_, b1_, b2_});
  } else {
    // Two one-sided tests: the assumed difference on the side of the middle of
    // the limits where the P-value moves one way only; a limit on its own side
    // of the assumed difference.
    const double mid = (s.value(left_) + s.value(right_)) / 2;
    NarrowDifferenceToMidpoint(s, lower, upper, mid, estimate_, b1_, b2_, coefficientMode_);
    if (u == left_ || u == right_) {
      Single estimate = 0, null = 0;
      Estimate(s, estimate, null);
      NarrowLimitByEstimate(s, lower, upper, left_, right_, estimate);
    }
  }
  if (twoSamples_ && u == sx2_) {
    const CatalogueEntry& sx2 = s.entry(Ids::CovariateSd2);
    RelativeSearchInterval(s, lower, upper, sx1_, sx2.ParamLowerLimit(), sx2.ParamUpperLimit(),
                           covariateSd2Mode_);
  }
  if (twoSamples_) NarrowSampleSizes(s, lower, n1_, n2_, size2Mode_);
}

void RegressionCoefficient::Estimate(const Session& s, Single& estimate, Single& null) const {
  const auto& v = s.ParameterValues;
  null = h0_ >= 0 ? ToSingle(s.value(h0_)) : 0.0f;
  if (!twoSamples_) {
    estimate = ResolveRelativeValue(v, static_cast<std::int16_t>(estimate_), null, coefficientMode_);
  } else if (coefficientMode_ == 1) {
    estimate = ToSingle(s.value(estimate_));
  } else {
    const Single b1 = ToSingle(s.value(b1_));
    estimate = ResolveRelativeValue(v, static_cast<std::int16_t>(b2_), b1, coefficientMode_) - b1;
  }
}

void RegressionCoefficient::ErrorAndDegrees(const Session& s, Single& se, Single& df) const {
  const auto& v = s.ParameterValues;
  auto at = [&](int p) { return p >= 0 ? ToSingle(s.value(p)) : 0.0f; };
  const Single sigma = at(sd_), sx1 = at(sx1_);
  if (!twoSamples_) {
    const Single n = at(n1_);
    se = sigma / (std::sqrt(n - 1) * sx1);
    df = n - 2;
  } else {
    const Single n1 = MaxOf(at(n1_), 3.0f);
    const Single n2 = ResolveRelativeValue(v, static_cast<std::int16_t>(n2_), n1, size2Mode_);
    const Single sx2 = ResolveRelativeValue(v, static_cast<std::int16_t>(sx2_), sx1, covariateSd2Mode_);
    se = sigma * std::sqrt(1.0f / ((n1 - 1) * sx1 * sx1) + 1.0f / ((n2 - 1) * sx2 * sx2));
    df = n1 + n2 - 4;
  }
}

double RegressionCoefficient::EvaluateCriterion(const Session& s) {
  auto at = [&](int p) { return p >= 0 ? ToSingle(s.value(p)) : 0.0f; };
  Single estimate, null, se, df;
  Estimate(s, estimate, null);
  ErrorAndDegrees(s, se, df);
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return static_cast<double>(PValueT(sides, estimate, null, se, at(left_), at(right_), df)) - s.value(0);
}

std::optional<double> RegressionCoefficient::EvaluatePower(const Session& s) {
  auto at = [&](int p) { return p >= 0 ? ToSingle(s.value(p)) : 0.0f; };
  Single estimate, null, se, df;
  Estimate(s, estimate, null);
  ErrorAndDegrees(s, se, df);
  const Sides sides{s.TailCount, s.RejectInLeftTail};
  return PowerOfTTest(sides, s.value(0), estimate, null, se, at(left_), at(right_), df);
}

}  // namespace pelmora
