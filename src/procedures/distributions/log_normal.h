// The log-normal sample distribution: the median of a log-normal variable (two
// samples: the ratio of two medians), with the shape (the standard deviation
// on the natural-log scale) known or estimated.  A test is handed on to the z
// or t test of log-normal medians; the point estimate (shape known) and the
// confidence intervals are those of a normal mean on the log scale, turned
// back with the exponential.
#pragma once

#include <cstdint>
#include <string>

#include "procedures/distributions/normal.h"

namespace pelmora {

class LogNormalMedian;
class LogNormalT;

class LogNormalDistribution : public NormalFamilyDistribution {
 public:
  LogNormalDistribution(LogNormalMedian& lnorm, LogNormalT& lstu) : lnorm_(lnorm), lstu_(lstu) {}

  static constexpr std::int16_t kMedianShapeKnown = 0, kMedianShapeUnknown = 1;

  // Catalogue ids of the parameters the estimates and intervals list.
  struct Ids : CommonIds {
    static constexpr std::int16_t Median = 90, MedianRatio = 96;
    static constexpr std::int16_t Shape = 27, Shape1 = 50, Shape2 = 54, Shape2MinusShape1 = 107,
                                  Shape2OverShape1 = 108;
    static constexpr std::int16_t ShapeStar = 32, Shape1Star = 241, Shape2Star = 242,
                                  Shape2StarMinusShape1Star = 243, Shape2StarOverShape1Star = 244;
  };

  // The caption of procedure `choice` for one or two samples.
  static std::string Caption(int choice, int samples);

 protected:
  ProcedureModule& TestModule(const Session& s) override;
  void OfferEstimateChoices(Session& s) override;
  void BuildEstimateList(Session& s) override;
  double EstimateCriterion(const Session& s) const override;
  std::string ProcedureCaption(const Session& s) const override;
  const char* GridSpreadHeading() const override { return "Shape"; }
  bool LogScale() const override { return true; }

 private:
  LogNormalMedian& lnorm_;
  LogNormalT& lstu_;
};

}  // namespace pelmora
