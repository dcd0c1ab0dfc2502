// What a solve for the unknown gives: a value, or why there is none.  A value
// is either a root of the criterion (a crossing of zero) or the significant
// side of a jump of a step criterion; a result beyond the limits of the
// unknown's own range is named by that limit; everything else is "not
// calculable", with one sentence saying why.
#pragma once

#include <limits>
#include <string>

#include "numeric/platform.h"

namespace pelmora {

enum class SolveState : std::int16_t {
  Solved,         // the criterion crosses zero at the value
  Step,           // the criterion jumps across zero; the value is the significant side
  AtLimit,        // the answer lies beyond one of the unknown's own limits
  NotCalculable,  // no value: see the reason
};

// Why a point is not calculable, for counting the reasons of a range run.
enum class NoValueKind : std::int16_t {
  None,
  EmptyInterval,  // the other values leave the unknown no room
  Independent,    // the criterion does not depend on the unknown
  NoCrossing,     // the criterion keeps its sign over the whole interval
  Jump,           // a jump across zero that is no significant step
  Fault,          // an arithmetic fault inside the criterion
  NotConverged,   // the search ran out of passes
};

struct SolveOutcome {
  SolveState state = SolveState::NotCalculable;
  // The result (Solved, Step), or the limit passed (AtLimit).
  double value = std::numeric_limits<double>::quiet_NaN();
  // AtLimit: true when the answer lies below the lower limit.
  bool belowLimit = false;
  NoValueKind kind = NoValueKind::None;
  // NotCalculable: one sentence, in the captions' terms, without a final stop.
  std::string reason;
  // Step and AtLimit: how the value was found.
  std::string note;
  // The number of decimals the value is shown with; -1 for the usual format.
  int decimals = -1;
  // How often the solve evaluated the criterion.
  int evaluations = 0;

  // A value that the unknown's box shows as a number.
  bool HasValue() const { return state == SolveState::Solved || state == SolveState::Step; }
};

// The text of the unknown's box: the formatted value, "< 0.00001" or
// "> 0.99999" for a limit, "-" without a value.
std::string OutcomeText(const SolveOutcome& o);

// The line that explains a result under the rows of a Calculation window and
// in its output ("Sample Size 1: the P-value stays ..."); empty for a root.
std::string OutcomeRemark(const SolveOutcome& o, const std::string& caption);

// The single a range result holds where a point has no value: not a number,
// so that no finite answer is mistaken for it.
inline constexpr Single kNotCalculated = std::numeric_limits<Single>::quiet_NaN();
inline bool IsCalculated(Single y) { return y == y; }

}  // namespace pelmora
