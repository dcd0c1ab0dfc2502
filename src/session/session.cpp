#include "session/session.h"

namespace pelmora {

Session::Session(UserInterface& ui) : records(1), ui_(&ui) {
  for (int g = 0; g < kGroupCount; ++g)
    IntParMode[static_cast<std::size_t>(g)] = ParameterGroups()[g].initialForm;
}

bool WindowSettings::SameSettings(const WindowSettings& other) const {
  WindowSettings a = *this;
  WindowSettings b = other;
  a.WindowChanged = b.WindowChanged = false;
  a.WindowClosed = b.WindowClosed = false;
  a.resultRemark = b.resultRemark = std::string();
  a.designPower = b.designPower = DesignPower();
  a.typedIds = b.typedIds = {};
  return a == b;
}

namespace {

// Moves one role down (wrapping to LastPosition below 0) until it is a
// position with a row that no other role holds.
void NormalizeRole(std::int16_t& role, std::int16_t other1, std::int16_t other2, std::int16_t last) {
  // Each pass moves the role by one, so LastPosition + 2 passes visit every
  // position; a list too short to give every role its own row stops there.
  for (int guard = 0; guard <= last + 2; ++guard) {
    if (!(role == 1 || role > last || role == other1 || role == other2)) return;
    --role;
    if (role < 0) role = last;
  }
  // No free position: share one, but never position 1 or one beyond the list.
  if (role == 1 || role > last || role < 0) role = last == 1 ? 0 : last;
}

}  // namespace

bool PlansByPower(const Session& s) {
  return s.PlanByPower != kFalse && (s.IsTestProcedure != kFalse || s.ProcedureKind == 0);
}

bool OffersExpectedDropout(const Session& s) {
  return PlansByPower(s) || (s.IsTestProcedure == kFalse && s.ProcedureKind == 2);
}

void NormalizePositions(Session& s) {
  NormalizeRole(s.UnknownPosition, s.XPosition, s.ZPosition, s.LastPosition);
  NormalizeRole(s.XPosition, s.UnknownPosition, s.ZPosition, s.LastPosition);
  NormalizeRole(s.ZPosition, s.UnknownPosition, s.XPosition, s.LastPosition);
}

void StoreWindowSettings(Session& s) {
  if (!s.ResultsCurrent || (s.TestName.empty() && s.DistributionName.empty())) return;
  // A procedure chosen from the menus but not yet confirmed has no list: the
  // window still shows the settings it had, and its record keeps them.
  if (s.LastPosition == 0) return;
  if (s.ActiveRecord <= 0 || s.ActiveRecord >= static_cast<int>(s.records.size())) return;
  WindowSettings& r = s.records[static_cast<std::size_t>(s.ActiveRecord)];
  const WindowSettings before = r;
  CopySelectionInto(s, r);
  if (!r.SameSettings(before)) r.WindowChanged = true;
}

void CopySelectionInto(const Session& s, WindowSettings& r) {
  r.IsTestProcedure = s.IsTestProcedure;
  r.TestIndex = s.TestIndex;
  r.TestName = s.TestName;
  r.DistributionIndex = s.DistributionIndex;
  r.DistributionName = s.DistributionName;
  r.SampleCount = s.SampleCount;
  r.TailCount = s.TailCount;
  r.RejectInLeftTail = s.RejectInLeftTail;
  r.ParameterChoice = s.ParameterChoice;
  r.ProcedureKind = s.ProcedureKind;
  r.InterimCount = s.InterimCount;
  r.IntParRowCount = s.IntParRowCount;
  r.IntParRowGroup = s.IntParRowGroup;
  r.IntParMode = s.IntParMode;
  r.OptionCount = s.OptionCount;
  r.OptionId = s.OptionId;
  r.OptionState = s.OptionState;
  r.UnknownPosition = s.UnknownPosition;
  r.XPosition = s.XPosition;
  r.ZPosition = s.ZPosition;
  r.xId = s.ParameterList.at(static_cast<std::size_t>(s.XPosition));
  r.zId = s.ParameterList.at(static_cast<std::size_t>(s.ZPosition));
  const CatalogueEntry& x = s.entry(r.xId);
  r.xMin = x.TableMin;
  r.xMax = x.TableMax;
  r.xStep = x.TableStep;
  r.zValues = s.entry(r.zId).ZValueText;
  r.LastPosition = s.LastPosition;
  for (int p = 0; p < kPositionCount; ++p)
    r.valueTexts[static_cast<std::size_t>(p)] = p <= s.LastPosition ? s.entryAt(p).ParamText : std::string();
  r.PlanByPower = PlansByPower(s) ? kTrue : kFalse;
  r.planning = s.planning;
  r.resultRemark = s.ResultRemark;
  r.designPower = s.AchievedPower;
}

void RestoreWindowSettings(Session& s) {
  if (s.ActiveRecord < 0 || s.ActiveRecord >= static_cast<int>(s.records.size())) return;
  const WindowSettings& r = s.records[static_cast<std::size_t>(s.ActiveRecord)];
  s.IsTestProcedure = r.IsTestProcedure;
  s.TestIndex = r.TestIndex;
  s.TestName = r.TestName;
  s.DistributionIndex = r.DistributionIndex;
  s.DistributionName = r.DistributionName;
  s.SampleCount = r.SampleCount;
  s.TailCount = r.TailCount;
  s.RejectInLeftTail = r.RejectInLeftTail;
  s.ParameterChoice = r.ParameterChoice;
  s.ProcedureKind = r.ProcedureKind;
  s.InterimCount = r.InterimCount;
  s.IntParRowCount = r.IntParRowCount;
  s.IntParRowGroup = r.IntParRowGroup;
  s.IntParMode = r.IntParMode;
  s.OptionCount = r.OptionCount;
  s.OptionId = r.OptionId;
  s.OptionState = r.OptionState;
  s.UnknownPosition = r.UnknownPosition;
  s.XPosition = r.XPosition;
  s.ZPosition = r.ZPosition;
  s.LastPosition = r.LastPosition;
  CatalogueEntry& x = s.entry(r.xId);
  x.TableMin = r.xMin;
  x.TableMax = r.xMax;
  x.TableStep = r.xStep;
  s.entry(r.zId).ZValueText = r.zValues;
  s.PlanByPower = r.PlanByPower;
  s.planning = r.planning;
  s.ResultRemark = r.resultRemark;
  s.AchievedPower = r.designPower;
}

void RestoreValueTexts(Session& s) {
  if (s.ActiveRecord < 0 || s.ActiveRecord >= static_cast<int>(s.records.size())) return;
  const WindowSettings& r = s.records[static_cast<std::size_t>(s.ActiveRecord)];
  // The record names texts for its own positions only; a position beyond them
  // keeps its parameter's text.
  for (int p = 0; p <= s.LastPosition && p <= r.LastPosition && p < kPositionCount; ++p)
    s.entryAt(p).ParamText = r.valueTexts[static_cast<std::size_t>(p)];
}

}  // namespace pelmora
