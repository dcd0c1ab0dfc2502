// The calculation drivers: solve the unknown once for a Calculation window,
// or at every step of an x-range and for every z value for a Table or Graph.
// They hold no statistics: the selected module checks the values, gives the
// search interval and evaluates the criterion, and FindRoot finds its zero.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "session/dispatch.h"

namespace pelmora {

// Tolerance and iteration limit of every solve.
inline constexpr double kSolveTolerance = 1e-5;
inline constexpr std::int16_t kSolveMaxIterations = 500;
// A root whose criterion is farther than this from zero is no result.
inline constexpr double kAcceptance = 0.001;
inline constexpr int kMaxRangeSteps = 100;

// True for the values that stand for "no result": 99999 as a single, integer
// parts 66666, 6666, 66667 and 9999, and 33333 as a single.
bool IsNoResult(double r);

// Solves for the unknown at the current values: search bounds from the
// catalogue, the module's search interval, FindRoot with 1e-5 and 500, and the
// acceptance |f| <= 0.001.  An arithmetic fault inside the criterion ends the
// solve.  Returns the root, or 99999 when it cannot be calculated.
double SolveAtOnePoint(Dispatcher& d);

// The count of criterion evaluations of the last solve (for tests and
// benchmarks).
int LastSolveEvaluations();

// Reads every listed value from its value text (decimal comma accepted).
void ReadParameterValues(Session& s);

enum class SingleOutcome { AlreadyCurrent, Rejected, NotCalculable, Solved };

// Solves once from the value texts of the listed parameters.  On success the
// unknown's value text is the formatted result; otherwise it is "-".
SingleOutcome CalculateSingle(Dispatcher& d);

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

// The x steps of a range: Xmin while not past Xmax + Sgn(Xstep) 1e-5.
std::vector<double> RangeSteps(double xMin, double xMax, double xStep);

// Parses a z text: values separated by single blanks, "," read as ".".
std::vector<Single> ParseZValues(const std::string& text);

enum class RangeOutcome { AlreadyCurrent, Invalid, Rejected, Cancelled, NothingCalculable, Done };

// Solves over the x range and the z values of the session's x and z
// parameters (their catalogue texts), filling XValues, YValues, ZValues, YMin
// and YMax when the run completes; a cancelled or failed run leaves the
// earlier results as they were.  Validation messages go to the user interface.  The clock gives
// seconds; a test may pass its own.
RangeOutcome CalculateRange(Dispatcher& d, RangeProgress* progress = nullptr,
                            const std::function<double()>& clock = {});

// Fills RangeHeadings: the description, for a table the line naming y, x and
// z, then the fixed parameters three to a line.
void BuildRangeHeadings(Session& s, bool forTable);

}  // namespace pelmora
