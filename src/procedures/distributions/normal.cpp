#include "procedures/distributions/normal.h"

#include <cmath>

#include "numeric/distributions.h"
#include "numeric/relative.h"
#include "numeric/root.h"
#include "procedures/hypothesis/groups.h"
#include "procedures/hypothesis/normal_z.h"
#include "procedures/hypothesis/standard_deviation.h"
#include "procedures/hypothesis/student_t.h"
#include "procedures/hypothesis/two_group_grid.h"
#include "session/calculation_rows.h"
#include "session/checks.h"

namespace pelmora {

namespace {

std::int16_t FormOf(const Session& s, std::int16_t group) {
  const std::int16_t m = s.IntParMode[static_cast<std::size_t>(group)];
  return m >= 0 && m <= 2 ? m : 0;
}

bool OwnKind(std::int16_t kind) {
  return kind == NormalFamilyDistribution::kPointEstimate || kind == NormalFamilyDistribution::kConfInterval;
}

// An unknown base of a relative quantity stays where the quantity it fixes
// (a difference or ratio at `relative`) stands for a value within [lo, hi].
void KeepRelativeWithinBounds(const Session& s, double& lower, double& upper, int relative, double lo,
                              double hi, std::int16_t mode) {
  const double r = s.value(relative);
  if (mode == 1) {
    if (lo > kNoLowerBound) lower = MaxOf(lower, lo - r);
    if (hi < kNoUpperBound) upper = MinOf(upper, hi - r);
  } else if (mode == 2 && r > 0) {
    if (lo > kNoLowerBound) lower = MaxOf(lower, lo / r);
    if (hi < kNoUpperBound) upper = MinOf(upper, hi / r);
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// The shared part.

void NormalFamilyDistribution::InitProcedure(Session& s) {
  if (OwnKind(s.ProcedureKind))
    OfferEstimateChoices(s);
  else
    TestModule(s).InitProcedure(s);
}

void NormalFamilyDistribution::OptionChanged(Session& s, std::int16_t optionId) {
  if (!OwnKind(s.ProcedureKind)) {
    TestModule(s).OptionChanged(s, optionId);
    return;
  }
  // Given degrees of freedom and the degrees of freedom of an ANOVA both fix
  // the degrees of freedom: ticking one clears the other.
  auto& state = s.OptionState;
  if (optionId == option::DegreesOfFreedom && state[option::DegreesOfFreedom] == 1)
    state[option::NoOfGroupsInAnova] = 0;
  if (optionId == option::NoOfGroupsInAnova && state[option::NoOfGroupsInAnova] == 1)
    state[option::DegreesOfFreedom] = 0;
}

void NormalFamilyDistribution::BuildParameterList(Session& s) {
  if (OwnKind(s.ProcedureKind)) {
    handedOn_ = nullptr;
    BuildEstimateList(s);
  } else {
    kind_ = kTest;
    handedOn_ = &TestModule(s);
    handedOn_->BuildParameterList(s);
  }
  s.ParameterChoiceName = ProcedureCaption(s);
}

bool NormalFamilyDistribution::CheckParameters(Session& s) {
  if (handedOn_ != nullptr) return handedOn_->CheckParameters(s);
  if (!twoSamples_ || notAvailable_) return true;
  const CatalogueEntry& n2 = s.entry(CommonIds::SampleSize2);
  if (!CheckRelativeValue(s, n1_, n2_, n2.ParamLowerLimit(), n2.ParamUpperLimit(), size2Mode_)) return false;
  if (separate_) {
    const CatalogueEntry& second = s.entry(spread2Id_);
    if (!CheckRelativeValue(s, spread_, spread2_, second.ParamLowerLimit(), second.ParamUpperLimit(),
                            spread2Mode_))
      return false;
  }
  return true;
}

void NormalFamilyDistribution::SetSearchInterval(Session& s, double& lower, double& upper) {
  if (handedOn_ != nullptr) {
    handedOn_->SetSearchInterval(s, lower, upper);
    return;
  }
  if (notAvailable_) {
    lower = upper;  // nothing is calculated
    return;
  }
  if (!twoSamples_) return;
  const int u = s.UnknownPosition;
  if (separate_) {
    const CatalogueEntry& second = s.entry(spread2Id_);
    if (u == spread2_)
      RelativeSearchInterval(s, lower, upper, spread_, second.ParamLowerLimit(), second.ParamUpperLimit(),
                             spread2Mode_);
    if (u == spread_)
      KeepRelativeWithinBounds(s, lower, upper, spread2_, second.ParamLowerLimit(), second.ParamUpperLimit(),
                               spread2Mode_);
  }
  NarrowSampleSizes(s, lower, n1_, n2_, size2Mode_);
}

double NormalFamilyDistribution::EvaluateCriterion(const Session& s) {
  if (handedOn_ != nullptr) return handedOn_->EvaluateCriterion(s);
  if (notAvailable_ || !OwnKind(kind_)) return 0;
  return EstimateCriterion(s);
}

std::optional<StandardisedEffect> NormalFamilyDistribution::Effect(const Session& s) const {
  if (handedOn_ != nullptr) return handedOn_->Effect(s);
  return std::nullopt;
}

std::optional<double> NormalFamilyDistribution::EvaluatePower(const Session& s) {
  if (handedOn_ != nullptr) return handedOn_->EvaluatePower(s);
  return std::nullopt;
}

bool NormalFamilyDistribution::OpenGroupGrid(Session& s, int row) {
  if (handedOn_ != nullptr) return handedOn_->OpenGroupGrid(s, row);
  // The pooled spread of a two-sample interval.
  if (kind_ != kConfInterval || !estimatedSpread_ || !twoSamples_ || separate_ || spread_ < 0) return false;
  if (row != RowOfPosition(spread_)) return false;
  return OpenTwoGroupGrid(s, spread_, GridSpreadHeading());
}

bool NormalFamilyDistribution::CheckGroupGrid(Session& s, int row, int column) {
  if (handedOn_ != nullptr) return handedOn_->CheckGroupGrid(s, row, column);
  return CheckTwoGroupCell(s, row, column);
}

Single NormalFamilyDistribution::ApplyGroupGrid(Session& s) {
  if (handedOn_ != nullptr) return handedOn_->ApplyGroupGrid(s);
  TwoGroupSpreads spreads;
  const Single pooled = ApplyTwoGroupGrid(s, n1_, n2_, size2Mode_, spreads);
  if (!s.CalcStopped) gridSpreads_ = {spreads.first, spreads.second};
  return pooled;
}

void NormalFamilyDistribution::OfferEstimatedSpread(Session& s, std::int16_t unequalOption,
                                                    std::int16_t spread2Group) {
  s.IntParRowCount = 0;
  OfferOption(s, option::DegreesOfFreedom);
  OfferOption(s, option::NoOfGroupsInAnova);
  if (s.SampleCount == 2) {
    OfferOption(s, unequalOption);
    if (s.optionChecked(unequalOption)) OfferRow(s, spread2Group);
    OfferRow(s, group::SampleSize2);
  }
  if (s.ProcedureKind == kConfInterval) OfferRow(s, group::ConfInterval);
}

void NormalFamilyDistribution::OfferKnownSpread(Session& s, std::int16_t spread2Group) {
  s.IntParRowCount = 0;
  if (s.SampleCount == 2) {
    if (spread2Group >= 0) OfferRow(s, spread2Group);
    OfferRow(s, group::SampleSize2);
  }
  if (s.ProcedureKind == kConfInterval) OfferRow(s, group::ConfInterval);
}

void NormalFamilyDistribution::StartList(Session& s) {
  for (int k = 0; k < kPositionCount; ++k)
    s.ParameterList[static_cast<std::size_t>(k)] = static_cast<std::int16_t>(k);
  kind_ = s.ProcedureKind;
  choice_ = s.ParameterChoice;
  twoSamples_ = s.SampleCount == 2;
  tails_ = s.TailCount;
  size2Mode_ = FormOf(s, group::SampleSize2);
  if (twoSamples_) s.ValueMode = size2Mode_;
  intervalKind_ = FormOf(s, group::ConfInterval);
  estimatedSpread_ = separate_ = dfGiven_ = groups_ = notAvailable_ = false;
  spread2Mode_ = 0;
  spread2Id_ = 0;
  error_ = estimate_ = limit_ = spread_ = spread2_ = n1_ = n2_ = df_ = k_ = -1;
  if (kind_ == kPointEstimate) {
    s.ParameterList[0] = CommonIds::ErrorLevel;
  } else {
    s.ParameterList[0] = CommonIds::ConfidenceLevel;
    s.ParameterList[1] = CommonIds::ProbWidth;
  }
  next_ = 2;
}

int NormalFamilyDistribution::Put(Session& s, std::int16_t id) {
  s.ParameterList[static_cast<std::size_t>(next_)] = id;
  return next_++;
}

void NormalFamilyDistribution::PutError(Session& s, bool relative) {
  const bool upper = tails_ == 1;
  if (relative)
    error_ = Put(s, upper ? CommonIds::UpperRelativeError : CommonIds::RelativeError);
  else
    error_ = Put(s, upper ? CommonIds::UpperAbsoluteError : CommonIds::AbsoluteError);
}

void NormalFamilyDistribution::PutInterval(Session& s, std::int16_t estimateId) {
  static constexpr std::int16_t limits[3] = {CommonIds::LowerLimit, CommonIds::UpperLimit, CommonIds::Width};
  estimate_ = Put(s, estimateId);
  limit_ = Put(s, limits[intervalKind_]);
}

void NormalFamilyDistribution::PutSpreads(Session& s, const SpreadIds& ids) {
  if (separate_) {
    spread_ = Put(s, ids.first);
    spread2_ = Put(s, ids.second[static_cast<std::size_t>(spread2Mode_)]);
    spread2Id_ = ids.second[0];
  } else {
    spread_ = Put(s, ids.single);
  }
}

void NormalFamilyDistribution::PutSizes(Session& s) {
  static constexpr std::int16_t n2[3] = {CommonIds::SampleSize2, CommonIds::SampleSize2MinusSize1,
                                         CommonIds::SampleSize2OverSize1};
  if (!twoSamples_) {
    n1_ = Put(s, CommonIds::SampleSize);
  } else {
    n1_ = Put(s, CommonIds::SampleSize1);
    n2_ = Put(s, n2[size2Mode_]);
  }
}

void NormalFamilyDistribution::PutDegreesOfFreedom(Session& s) {
  if (dfGiven_) df_ = Put(s, CommonIds::DegreesOfFreedom);
  if (groups_) k_ = Put(s, CommonIds::NoOfGroups);
}

void NormalFamilyDistribution::EndList(Session& s) { s.LastPosition = static_cast<std::int16_t>(next_ - 1); }

void NormalFamilyDistribution::ReadSpreadOptions(const Session& s) {
  dfGiven_ = OfferedOptionChecked(s, 0);
  groups_ = OfferedOptionChecked(s, 1) && !dfGiven_;  // the two exclude each other; given df win
  separate_ = twoSamples_ && OfferedOptionChecked(s, 2);
}

Single NormalFamilyDistribution::At(const Session& s, int p) const {
  return p >= 0 ? ToSingle(s.value(p)) : 0.0f;
}

void NormalFamilyDistribution::StandardError(const Session& s, Single& se, Single& df) const {
  const auto& v = s.ParameterValues;
  const Single spread = At(s, spread_);
  df = 0;
  if (!twoSamples_) {
    const Single n = At(s, n1_);
    se = spread / std::sqrt(n);
    if (!estimatedSpread_) return;
    df = n - 1;
    if (groups_) df = (n - 1) * At(s, k_);
  } else {
    const Single n1 = At(s, n1_);
    const Single n2 = ResolveRelativeValue(v, static_cast<std::int16_t>(n2_), n1, size2Mode_);
    if (separate_) {
      const Single spread2 =
          ResolveRelativeValue(v, static_cast<std::int16_t>(spread2_), spread, spread2Mode_);
      const Single a = spread2 * spread2 / n2, b = spread * spread / n1;
      se = std::sqrt(a + b);
      if (!estimatedSpread_) return;
      // Satterthwaite's degrees of freedom, at least 1.
      df = (a + b) * (a + b) / (a * a / (n2 - 1) + b * b / (n1 - 1));
      df = MaxOf(df, 1.0f);
    } else {
      se = spread * std::sqrt(1.0f / n1 + 1.0f / n2);
      df = n1 + n2 - 2;
    }
    // One group of size n1 and k - 1 groups of size n2, pooled as in the t-test.
    if (groups_) df = (n1 - 1) + (At(s, k_) - 1) * (n2 - 1);
  }
  if (dfGiven_) df = At(s, df_);
}

Single NormalFamilyDistribution::Quantile(Single upper, Single df) const {
  return estimatedSpread_ ? StudentQuantile(1 - upper, df) : UpperNormalQuantile(upper);
}

Single NormalFamilyDistribution::ErrorProbability(const Session& s) const {
  const Single alpha = At(s, 0);
  return tails_ == 1 ? alpha : alpha / 2;
}

Single NormalFamilyDistribution::IntervalProbability(const Session& s) const {
  const Single level = At(s, 0);
  return (1 - level) / 2;
}

Single NormalFamilyDistribution::ChosenQuantity(Single lower, Single upper, Single width) const {
  switch (intervalKind_) {
    case 0:
      return lower;
    case 1:
      return upper;
    default:
      return width;
  }
}

// ---------------------------------------------------------------------------
// The normal distribution.

std::string NormalDistribution::Caption(int choice, int samples, int kind) {
  static const char* const test[4][2] = {{"Mean (Std.Dev. known)", "Mean2 - Mean1 (Std.Dev. known)"},
                                         {"Mean (Std.Dev. unknown)", "Mean2 - Mean1 (Std.Dev. unknown)"},
                                         {"Std.Dev. (mean known)", "Std.Dev.2 / Std.Dev.1 (mean known)"},
                                         {"Std.Dev. (mean unknown)", "Std.Dev.2 / Std.Dev.1 (mean unknown)"}};
  // Estimates and intervals of a spread are those of the variance.
  static const char* const variance[2][2] = {
      {"Std.Dev.^2 (mean known)", "(Std.Dev.2 / Std.Dev.1)^2  (mean known)"},
      {"Std.Dev.^2 (mean unknown)", "(Std.Dev.2 / Std.Dev.1)^2  (mean unknown)"}};
  const int c = choice >= 0 && choice <= 3 ? choice : 0;
  const int two = samples == 2 ? 1 : 0;
  if (c >= kSdMeanKnown && OwnKind(static_cast<std::int16_t>(kind))) return variance[c - kSdMeanKnown][two];
  return test[c][two];
}

std::string NormalDistribution::ProcedureCaption(const Session& s) const {
  return Caption(s.ParameterChoice, s.SampleCount, s.ProcedureKind);
}

ProcedureModule& NormalDistribution::TestModule(const Session& s) {
  switch (s.ParameterChoice) {
    case kMeanSdUnknown:
      return stud_;
    case kSdMeanKnown:
    case kSdMeanUnknown:
      return s2_;
    default:
      return nor_;
  }
}

void NormalDistribution::OfferEstimateChoices(Session& s) {
  switch (s.ParameterChoice) {
    case kMeanSdUnknown:
      OfferEstimatedSpread(s, option::UnequalStdDeviations, group::StdDeviation2Star);
      break;
    case kSdMeanKnown:
    case kSdMeanUnknown:
      OfferKnownSpread(s, -1);
      break;
    default:
      OfferKnownSpread(s, group::StdDeviation2);
      break;
  }
}

void NormalDistribution::BuildEstimateList(Session& s) {
  StartList(s);
  if (choice_ < 0 || choice_ > 3) choice_ = kMeanSdKnown;
  const bool pointEstimate = kind_ == kPointEstimate;
  if (choice_ == kMeanSdKnown || choice_ == kMeanSdUnknown) {
    static constexpr SpreadIds known{Ids::Sd, Ids::Sd1, {Ids::Sd2, Ids::Sd2MinusSd1, Ids::Sd2OverSd1}};
    static constexpr std::array<std::int16_t, 3> estimated2{Ids::Sd2Star, Ids::Sd2StarMinusSd1Star,
                                                            Ids::Sd2StarOverSd1Star};
    // A point estimate lists the assumed common standard deviation without
    // its star.
    static constexpr SpreadIds estimatedForError{Ids::Sd, Ids::Sd1Star, estimated2};
    static constexpr SpreadIds estimatedForInterval{Ids::SdStar, Ids::Sd1Star, estimated2};
    if (choice_ == kMeanSdKnown) {
      separate_ = twoSamples_;
      if (separate_) spread2Mode_ = FormOf(s, group::StdDeviation2);
    } else {
      estimatedSpread_ = true;
      ReadSpreadOptions(s);
      if (separate_) spread2Mode_ = FormOf(s, group::StdDeviation2Star);
    }
    if (pointEstimate)
      PutError(s, false);
    else
      PutInterval(s, twoSamples_ ? Ids::Diff : Ids::Mean);
    PutSpreads(s, choice_ == kMeanSdKnown ? known : pointEstimate ? estimatedForError : estimatedForInterval);
    PutSizes(s);
    PutDegreesOfFreedom(s);
  } else {
    if (pointEstimate)
      PutError(s, true);
    else
      PutInterval(s, twoSamples_ ? Ids::SdRatio : Ids::SdStar);
    PutSizes(s);
  }
  EndList(s);
}

double NormalDistribution::EstimateCriterion(const Session& s) const {
  if (choice_ == kSdMeanKnown || choice_ == kSdMeanUnknown) return StdDevCriterion(s);
  Single se = 0, df = 0;
  StandardError(s, se, df);
  if (kind_ == kPointEstimate) {
    const Single q = Quantile(ErrorProbability(s), df);
    return static_cast<double>(q * se - At(s, error_));
  }
  const Single q = Quantile(IntervalProbability(s), df);
  const Single m = At(s, estimate_);
  const Single value = ChosenQuantity(m - q * se, m + q * se, 2 * q * se);
  return static_cast<double>(value - At(s, limit_));
}

double NormalDistribution::StdDevCriterion(const Session& s) const {
  // Degrees of freedom of each sample: n with the mean known, n - 1 otherwise.
  const Single lost = choice_ == kSdMeanKnown ? 0.0f : 1.0f;
  const Single n1 = At(s, n1_);
  const Single nu1 = n1 - lost;
  Single nu2 = 0;
  if (twoSamples_) {
    const Single n2 = ResolveRelativeValue(s.ParameterValues, static_cast<std::int16_t>(n2_), n1, size2Mode_);
    nu2 = n2 - lost;
  }
  if (kind_ == kPointEstimate) {
    // The relative error applies to the variance estimate.
    const Single r = At(s, error_);
    Single above = 0, below = 0;
    if (!twoSamples_) {
      above = ChiSquareCdf((1 + r) * nu1, nu1);
      below = ChiSquareCdf((1 - r) * nu1, nu1);
    } else {
      above = FCdf(1 + r, nu2, nu1);
      below = FCdf(1 - r, nu2, nu1);
    }
    const Single reached = tails_ == 1 ? above : above - below;
    return static_cast<double>(reached - (1 - At(s, 0)));
  }
  const Single lowerP = IntervalProbability(s);
  const Single upperP = 1 - lowerP;
  const Single estimate = At(s, estimate_);
  Single lower = 0, upper = 0;
  if (!twoSamples_) {
    const Single chiLow = ChiSquareQuantile(lowerP, nu1);
    const Single chiHigh = ChiSquareQuantile(upperP, nu1);
    lower = estimate * std::sqrt(nu1 / chiHigh);
    upper = estimate * std::sqrt(nu1 / chiLow);
  } else {
    const Single fLow = FQuantile(lowerP, nu2, nu1);
    const Single fHigh = FQuantile(upperP, nu2, nu1);
    lower = estimate / std::sqrt(fHigh);
    upper = estimate / std::sqrt(fLow);
  }
  return static_cast<double>(ChosenQuantity(lower, upper, upper - lower) - At(s, limit_));
}

}  // namespace pelmora
