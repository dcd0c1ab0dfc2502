// The contract every procedure module fulfils.  A module lists the design
// parameters of its procedure, checks their values, narrows the interval in
// which the unknown is searched, and supplies one criterion whose zero over the
// unknown is the answer: the P-value (or precision, limit, width) computed for
// the assumed values minus the one requested.
//
// A module keeps nothing but a few flags, rewritten by BuildParameterList from
// the session's options and forms so that the other entry points can branch on
// them.
#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <optional>
#include <string>

#include "numeric/platform.h"
#include "procedures/sequential_criterion.h"
#include "session/sequential_settings.h"
#include "procedures/study_simulator.h"
#include "session/session.h"

namespace pelmora {

// What the calculation driver needs to know of a criterion beyond its values.
struct CriterionTraits {
  // The position of the requested value that the criterion compares with: the
  // criterion is the quantity computed from the other values minus the value
  // there (the P-value at position 0 for a test).  -1 when it is no such
  // difference.
  int comparedPosition = 0;
  // The criterion changes only in steps, from whole counts rounded out of the
  // unknown (exact probabilities of a table of counts), and the unknown is a
  // number of units: it is solved as the smallest whole number from which on
  // the assumed result stays significant.
  bool wholeSteps = false;
};

// Starts the parameter list of a procedure: every position k holds id k
// (position 0 the P-value, position 1 the power, which has no row), and a
// test planned by power (PlansByPower) lists the requested power again at
// position 2, beneath the P-value, where it has a row and can be typed,
// solved and stepped.  Returns the first position of the procedure's own
// parameters: 2, or 3 beneath the requested power.
inline int StartParameterList(Session& s) {
  for (int k = 0; k < kPositionCount; ++k)
    s.ParameterList[static_cast<std::size_t>(k)] = static_cast<std::int16_t>(k);
  if (!PlansByPower(s)) return 2;
  s.ParameterList[2] = param::Power;
  return 3;
}

class ProcedureModule {
 public:
  virtual ~ProcedureModule() = default;

  // Offers the options, tails and interchangeable-parameter rows of the
  // procedure (OptionCount, OptionId, IntParRowCount, IntParRowGroup) and may
  // set SampleCount.
  virtual void InitProcedure(Session& s) = 0;
  // Sets every position k of the list to k, copies the flags, then writes the
  // ids of positions 2 and up and LastPosition.
  virtual void BuildParameterList(Session& s) = 0;
  // Checks the relative parameters and orderings; shows its own message and
  // returns false to stop.
  virtual bool CheckParameters(Session& s) = 0;
  // Narrows [lower, upper] for the unknown.
  virtual void SetSearchInterval(Session& s, double& lower, double& upper) = 0;
  // The criterion at the current values; never changes a value.
  virtual double EvaluateCriterion(const Session& s) = 0;
  // The traits of the criterion for the current unknown.  A test's criterion
  // compares the P-value with position 0; an estimate or interval names no
  // comparison unless its module says so.
  virtual CriterionTraits Traits(const Session& s) const {
    CriterionTraits t;
    t.comparedPosition = s.IsTestProcedure != kFalse || s.ProcedureKind == 0 ? 0 : -1;
    return t;
  }
  // The power of the test at the current values: the probability that it
  // rejects at the level alpha (the value at position 0) when the starred
  // values are the truth, with the test's own statistic, tails and options.
  // Nothing where it cannot be computed (a procedure that is no test, values
  // at which the test's statistic faults); otherwise a probability in [0, 1].
  // Never changes a value.
  virtual std::optional<double> EvaluatePower(const Session& /*s*/) { return std::nullopt; }
  // The simulator of one study of the current design (see
  // procedures/study_simulator.h), its sample sizes those of the values
  // rounded up to whole subjects.  Nothing where the procedure has none, or,
  // with a reason in `why`, where these values cannot be simulated.
  virtual std::unique_ptr<StudySimulator> MakeSimulator(const Session& /*s*/, const SimulationPlan& /*plan*/,
                                                        std::string& /*why*/) {
    return nullptr;
  }
  // The standardised effect of the assumed values; nothing where the
  // procedure's parameters define none.  Never changes a value.
  virtual std::optional<StandardisedEffect> Effect(const Session& /*s*/) const { return std::nullopt; }

  // Called after the user ticked or cleared an offered option, before the
  // options are offered again: a module whose options exclude one another
  // clears the others here.
  virtual void OptionChanged(Session& /*s*/, std::int16_t /*optionId*/) {}

  // Group-wise entry in a grid, for the modules that offer it.  Opening is
  // asked for the value box of a row of the Calculation window; true when
  // the module showed its grid and the user confirmed it.
  virtual bool OpenGroupGrid(Session& /*s*/, int /*row*/) { return false; }
  // The cell (row, column, from 1) that the grid's entry box is leaving;
  // false keeps the box on it (the module has said why).
  virtual bool CheckGroupGrid(Session& /*s*/, int /*row*/, int /*column*/) { return true; }
  // Turns the confirmed grid into parameter values and returns the value of
  // the clicked box.  A failed check sets CalcStopped.
  virtual Single ApplyGroupGrid(Session& /*s*/) { return 0; }
};

// Whether the module's criterion gives way to its power: the selection is
// planned by power, its list holds the requested power at position 2, and
// the module's own criterion compares the P-value at position 0 (a module
// whose own criterion is already a power keeps it).
inline bool PlannedByPower(const ProcedureModule& m, const Session& s) {
  return PlansByPower(s) && s.LastPosition >= 2 && s.ParameterList[2] == param::Power &&
         m.Traits(s).comparedPosition == 0;
}

// The criterion a solve uses: the module's own, or, planned by power, the
// power of the design minus the requested power (not a number where the
// power cannot be computed); with interim analyses, the power of the
// group-sequential design (SequentialCriterion).
inline double PlanningCriterion(ProcedureModule& m, const Session& s) {
  if (!PlannedByPower(m, s)) return m.EvaluateCriterion(s);
  const std::optional<double> power = m.EvaluatePower(s);
  if (!power) return std::numeric_limits<double>::quiet_NaN();
  return UsesSequentialDesign(s) ? SequentialCriterion(s, *power) : *power - s.value(2);
}

// The fixed-design power that a solve planned by power aims at: the
// requested power, or with interim analyses the one that stands for it.
inline std::optional<double> TargetFixedPower(const Session& s) {
  return UsesSequentialDesign(s) ? EquivalentFixedPower(s) : std::optional<double>(s.value(2));
}

}  // namespace pelmora
