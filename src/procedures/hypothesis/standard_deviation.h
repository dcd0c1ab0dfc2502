// Tests of normal standard deviations: the chi-square test of one standard
// deviation against a null value and the F test of the ratio of two.  The
// normal sample distribution hands it "std.dev. (mean known)" and "std.dev.
// (mean unknown)"; with the mean known every sample has n degrees of freedom
// instead of n - 1.
#pragma once

#include <cstdint>

#include "procedures/hypothesis/scale_parameter.h"

namespace pelmora {

class StandardDeviation : public ScaleParameter {
 public:
  StandardDeviation();

  // The parameter choice of the normal distribution that tests a standard
  // deviation with the mean known ("std.dev. (mean known)"); the module reads
  // it from the session in BuildParameterList.
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

  // n with the mean known, n - 1 otherwise.
  Single DegreesOfFreedom(Single n) const override { return meanKnown_ ? n : n - 1; }

 private:
  void ReadChoice(const Session& s) override { meanKnown_ = MeanKnown(s); }
  bool meanKnown_ = false;
};

}  // namespace pelmora
