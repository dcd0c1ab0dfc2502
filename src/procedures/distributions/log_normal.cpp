#include "procedures/distributions/log_normal.h"

#include <cmath>

#include "numeric/distributions.h"
#include "procedures/hypothesis/groups.h"
#include "procedures/hypothesis/log_normal_median.h"
#include "procedures/hypothesis/log_normal_t.h"

namespace pelmora {

std::string LogNormalDistribution::Caption(int choice, int samples) {
  static const char* const captions[2][2] = {{"Median (Shape known)", "Median2 / Median1 (Shapes known)"},
                                             {"Median (Shape unknown)", "Median2 / Median1 (Shape unknown)"}};
  const int c = choice == kMedianShapeUnknown ? 1 : 0;
  return captions[c][samples == 2 ? 1 : 0];
}

std::string LogNormalDistribution::ProcedureCaption(const Session& s) const {
  return Caption(s.ParameterChoice, s.SampleCount);
}

ProcedureModule& LogNormalDistribution::TestModule(const Session& s) {
  if (s.ParameterChoice == kMedianShapeUnknown) return lstu_;
  return lnorm_;
}

void LogNormalDistribution::OfferEstimateChoices(Session& s) {
  if (s.ParameterChoice != kMedianShapeUnknown) {
    OfferKnownSpread(s, group::Shape2);
  } else if (s.ProcedureKind == kConfInterval) {
    OfferEstimatedSpread(s, option::UnequalShapes, group::Shape2Star);
  } else {
    s.IntParRowCount = 0;  // no point estimate with an estimated shape: nothing to offer
  }
}

void LogNormalDistribution::BuildEstimateList(Session& s) {
  StartList(s);
  if (choice_ != kMedianShapeUnknown) choice_ = kMedianShapeKnown;
  if (choice_ == kMedianShapeUnknown && kind_ == kPointEstimate) {
    // Only "P-value" and "Power" are listed, and no value is calculated.
    for (int k = 0; k < kPositionCount; ++k)
      s.ParameterList[static_cast<std::size_t>(k)] = static_cast<std::int16_t>(k);
    notAvailable_ = true;
    s.LastPosition = 1;
    s.ui().Warn("Not Available");
    return;
  }
  static constexpr SpreadIds known{
      Ids::Shape, Ids::Shape1, {Ids::Shape2, Ids::Shape2MinusShape1, Ids::Shape2OverShape1}};
  static constexpr SpreadIds estimated{
      Ids::ShapeStar,
      Ids::Shape1Star,
      {Ids::Shape2Star, Ids::Shape2StarMinusShape1Star, Ids::Shape2StarOverShape1Star}};
  if (choice_ == kMedianShapeKnown) {
    separate_ = twoSamples_;
    if (separate_) spread2Mode_ = static_cast<std::int16_t>(s.IntParMode[group::Shape2]);
  } else {
    estimatedSpread_ = true;
    ReadSpreadOptions(s);
    if (separate_) spread2Mode_ = static_cast<std::int16_t>(s.IntParMode[group::Shape2Star]);
  }
  if (spread2Mode_ < 0 || spread2Mode_ > 2) spread2Mode_ = 0;
  if (kind_ == kPointEstimate)
    PutError(s, true);
  else
    PutInterval(s, twoSamples_ ? Ids::MedianRatio : Ids::Median);
  PutSpreads(s, choice_ == kMedianShapeKnown ? known : estimated);
  PutSizes(s);
  PutDegreesOfFreedom(s);
  EndList(s);
}

double LogNormalDistribution::EstimateCriterion(const Session& s) const {
  Single se = 0, df = 0;
  StandardError(s, se, df);
  if (kind_ == kPointEstimate) {
    // The relative error of the median: ln(1 + r) above and ln(1 - r) below
    // on the log scale, an interval that is not symmetric.
    const Single r = At(s, error_);
    const Single above = NormalCdf(std::log(1 + r) / se);
    const Single below = NormalCdf(std::log(1 - r) / se);
    const Single reached = tails_ == 1 ? above : above - below;
    return static_cast<double>(reached - (1 - At(s, 0)));
  }
  const Single q = Quantile(IntervalProbability(s), df);
  const Single m = At(s, estimate_);
  const Single up = ToSingle(ExpCapped(q * se));
  const Single down = ToSingle(ExpCapped(-q * se));
  return static_cast<double>(ChosenQuantity(m * down, m * up, m * (up - down)) - At(s, limit_));
}

}  // namespace pelmora
