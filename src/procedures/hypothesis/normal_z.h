// The z test of a normal mean with known standard deviation.  Its offered
// rows are shared by the t-test, which starts from them; the search-interval
// steps that every normal-theory test takes alike live here too.
#pragma once

#include <cstdint>

#include "procedures/procedure_module.h"
#include "session/session.h"

namespace pelmora {

// Offers the interchangeable-parameter rows of a test of means: "Mean*" for
// one sample with one or two tails; "Mean 2*", "Std.Deviation 2" and "Sample
// Size 2" for two samples.
void OfferMeanTestRows(Session& s);

// Two one-sided tests of a difference m2 - m1: an unknown estimate is kept on
// the side of `mid`, the middle of the equivalence limits, where the P-value
// moves one way only (above it, or below it when rejecting in the left
// tail).  The estimate is the difference at position `difference`, or the
// means at m1 and m2, the second in form `mode` (0 value, 2 ratio to m1).
void NarrowDifferenceToMidpoint(const Session& s, double& lower, double& upper, double mid, int difference,
                                int m1, int m2, std::int16_t mode);
// The same for a ratio r2 / r1 of positive quantities, `mid` being the
// geometric middle of the limits: the ratio at position `ratio`, or the
// quantities at q1 and q2.
void NarrowRatioToMidpoint(const Session& s, double& lower, double& upper, double mid, int ratio, int q1,
                           int q2);
// One or two tails, a location (mean, coefficient) against a null value:
// one sample, an unknown null value or estimate keeps the estimate on the
// rejection side (an estimate given as a difference to an unknown null
// value leaves nothing to find); two samples with the difference entered,
// the difference on the rejection side of the null value and the null value
// on the other side; two samples with both values entered (the second in
// form `mode`), the pair on the rejection side of the null difference.
struct LocationPositions {
  int h0, estimate, first, second;
};
void NarrowLocationTest(Session& s, double& lower, double& upper, bool twoSamples, std::int16_t mode,
                        const LocationPositions& at);
// An unknown equivalence limit stays on its own side of the estimate x.
void NarrowLimitByEstimate(const Session& s, double& lower, double& upper, int left, int right, double x);
// Two samples: an unknown first sample size whose partner is a difference or
// ratio, or an unknown relative second size, keeps both sizes above 2.00001.
void NarrowSampleSizes(const Session& s, double& lower, int n1, int n2, std::int16_t size2Mode);

class NormalZ : public ProcedureModule {
 public:
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  // The statistic normal with unit variance around (estimate - H0) / se.
  std::optional<double> EvaluatePower(const Session& s) override;
  // Observations of the chosen data model; each simulated study's P-value is
  // PValueZ of its observed mean (difference) with the known standard
  // deviations and the sizes analysed.
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;
  std::optional<StandardisedEffect> Effect(const Session& s) const override;

  // Catalogue ids of the parameters this module lists.
  struct Ids {
    static constexpr std::int16_t H0Mean = 57, Mean = 58, MeanMinusH0 = 59, MeanOverH0 = 60;
    static constexpr std::int16_t H0Diff = 61, Diff = 62, Mean1 = 86, Mean2 = 87, Mean2OverMean1 = 88;
    static constexpr std::int16_t Sd = 2, Sd1 = 216, Sd2 = 217, Sd2MinusSd1 = 218, Sd2OverSd1 = 219;
    static constexpr std::int16_t SampleSize = 14, SampleSize1 = 4, SampleSize2 = 37,
                                  SampleSize2MinusSize1 = 38, SampleSize2OverSize1 = 5;
    static constexpr std::int16_t LeftLimit = 6, RightLimit = 7;
  };

 private:
  // The assumed difference (one sample: the mean) and the null value.
  void Estimate(const Session& s, Single& estimate, Single& null) const;
  // The standard error of the estimate.
  Single StandardError(const Session& s) const;

  // Flags copied from the options and forms by BuildParameterList.
  bool twoSamples_ = false;
  std::int16_t tails_ = 2;
  std::int16_t meanMode_ = 0;
  std::int16_t sd2Mode_ = 0;
  std::int16_t size2Mode_ = 0;
  // Positions of the listed quantities; -1 where the list has none.
  int h0_ = -1, left_ = -1, right_ = -1;
  int estimate_ = -1;  // one sample: the mean; two samples in mean mode 1: the difference
  int mean1_ = -1, mean2_ = -1;
  int sd_ = -1, sd2_ = -1;
  int n1_ = -1, n2_ = -1;
};

}  // namespace pelmora
