#include "engine/calculation.h"

#include "engine/value_texts.h"

namespace pelmora {

SingleOutcome CalculateSingle(Dispatcher& d, SolveOutcome* outcome) {
  Session& s = d.session();
  if (s.ResultsCurrent) return SingleOutcome::AlreadyCurrent;
  CatalogueEntry& unknown = s.entryAt(s.UnknownPosition);
  SolveOutcome o;
  SingleOutcome result = SingleOutcome::Rejected;
  s.ResultRemark.clear();
  s.AchievedPower = DesignPower();
  if (!CheckValueTexts(s, {s.UnknownPosition})) {
    unknown.ParamText = "-";
  } else {
    ReadParameterValues(s);
    if (!d.CallCheckParameters()) {
      unknown.ParamText = "-";
    } else {
      s.ResultsCurrent = true;
      o = SolveAtOnePoint(d);
      s.value(s.UnknownPosition) = o.value;
      unknown.ParamText = OutcomeText(o);
      s.ResultRemark = OutcomeRemark(o, CaptionAt(s, s.UnknownPosition));
      if (o.HasValue()) s.AchievedPower = PowerOfDesign(d);
      result = o.state == SolveState::NotCalculable ? SingleOutcome::NotCalculable : SingleOutcome::Solved;
    }
  }
  s.ResultsCurrent = true;
  StoreWindowSettings(s);
  if (outcome != nullptr) *outcome = o;
  return result;
}

}  // namespace pelmora
