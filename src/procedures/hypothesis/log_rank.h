// The survival analysis test of two groups, on the logarithm of the ratio of
// their hazard rates.  The rates are entered as hazard rates, as incidences
// (each turned into a hazard rate h = -ln(1 - I)) or as numbers of events over
// the times at risk.  The criterion is the normal P-value of ln(h2 / h1) with
// the standard error sqrt(1/(h2 T2) + 1/(h1 T1)), the reciprocal expected
// numbers of events, minus the requested P-value.
#pragma once

#include <cstdint>

#include "numeric/power.h"
#include "procedures/procedure_module.h"

namespace pelmora {

class LogRank : public ProcedureModule {
 public:
  void InitProcedure(Session& s) override;
  void BuildParameterList(Session& s) override;
  bool CheckParameters(Session& s) override;
  void SetSearchInterval(Session& s, double& lower, double& upper) override;
  double EvaluateCriterion(const Session& s) override;
  // The log hazard ratio normal with unit variance around ln(h2/h1) / se.
  std::optional<double> EvaluatePower(const Session& s) override;
  // Poisson events over the times at risk, judged by the test's own
  // statistic of the observed rates (see log_rank_simulation.cpp).
  std::unique_ptr<StudySimulator> MakeSimulator(const Session& s, const SimulationPlan& plan,
                                                std::string& why) override;
  void OptionChanged(Session& s, std::int16_t optionId) override;

  // Catalogue ids of the parameters this module lists.
  struct Ids {
    static constexpr std::int16_t HazardRate1 = 9, HazardRate2 = 73, HazardRate2MinusRate1 = 65,
                                  HazardRate2OverRate1 = 74;
    static constexpr std::int16_t Incidence1 = 53, Incidence2 = 79, Incidence2MinusIncidence1 = 68,
                                  Incidence2OverIncidence1 = 80;
    static constexpr std::int16_t Events1 = 237, Events2 = 238, Events2MinusEvents1 = 239,
                                  Events2OverEvents1 = 240;
    static constexpr std::int16_t TimeAtRisk1 = 25, TimeAtRisk2 = 28;
  };

  // The two hazard rates at the current values.
  void HazardRates(const Session& s, Single& h1, Single& h2) const;

 private:
  // The arguments of the test's PValueZ: ln(h2 / h1) against 0 with the
  // standard error from the expected numbers of events.
  ZArguments Statistic(const Session& s) const;
  // The P-value falls and then rises again as a rate moves toward 0 on the
  // rejection side (few expected events carry little information), and so
  // does the power rise and fall, so the interval of an unknown rate may hold
  // two roots that it does not bracket.
  // Stepping the rate down from the upper end, where the effect is smallest,
  // brackets the root nearest the null value.
  void BracketNearestRoot(Session& s, double& lower, double& upper);
  // The id of the second group's quantity as a value (its limits bound every form).
  std::int16_t SecondValueId() const;

  // Flags copied from the options and forms by BuildParameterList.
  bool incidence_ = false;
  bool events_ = false;
  std::int16_t rateMode_ = 0;
  // Every list has the same four positions, from the first of the
  // procedure's own: the first group's quantity, the second group's in its
  // form, and the two times at risk.
  int first_ = 2, second_ = 3, time1_ = 4, time2_ = 5;
};

}  // namespace pelmora
