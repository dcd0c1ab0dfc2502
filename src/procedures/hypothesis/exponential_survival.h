// Tests of the two-parameter exponential distribution, which the exponential
// sample distribution hands on.  The location test compares the sample
// minimum, exponential with the scale divided by n above the location, with a
// null location.  The scale tests compare df x Scale* with chi-square (one
// sample) or Scale 2* / Scale 1* with F (two samples), with 2n degrees of
// freedom per sample when the location is known and 2(n - 1) when it is
// estimated.
#pragma once

#include <cstdint>

#include "procedures/procedure_module.h"
#include "procedures/hypothesis/scale_parameter.h"

namespace pelmora {

class ExponentialLocation : public ProcedureModule {
 public:
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  // The sample minimum is the assumed location plus an exponential variable
  // with the scale divided by n.
  std::optional<double> EvaluatePower(const Session& s) override;
  // Exponential times, the minimum of those analysed judged by the test's
  // own P-value (see exponential_survival_simulation.cpp).
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;

  // Catalogue ids of the parameters this module lists.
  struct Ids {
    static constexpr std::int16_t H0Location = 131, Location = 132, LocationMinusH0 = 133,
                                  LocationOverH0 = 134;
    static constexpr std::int16_t LeftLimit = 135, RightLimit = 136;
    static constexpr std::int16_t Scale = 146, SampleSize = 14;
  };

 private:
  // The assumed location and the null location.
  void Estimate(const Session& s, Single& estimate, Single& null) const;

  // Flags copied from the options and forms by BuildParameterList.
  std::int16_t tails_ = 2;
  std::int16_t locationMode_ = 0;
  // Positions of the listed quantities; -1 where the list has none.
  int h0_ = -1, left_ = -1, right_ = -1, estimate_ = -1, scale_ = -1, n_ = -1;
};

class ExponentialScale : public ScaleParameter {
 public:
  ExponentialScale();

  // The exponential distribution's parameter choice "scale (location
  // unknown)": one degree of freedom pair less per sample.
  static constexpr std::int16_t kScaleLocationUnknown = 2;
  static bool LocationUnknown(const Session& s);
  // Exponential times, each sample's scale estimated from them and judged
  // by the test's own chi-square or F P-value.
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;

  // Catalogue ids of the parameters this module lists.
  struct Ids {
    static constexpr std::int16_t H0Scale = 142, Scale = 124, ScaleMinusH0 = 125, ScaleOverH0 = 126;
    static constexpr std::int16_t H0Ratio = 127, Ratio = 128, Scale1 = 26, Scale2 = 141;
    static constexpr std::int16_t LeftLimit = 129, RightLimit = 130;
    static constexpr std::int16_t SampleSize = 14, SampleSize1 = 4, SampleSize2 = 37,
                                  SampleSize2MinusSize1 = 38, SampleSize2OverSize1 = 5;
  };

  // The degrees of freedom of a sample of size n: 2n, or 2(n - 1) with the
  // location estimated.
  Single DegreesOfFreedom(Single n) const override { return locationUnknown_ ? 2 * (n - 1) : 2 * n; }

 private:
  void ReadChoice(const Session& s) override { locationUnknown_ = LocationUnknown(s); }
  bool locationUnknown_ = false;
};

}  // namespace pelmora
