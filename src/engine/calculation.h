// The calculation drivers: solve the unknown once for a Calculation window,
// or at every step of an x-range and for every z value for a Table or Graph.
// They hold no statistics: the selected module checks the values, gives the
// search interval and evaluates the criterion, and FindRoot finds its zero.
//
// A solve gives a value only where the criterion crosses zero, or, for a
// criterion that moves in steps, on the significant side of its jump; every
// other end is "not calculable" with the reason (see SolveOutcome).
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "engine/dispatch.h"
#include "session/solve_outcome.h"

namespace pelmora {

// Tolerance and iteration limit of every solve.
inline constexpr double kSolveTolerance = 1e-5;
inline constexpr std::int16_t kSolveMaxIterations = 500;
// A crossing whose criterion is within this of zero is a root as it stands;
// one that ends farther away on both sides is a jump.
inline constexpr double kAcceptance = 0.001;
inline constexpr int kMaxRangeSteps = 100;

// Solves for the unknown at the current values: search bounds from the
// catalogue, the module's search interval kept to the values every check
// admits, then FindRoot with 1e-5 and 500 (or, for a criterion in whole steps,
// the search over whole values), judged by its final bracket.  An arithmetic
// fault inside the criterion ends the solve as not calculable.
SolveOutcome SolveAtOnePoint(Dispatcher& d);

// The count of criterion evaluations of the last solve (for tests and
// benchmarks).
int LastSolveEvaluations();

// Reads every listed value from its value text (decimal comma accepted).
void ReadParameterValues(Session& s);

// Refuses a value text that is not one well-formed number: the message names
// the parameter ("Sample Size 1: "2.5.3" is not a number").  Position 1 and
// the positions in `skip` (the unknown; in a range x, and z when it has a list
// of values) are not looked at; neither is a blank text or "-", which the
// checks report as having no value.
bool CheckValueTexts(Session& s, std::initializer_list<int> skip);

// The power of the test at the current values (the solved unknown included)
// and, when the unknown is a sample size, at the whole sizes a study would
// recruit (see WholeSizes).  Nothing for a procedure that is no test.  The
// values are left as they were.
DesignPower PowerOfDesign(Dispatcher& d);

enum class SingleOutcome { AlreadyCurrent, Rejected, NotCalculable, Solved };

// Solves once from the value texts of the listed parameters.  The unknown's
// value text becomes the text of the outcome (the formatted result, a limit
// such as "< 0.00001", or "-"), ResultRemark the line explaining it, and
// AchievedPower the power of a design solved with a value (PowerOfDesign).
// Solved stands for every outcome with a value or a limit.  `outcome`, when given,
// receives the outcome of the solve.
SingleOutcome CalculateSingle(Dispatcher& d, SolveOutcome* outcome = nullptr);

// The progress display of a long range run; the window implements it.
class RangeProgress {
 public:
  virtual ~RangeProgress() = default;
  virtual void Show(int maximum) = 0;
  virtual void SetValue(int value) = 0;
  virtual void Hide() = 0;
  // Lets the user interface handle pending events (the Cancel button).
  virtual void ProcessEvents() = 0;
};

// The number of x steps of a range: one more than the whole steps from Xmin
// that do not pass Xmax (a step short of it by less than a thousandth of a step
// still reaches it); 0 for a step of 0 or a step away from Xmax.
std::int64_t RangeStepCount(double xMin, double xMax, double xStep);
// The x values: Xmin + i Xstep, each computed directly and rounded to the
// decimals that Xmin, Xmax and Xstep are written with, at most `limit` of them.
std::vector<double> RangeSteps(double xMin, double xMax, double xStep, int limit = kMaxRangeSteps);

// Parses a z text: values separated by single blanks, "," read as ".".
std::vector<Single> ParseZValues(const std::string& text);

enum class RangeOutcome { AlreadyCurrent, Invalid, Rejected, Cancelled, NothingCalculable, Done };

// Solves over the x range and the z values of the session's x and z
// parameters (their catalogue texts), filling XValues, YValues, YStates,
// ZValues, YMin, YMax and RangeSummary when the run completes; a cancelled or
// failed run leaves the earlier results as they were.  Validation messages go
// to the user interface.  The clock gives seconds; a test may pass its own.
RangeOutcome CalculateRange(Dispatcher& d, RangeProgress* progress = nullptr,
                            const std::function<double()>& clock = {});

// Fills RangeHeadings: the description, for a table the line naming y, x and
// z, then the fixed parameters three to a line.
void BuildRangeHeadings(Session& s, bool forTable);

}  // namespace pelmora
