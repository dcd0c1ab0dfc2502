// Tests of normal standard deviations: the chi-square test of one standard
// deviation against a null value and the F test of the ratio of two.  The
// normal sample distribution hands it "std.dev. (mean known)" and "std.dev.
// (mean unknown)"; with the mean known every sample has n degrees of freedom
// instead of n - 1.
#pragma once

#include <cstdint>

#include "procedures/procedure_module.h"

namespace pelmora {

class TestS2 : public ProcedureModule {
 public:
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;

  // The parameter choice of the normal distribution that tests a standard
  // deviation with the mean known ("std.dev. (mean known)"); the module reads
  // it from the session in BuildParameterList.
  static constexpr std::int16_t kNormalDistribution = 0;
  static constexpr std::int16_t kStdDevMeanKnown = 2;
  static bool MeanKnown(const Session& s);

  // Catalogue ids of the parameters this module lists.
  struct Ids {
    static constexpr std::int16_t H0Sd = 110, Sd = 111, SdMinusH0 = 112, SdOverH0 = 113;
    static constexpr std::int16_t H0Ratio = 114, Ratio = 115, Sd1 = 139, Sd2 = 140;
    static constexpr std::int16_t SampleSize = 14, SampleSize1 = 4, SampleSize2 = 37,
                                  SampleSize2MinusSize1 = 38, SampleSize2OverSize1 = 5;
    static constexpr std::int16_t LeftLimit = 116, RightLimit = 117;
  };

 private:
  // The assumed standard deviation (two samples: the ratio SD2* / SD1*).
  Single Estimate(const Session& s) const;
  // Two one-sided tests: a value of the estimate between the two at which
  // each one-sided P-value equals the requested one.
  double EquivalenceMiddle(const Session& s) const;

  // Flags copied from the options, forms and parameter choice by BuildParameterList.
  bool twoSamples_ = false;
  bool meanKnown_ = false;
  std::int16_t tails_ = 2;
  std::int16_t sdMode_ = 0;
  std::int16_t size2Mode_ = 0;
  // Positions of the listed quantities; -1 where the list has none.
  int h0_ = -1, left_ = -1, right_ = -1;
  int estimate_ = -1;  // one sample: the SD; two samples in SD mode 1: the ratio
  int sd1_ = -1, sd2_ = -1;
  int n1_ = -1, n2_ = -1;
};

}  // namespace pelmora
