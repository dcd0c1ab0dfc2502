#include "procedures/distributions/exponential.h"

#include <cmath>

#include "numeric/distributions.h"
#include "numeric/relative.h"
#include "procedures/hypothesis/groups.h"
#include "procedures/hypothesis/exponential_survival.h"
#include "procedures/hypothesis/normal_z.h"
#include "session/checks.h"
#include "session/options_model.h"

namespace pelmora {

namespace {

constexpr std::int16_t kTest = 0, kPointEstimate = 1, kInterval = 2;

std::int16_t FormIndex(std::int16_t mode) { return mode >= 0 && mode <= 2 ? mode : 0; }

}  // namespace

const char* ExponentialDistribution::ChoiceCaption(std::int16_t choice, bool twoSamples) {
  switch (choice) {
    case kLocation:
      return "Location (Scale known)";
    case kScaleLocationKnown:
      return twoSamples ? "Scale2 / Scale1 (Location known)" : "Scale (Location known)";
    case kScaleLocationUnknown:
      // The two-sample caption is the one of the known location.
      return twoSamples ? "Scale2 / Scale1 (Location known)" : "Scale (Location unknown)";
    default:
      return "";
  }
}

ProcedureModule* ExponentialDistribution::Test(const Session& s) const {
  if (s.ProcedureKind != kTest) return nullptr;
  if (s.ParameterChoice == kLocation) return &location_;
  return &scale_;
}

Single ExponentialDistribution::DegreesOfFreedom(Single n) const {
  return choice_ == kScaleLocationUnknown ? 2 * (n - 1) : 2 * n;
}

Single ExponentialDistribution::SecondSize(const Session& s, Single n1) const {
  return ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(n2_), n1, size2Mode_);
}

void ExponentialDistribution::InitProcedure(Session& s) {
  // The location has no two-sample form.
  if (s.ParameterChoice == kLocation) DisableTwoSamples(s);
  if (ProcedureModule* test = Test(s)) {
    test->InitProcedure(s);
    return;
  }
  s.IntParRowCount = 0;
  if (s.SampleCount == 2) OfferRow(s, group::SampleSize2);
  if (s.ProcedureKind == kInterval) OfferRow(s, group::ConfInterval);
}

void ExponentialDistribution::OptionChanged(Session& s, std::int16_t optionId) {
  if (ProcedureModule* test = Test(s)) test->OptionChanged(s, optionId);
}

void ExponentialDistribution::BuildParameterList(Session& s) {
  kind_ = s.ProcedureKind;
  choice_ = s.ParameterChoice;
  twoSamples_ = s.SampleCount == 2 && choice_ != kLocation;
  tails_ = s.TailCount;
  s.ParameterChoiceName = ChoiceCaption(choice_, twoSamples_);
  if (ProcedureModule* test = Test(s)) {
    test->BuildParameterList(s);
    return;
  }
  for (int k = 0; k < kPositionCount; ++k)
    s.ParameterList[static_cast<std::size_t>(k)] = static_cast<std::int16_t>(k);
  intervalKind_ = FormIndex(s.IntParMode[group::ConfInterval]);
  size2Mode_ = FormIndex(s.IntParMode[group::SampleSize2]);
  if (twoSamples_) s.ValueMode = size2Mode_;

  error_ = estimate_ = limit_ = sigma_ = n1_ = n2_ = -1;
  int p = 0;
  auto put = [&](std::int16_t id) {
    s.ParameterList[static_cast<std::size_t>(p)] = id;
    return p++;
  };
  static constexpr std::int16_t size2[3] = {Ids::SampleSize2, Ids::SampleSize2MinusSize1,
                                            Ids::SampleSize2OverSize1};
  if (kind_ == kPointEstimate) {
    // Position 1 has no row in the Calculation window: it keeps its own id,
    // and the error asked for stands at position 2, where it can be typed.
    put(Ids::ErrorLevel);
    ++p;
    if (choice_ == kLocation) {
      error_ = put(tails_ == 1 ? Ids::UpperAbsoluteError : Ids::AbsoluteError);
      sigma_ = put(Ids::Scale);
    } else {
      error_ = put(tails_ == 1 ? Ids::UpperRelativeError : Ids::RelativeError);
    }
  } else if (kind_ == kInterval) {
    static constexpr std::int16_t limits[3] = {Ids::LowerLimit, Ids::UpperLimit, Ids::Width};
    put(Ids::ConfidenceLevel);
    put(Ids::ProbWidth);
    if (choice_ == kLocation)
      estimate_ = put(Ids::Location);
    else
      estimate_ = put(twoSamples_ ? Ids::Ratio : Ids::ScaleEstimate);
    limit_ = put(limits[intervalKind_]);
    if (choice_ == kLocation) sigma_ = put(Ids::Scale);
  } else {
    // No other kind is defined: P-value and power only, nothing to solve.
    s.LastPosition = 1;
    return;
  }
  if (twoSamples_) {
    n1_ = put(Ids::SampleSize1);
    n2_ = put(size2[size2Mode_]);
  } else {
    n1_ = put(Ids::SampleSize);
  }
  s.LastPosition = static_cast<std::int16_t>(p - 1);
}

bool ExponentialDistribution::CheckParameters(Session& s) {
  if (ProcedureModule* test = Test(s)) return test->CheckParameters(s);
  if (twoSamples_ && (kind_ == kPointEstimate || kind_ == kInterval)) {
    const CatalogueEntry& n2 = s.entry(Ids::SampleSize2);
    if (!CheckRelativeValue(s, n1_, n2_, n2.ParamLowerLimit(), n2.ParamUpperLimit(), size2Mode_)) return false;
  }
  return true;
}

void ExponentialDistribution::SetSearchInterval(Session& s, double& lower, double& upper) {
  if (ProcedureModule* test = Test(s)) {
    test->SetSearchInterval(s, lower, upper);
    return;
  }
  if (kind_ != kPointEstimate && kind_ != kInterval) {
    lower = upper;  // nothing is defined to be solved
    return;
  }
  if (twoSamples_) NarrowSampleSizes(s, lower, n1_, n2_, size2Mode_);
}

double ExponentialDistribution::EvaluateCriterion(const Session& s) {
  if (ProcedureModule* test = Test(s)) return test->EvaluateCriterion(s);
  if (kind_ == kPointEstimate) return static_cast<double>(PointEstimateCriterion(s));
  if (kind_ == kInterval) return static_cast<double>(IntervalCriterion(s));
  return 0;
}

std::optional<double> ExponentialDistribution::EvaluatePower(const Session& s) {
  if (ProcedureModule* test = Test(s)) return test->EvaluatePower(s);
  return std::nullopt;
}

Single ExponentialDistribution::PointEstimateCriterion(const Session& s) const {
  auto at = [&](int p) { return ToSingle(s.value(p)); };
  const Single alpha = at(0);
  const Single error = at(error_);
  const Single n1 = at(n1_);
  if (choice_ == kLocation) {
    // P(minimum - location > E) = e^(-n E / scale) equals alpha.
    return at(sigma_) * std::log(alpha) + n1 * error;
  }
  const Single df1 = DegreesOfFreedom(n1);
  Single upperP = 0, lowerP = 0;
  if (!twoSamples_) {
    upperP = ChiSquareCdf((1 + error) * df1, df1);
    lowerP = ChiSquareCdf((1 - error) * df1, df1);
  } else {
    const Single df2 = DegreesOfFreedom(SecondSize(s, n1));
    upperP = FCdf(1 + error, df2, df1);
    lowerP = FCdf(1 - error, df2, df1);
  }
  if (tails_ == 1) return upperP - (1 - alpha);
  return (upperP - lowerP) - (1 - alpha);
}

Single ExponentialDistribution::IntervalCriterion(const Session& s) const {
  auto at = [&](int p) { return ToSingle(s.value(p)); };
  const Single level = at(0);
  const Single estimate = at(estimate_);
  const Single limit = at(limit_);
  const Single n1 = at(n1_);
  Single lowerLimit = 0, upperLimit = 0;
  if (choice_ == kLocation) {
    // The minimum exceeds the location by less than d with probability CL.
    const Single d = at(sigma_) * std::log(1 / (1 - level)) / n1;
    lowerLimit = estimate - d;
    upperLimit = estimate;
  } else {
    const Single df1 = DegreesOfFreedom(n1);
    if (!twoSamples_) {
      const Single chiLow = ChiSquareQuantile((1 - level) / 2, df1);
      const Single chiHigh = ChiSquareQuantile(1 - (1 - level) / 2, df1);
      lowerLimit = df1 * estimate / chiHigh;
      upperLimit = df1 * estimate / chiLow;
    } else {
      const Single df2 = DegreesOfFreedom(SecondSize(s, n1));
      const Single fLow = FQuantile((1 - level) / 2, df2, df1);
      const Single fHigh = FQuantile(1 - (1 - level) / 2, df2, df1);
      lowerLimit = estimate / fHigh;
      upperLimit = estimate / fLow;
    }
  }
  switch (intervalKind_) {
    case 0:
      return lowerLimit - limit;
    case 1:
      return upperLimit - limit;
    case 2:
      return (upperLimit - lowerLimit) - limit;
    default:
      return 0;
  }
}

bool ExponentialDistribution::OpenGroupGrid(Session& s, int row) {
  ProcedureModule* test = Test(s);
  return test != nullptr && test->OpenGroupGrid(s, row);
}

bool ExponentialDistribution::CheckGroupGrid(Session& s, int row, int column) {
  ProcedureModule* test = Test(s);
  return test == nullptr || test->CheckGroupGrid(s, row, column);
}

Single ExponentialDistribution::ApplyGroupGrid(Session& s) {
  ProcedureModule* test = Test(s);
  return test != nullptr ? test->ApplyGroupGrid(s) : 0.0f;
}

}  // namespace pelmora
