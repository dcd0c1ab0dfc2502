// The exponential sample distribution: the two-parameter exponential with a
// location (threshold) and a scale.  Its tests are those of the exponential
// location and scale; its point estimates and confidence intervals use two
// exact facts: the sample minimum exceeds the location by an exponential
// variable with scale / n, and 2n times the mean excess over the scale is
// chi-square with 2n degrees of freedom (2(n - 1) when the location is
// estimated).
#pragma once

#include <cstdint>
#include <string>

#include "procedures/procedure_module.h"

namespace pelmora {

class ExponentialLocation;
class ExponentialScale;

class ExponentialDistribution : public ProcedureModule {
 public:
  ExponentialDistribution(ExponentialLocation& location, ExponentialScale& scale) : location_(location), scale_(scale) {}

  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  // A test's power is its test module's; estimates have none.
  std::optional<double> EvaluatePower(const Session& s) override;
  // A test's simulator is that of the test of the location or the scale.
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;
  void OptionChanged(Session& s, std::int16_t optionId) override;
  bool OpenGroupGrid(Session& s, int row) override;
  bool CheckGroupGrid(Session& s, int row, int column) override;
  Single ApplyGroupGrid(Session& s) override;

  // The parameter choices.
  static constexpr std::int16_t kLocation = 0, kScaleLocationKnown = 1, kScaleLocationUnknown = 2;

  // The caption of a parameter choice for one or two samples.
  static const char* ChoiceCaption(std::int16_t choice, bool twoSamples);

  // Catalogue ids of the parameters this module lists for its point estimates
  // and confidence intervals.
  struct Ids {
    static constexpr std::int16_t ErrorLevel = 143, UpperAbsoluteError = 19, AbsoluteError = 18,
                                  UpperRelativeError = 24, RelativeError = 23;
    static constexpr std::int16_t ConfidenceLevel = 22, ProbWidth = 101;
    static constexpr std::int16_t LowerLimit = 20, UpperLimit = 21, Width = 100;
    static constexpr std::int16_t Location = 132, Scale = 146, ScaleEstimate = 124, Ratio = 128;
    static constexpr std::int16_t SampleSize = 14, SampleSize1 = 4, SampleSize2 = 37,
                                  SampleSize2MinusSize1 = 38, SampleSize2OverSize1 = 5;
  };

  // The degrees of freedom of a sample of size n for the scale choices.
  Single DegreesOfFreedom(Single n) const;

 private:
  // The test module the kind "Test" hands on to, or nullptr for the other kinds.
  ProcedureModule* Test(const Session& s) const;

  Single PointEstimateCriterion(const Session& s) const;
  Single IntervalCriterion(const Session& s) const;
  // The second sample size resolved through its form.
  Single SecondSize(const Session& s, Single n1) const;

  ExponentialLocation& location_;
  ExponentialScale& scale_;

  // Flags copied by BuildParameterList.
  std::int16_t kind_ = 0;
  std::int16_t choice_ = 0;
  bool twoSamples_ = false;
  std::int16_t tails_ = 2;
  std::int16_t intervalKind_ = 0;
  std::int16_t size2Mode_ = 0;
  // Positions of the listed quantities; -1 where the list has none.
  int error_ = -1;     // the absolute or relative error of a point estimate
  int estimate_ = -1;  // an interval's location, scale or ratio estimate
  int limit_ = -1;     // an interval's lower limit, upper limit or width
  int sigma_ = -1;     // the known scale
  int n1_ = -1, n2_ = -1;
};

}  // namespace pelmora
