// The range driver: the unknown solved at every step of an x-range and for
// every z value, for a Table or Graph window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/dispatch.h"
#include "numeric/platform.h"

namespace pelmora {

inline constexpr int kMaxRangeSteps = 100;

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

}  // namespace pelmora
