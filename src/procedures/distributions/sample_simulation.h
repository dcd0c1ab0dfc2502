// What the simulators of the sample distributions share: a simulator built
// from a routine that simulates one whole study, and the verdict on a
// simulated confidence interval.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "procedures/study_simulator.h"

namespace pelmora {

// One study from the stream's next numbers.  The routine keeps its buffers
// by value: each clone of the simulator has its own copy.
using StudyRoutine = std::function<void(RandomStream&, StudyOutcome&)>;

std::unique_ptr<StudySimulator> MakeRoutineSimulator(StudyRoutine routine,
                                                     std::vector<std::vector<std::int64_t>> lookSizes,
                                                     bool interval);

// An interval's requested quantity: its lower limit (kind 0), upper limit
// (kind 1) or width (kind 2), reached with the assumed estimate.
struct IntervalTarget {
  std::int16_t kind = 2;
  double requested = 0, assumed = 0;
};

// Whether [lower, upper] covers the true value, and whether it is no wider
// than asked: its width at most the requested width, or the distance from
// the observed estimate to the chosen limit at most that from the assumed
// estimate to the requested limit.
void JudgeInterval(double lower, double estimate, double upper, double truth, const IntervalTarget& target,
                   StudyOutcome& out);

}  // namespace pelmora
