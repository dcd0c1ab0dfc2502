// One-way analysis of variance: k groups of equal average size.  The
// criterion is the P-value of the F statistic that the assumed group means
// would give, or, with "Analysis of Contrast", that of the t statistic of one
// contrast of the means, minus the requested P-value.  The group means,
// coefficients, standard deviations and sizes can be typed in a grid.
#pragma once

#include <cstdint>

#include "procedures/procedure_module.h"

namespace pelmora {

// The standard deviation of k means, sqrt(sum (m_i - m)^2 / (k - 1)), that the
// F statistic of one-way ANOVA uses, from the entry of the effect in its form:
//
//   form 0, "Standard Deviation of Means*": the value itself;
//   form 1, "Max (Mean k - Mean 1)*": the largest difference D of a group mean
//     to mean 1.  Two means lie D apart; the configuration that gives the
//     smallest spread for it (the least favourable one) has every other mean
//     half way between them: sum (m_i - m)^2 = D^2 / 2, so s_m = D / sqrt(2 (k - 1));
//   form 2, "Min (Mean k - Mean 1)*": the smallest difference d of a group mean
//     to mean 1, every other mean lying at least d from mean 1.  The least
//     favourable configuration has all k - 1 other means at mean 1 + d:
//     sum (m_i - m)^2 = d^2 (k - 1) / k, so s_m = d / sqrt(k).
//
// With k = 2 both forms give D / sqrt(2), and F = n D^2 / (2 sigma^2) is the
// square of the unpaired t statistic.  Any other form gives 0.
Single StdDevOfMeans(Single effect, Single k, std::int16_t form);

class Anova : public ProcedureModule {
 public:
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  // Noncentral F with (k - 1, k (n - 1)) degrees of freedom and lambda =
  // (k - 1) n s_m^2 / sigma^2; a contrast: noncentral t.
  std::optional<double> EvaluatePower(const Session& s) override;
  // Normal observations of k groups of the average size (see
  // anova_simulation.cpp for the means that stand for the assumed spread).
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;
  std::optional<StandardisedEffect> Effect(const Session& s) const override;
  // The groups' means (and contrast coefficients), standard deviations and
  // sizes, from the box of the effect or of the standard deviation.
  bool OpenGroupGrid(Session& s, int row) override;
  bool CheckGroupGrid(Session& s, int row, int column) override;
  Single ApplyGroupGrid(Session& s) override;

  // Catalogue ids of the parameters this module lists.
  struct Ids {
    static constexpr std::int16_t StdDevOfMeans = 34, MaxDifference = 147, MinDifference = 148;
    static constexpr std::int16_t ContrastValue = 225;
    static constexpr std::int16_t ResidualSd = 212, Sd = 2;
    static constexpr std::int16_t NoOfGroups = 17, AverageSampleSize = 224;
    static constexpr std::int16_t LeftLimit = 6, RightLimit = 7;
  };

 private:
  // The design as the criterion and the power read it: the F statistic of
  // the assumed means (without a contrast) or the contrast's t arguments,
  // and the residual degrees of freedom k (n - 1).
  struct AssumedDesign {
    Single k, n, sigma, effect, left, right, dfResidual;
    Single f = 0;
  };
  AssumedDesign Assumed(const Session& s) const;

  // The grid's rows: the means, the contrast coefficients (with a contrast),
  // the standard deviations and the sizes; one column per group.
  int SdGridRow() const { return gridContrast_ ? 3 : 2; }
  int SizeGridRow() const { return gridContrast_ ? 4 : 3; }

  // Flags copied from the options and forms by BuildParameterList.
  bool contrast_ = false;
  std::int16_t form_ = 0;
  std::int16_t tails_ = 2;
  // Positions of the listed quantities; -1 where the list has none.
  int effect_ = -1;  // the standard deviation of the means in its form, or the contrast value
  int left_ = -1, right_ = -1;
  int sd_ = -1, k_ = -1, n_ = -1;
  // The grid's state: its layout and the position of the box it opened from.
  bool gridContrast_ = false;
  int gridPosition_ = -1;
};

}  // namespace pelmora
