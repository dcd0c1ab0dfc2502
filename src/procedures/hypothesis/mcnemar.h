// McNemar's test of two paired proportions.  The assumed paired 2 x 2 table
// is given by its margins and the concordant cell (the first proportion, the
// second as a value, difference or ratio, and "Proportion 11*"), or directly
// by the difference of the margins and the sum of the discordant cells.  The
// criterion is the P-value of the discordant pairs, exact binomial or normal,
// minus the requested P-value.
#pragma once

#include <array>
#include <cstdint>

#include "procedures/procedure_module.h"

namespace pelmora {

class McNemar : public ProcedureModule {
 public:
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  // Exact: the binomial test of the discordant pairs, over the counts in one
  // discordant cell out of the expected number of discordant pairs n d;
  // otherwise the normal statistic around (x / (n d) - 1/2) / se.
  std::optional<double> EvaluatePower(const Session& s) override;
  // The discordant pairs and those among them in the cell "01" are
  // binomial; each simulated table's P-value is the test's own.
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;

  // Catalogue ids of the parameters this module lists.
  struct Ids {
    static constexpr std::int16_t Proportion1 = 8, Proportion2 = 69, Proportion2MinusProportion1 = 52,
                                  Proportion2OverProportion1 = 70;
    static constexpr std::int16_t Proportion11 = 123, DiscordantSum = 15;
    static constexpr std::int16_t SampleSize = 14;
  };

  // The cell probabilities of the assumed paired table at the given values:
  // given by the margins, p11, p10, p01 and p00; given directly, p10, p01 and
  // the concordant p11 + p00 (which the difference and the discordant sum
  // leave undivided).
  std::array<double, 4> CellProbabilities(const ParameterValueArray& v) const;

 private:
  // The expected number of discordant pairs and of pairs in the cell "01".
  void ExpectedCounts(const Session& s, Single& pairs, Single& x) const;

  // Flags copied from the options and forms by BuildParameterList.
  bool direct_ = false;  // "Prop.10*+Prop.01*" rather than "Proportion 11*"
  std::int16_t proportionMode_ = 0;
  bool continuityCorrection_ = false;
  bool exact_ = false;
  // Positions: by the margins p1, p2, p11 and n; directly the difference and
  // the discordant sum at 2 and 3, n at 4.
  int p1_ = 2, p2_ = 3, p11_ = 4, difference_ = -1, discordant_ = -1, n_ = 5;
};

}  // namespace pelmora
