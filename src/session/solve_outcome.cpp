#include "session/solve_outcome.h"

#include "format/number_format.h"

namespace pelmora {

namespace {

std::string FormatValue(const SolveOutcome& o) {
  if (o.decimals <= 0) return FormatResult(o.value);
  return FormatPattern(o.value, "0.0" + std::string(static_cast<std::size_t>(o.decimals - 1), '#'));
}

}  // namespace

std::string OutcomeText(const SolveOutcome& o) {
  switch (o.state) {
    case SolveState::Solved:
    case SolveState::Step:
      return FormatValue(o);
    case SolveState::AtLimit:
      return (o.belowLimit ? "< " : "> ") + FormatResult(o.value);
    case SolveState::NotCalculable:
      break;
  }
  return "-";
}

std::string OutcomeRemark(const SolveOutcome& o, const std::string& caption) {
  if (o.state == SolveState::NotCalculable && !o.reason.empty())
    return caption + " cannot be calculated: " + o.reason + ".";
  if (!o.note.empty()) return caption + ": " + o.note + ".";
  return {};
}

}  // namespace pelmora
