#include "procedures/distributions/sample_simulation.h"

#include <cmath>
#include <utility>

namespace pelmora {

namespace {

class RoutineSimulator final : public StudySimulator {
 public:
  RoutineSimulator(StudyRoutine routine, std::vector<std::vector<std::int64_t>> looks, bool interval)
      : routine_(std::move(routine)), interval_(interval) {
    lookSizes_ = std::move(looks);
  }
  std::unique_ptr<StudySimulator> Clone() const override { return std::make_unique<RoutineSimulator>(*this); }
  bool IsInterval() const override { return interval_; }
  void Simulate(RandomStream& stream, StudyOutcome& out) override { routine_(stream, out); }

 private:
  StudyRoutine routine_;
  bool interval_;
};

}  // namespace

std::unique_ptr<StudySimulator> MakeRoutineSimulator(StudyRoutine routine,
                                                     std::vector<std::vector<std::int64_t>> lookSizes,
                                                     bool interval) {
  return std::make_unique<RoutineSimulator>(std::move(routine), std::move(lookSizes), interval);
}

void JudgeInterval(double lower, double estimate, double upper, double truth, const IntervalTarget& target,
                   StudyOutcome& out) {
  out.covered = lower <= truth && truth <= upper;
  double reached = upper - lower, allowed = target.requested;
  if (target.kind == 0) {
    reached = estimate - lower;
    allowed = target.assumed - target.requested;
  } else if (target.kind == 1) {
    reached = upper - estimate;
    allowed = target.requested - target.assumed;
  }
  // The assumed design reaches its request up to the rounding of the solve.
  out.narrow = std::isfinite(reached) && reached <= allowed + 1e-6 * std::fabs(allowed);
}

}  // namespace pelmora
