// The chi2 test of a 2 x 2 table: the normal approximation to the comparison
// of two proportions with the pooled standard error, optionally with a
// continuity correction.  It lists the parameters of Fisher's exact test and
// shares that module's checks and search intervals.
#pragma once

#include "numeric/power.h"
#include "procedures/procedure_module.h"
#include "procedures/hypothesis/fisher_exact.h"

namespace pelmora {

class ChiSquare2x2 : public ProcedureModule {
 public:
  // Offers the options and rows of Fisher's exact test, then "&Continuity
  // Correction".
  void InitProcedure(Session& s) override;
  // The list of Fisher's exact test; the continuity correction is the second
  // offered option.
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override { return fisher_.CheckParameters(s); }
  void SetSearchInterval(Session& s, double& lower, double& upper) override {
    fisher_.SetSearchInterval(s, lower, upper);
  }
  double EvaluateCriterion(const Session& s) override;
  // Two-sided: noncentral chi-square with one degree of freedom and lambda
  // the square of the (corrected) statistic of the assumed table; one-sided:
  // the normal statistic around (p2 - p1) / se.
  std::optional<double> EvaluatePower(const Session& s) override;
  // The binomial counts of Fisher's exact test, each table judged by the
  // test's own statistic of the observed proportions.
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;
  std::optional<StandardisedEffect> Effect(const Session& s) const override { return fisher_.Effect(s); }

  using Ids = FisherExactTest::Ids;

 private:
  // The arguments of the test's PValueZ: p2 - p1 against 0 with the pooled
  // standard error and the continuity correction.
  ZArguments Statistic(const Session& s) const;

  FisherExactTest fisher_;
  bool continuityCorrection_ = false;
};

}  // namespace pelmora
