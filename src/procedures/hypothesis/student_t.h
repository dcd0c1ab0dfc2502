// Student's t-test: unpaired and paired, and the one-sample test of a normal
// mean with unknown standard deviation.  The criterion is the P-value of the t
// statistic for the assumed means minus the requested P-value.
#pragma once

#include <cstdint>

#include "numeric/power.h"
#include "procedures/procedure_module.h"

namespace pelmora {

class StudentT : public ProcedureModule {
 public:
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  // Noncentral t with the test's df and noncentrality (estimate - H0) / se.
  std::optional<double> EvaluatePower(const Session& s) override;
  // Normal observations (or the chosen data model) of the groups; each
  // simulated study's P-value is PValueT of its observed means and standard
  // deviations (pooled, or Welch's with unequal standard deviations).
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;
  std::optional<StandardisedEffect> Effect(const Session& s) const override;
  void OptionChanged(Session& s, std::int16_t optionId) override;
  // The two groups' standard deviations and sample sizes, from the box of the
  // pooled standard deviation.
  bool OpenGroupGrid(Session& s, int row) override;
  bool CheckGroupGrid(Session& s, int row, int column) override;
  Single ApplyGroupGrid(Session& s) override;

  // The standard deviations of the two groups of the last grid entry.
  Single GridSd1() const { return gridSd1_; }
  Single GridSd2() const { return gridSd2_; }

  // Catalogue ids of the parameters this module lists.
  struct Ids {
    static constexpr std::int16_t H0Mean = 57, Mean = 58, MeanMinusH0 = 59, MeanOverH0 = 60;
    static constexpr std::int16_t H0Diff = 61, Diff = 62, Mean1 = 86, Mean2 = 87, Mean2OverMean1 = 88;
    static constexpr std::int16_t H0MeanOfDiff = 157, MeanOfDiff = 158, MeanOfDiffMinusH0 = 159,
                                  MeanOfDiffOverH0 = 160;
    static constexpr std::int16_t SdOfDiff = 3, Sd = 111, Sd1 = 139, Sd2 = 140, Sd2MinusSd1 = 231,
                                  Sd2OverSd1 = 115;
    static constexpr std::int16_t SampleSize = 14, SampleSize1 = 4, SampleSize2 = 37,
                                  SampleSize2MinusSize1 = 38, SampleSize2OverSize1 = 5;
    static constexpr std::int16_t LeftLimit = 6, RightLimit = 7;
    static constexpr std::int16_t DegreesOfFreedom = 36, NoOfGroups = 17;
  };

 private:
  // The arguments of the test's PValueT: the assumed difference (one sample:
  // the mean), the null value or the equivalence limits, the standard error
  // and the degrees of freedom.
  TArguments Statistic(const Session& s) const;
  // Planned by power, an unknown sample size is searched between two sizes
  // near the normal approximation's at which the power criterion changes
  // sign (the power rises with the size); unchanged when none are found.
  void NarrowSizeByPower(Session& s, double& lower, double& upper);

  // Flags copied from the options and forms by BuildParameterList.
  bool twoSamples_ = false;
  std::int16_t meanMode_ = 0;
  std::int16_t sd2Mode_ = 0;
  std::int16_t size2Mode_ = 0;
  bool dfGiven_ = false;
  bool groups_ = false;
  bool unequal_ = false;
  std::int16_t tails_ = 2;
  // Positions of the listed quantities; -1 where the list has none.
  int h0_ = -1, left_ = -1, right_ = -1;
  int estimate_ = -1;  // one sample: the mean; two samples in mean mode 1: the difference
  int mean1_ = -1, mean2_ = -1;
  int sd_ = -1, sd2_ = -1;
  int n1_ = -1, n2_ = -1;
  int df_ = -1, k_ = -1;
  Single gridSd1_ = 0, gridSd2_ = 0;
};

}  // namespace pelmora
