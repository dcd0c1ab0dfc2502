#include "engine/window_activation.h"

#include "session/window_records.h"

namespace pelmora {

bool ActivateWindowSettings(Dispatcher& d, int record) {
  Session& s = d.session();
  if (record < 0 || record >= static_cast<int>(s.records.size())) return false;
  s.ActiveRecord = static_cast<std::int16_t>(record);
  const WindowSettings& r = s.records[static_cast<std::size_t>(record)];
  NumberOfKind(s, static_cast<WindowKind>(r.kind)) = r.number;
  if (!HoldsSelection(r)) return false;
  // The results in the session belong to the window that was active.
  s.ResultsCurrent = false;
  s.SimulationLines.clear();
  RestoreWindowSettings(s);
  // The help follows the window's own selection, however the window was made.
  if (const std::optional<Procedure> p = SelectedProcedure(s))
    s.HelpContext = static_cast<Single>(RowOf(*p).helpContext);
  d.RebuildForSelection();
  d.CallBuildParameterList();
  RestoreValueTexts(s);
  d.BuildDescription();
  return true;
}

bool ActivateWindow(Dispatcher& d, int record) {
  Session& s = d.session();
  if (record == s.ActiveRecord || !IsOpenRecord(s, record)) return false;
  StoreWindowSettings(s);
  return ActivateWindowSettings(d, record);
}

WindowSettings TakeWindowState(const Session& s) {
  WindowSettings state;
  if (s.ActiveRecord <= 0 || s.ActiveRecord >= static_cast<int>(s.records.size())) return state;
  state = s.records[static_cast<std::size_t>(s.ActiveRecord)];
  if (s.LastPosition > 0 && (!s.TestName.empty() || !s.DistributionName.empty())) CopySelectionInto(s, state);
  return state;
}

bool RestoreWindowState(Dispatcher& d, const WindowSettings& state) {
  Session& s = d.session();
  if (s.ActiveRecord <= 0 || s.ActiveRecord >= static_cast<int>(s.records.size())) return false;
  WindowSettings& r = s.records[static_cast<std::size_t>(s.ActiveRecord)];
  if (!HoldsSelection(state)) {
    s.LastPosition = 0;
    s.TestName.clear();
    s.DistributionName.clear();
    s.Description.clear();
    s.ResultRemark.clear();
    s.ResultsCurrent = false;
    return false;
  }
  const WindowSettings kept = r;
  r = state;
  const bool restored = ActivateWindowSettings(d, s.ActiveRecord);
  r = kept;
  return restored;
}

CloseQuery QueryCloseWindow(Dispatcher& d, int record) {
  Session& s = d.session();
  if (s.Busy) return CloseQuery::Refuse;
  if (!IsOpenRecord(s, record)) return CloseQuery::Close;
  // The window that closes describes the session from here on; its own
  // settings are stored so that the question sees every change.
  ActivateWindow(d, record);
  StoreWindowSettings(s);
  const WindowSettings& r = s.records[static_cast<std::size_t>(record)];
  NumberOfKind(s, static_cast<WindowKind>(r.kind)) = r.number;
  return r.WindowChanged ? CloseQuery::AskToSave : CloseQuery::Close;
}

int CloseWindowRecord(Dispatcher& d, int record) {
  Session& s = d.session();
  if (record >= 1 && record < static_cast<int>(s.records.size()))
    s.records[static_cast<std::size_t>(record)].WindowClosed = true;
  for (int r = 1; r < static_cast<int>(s.records.size()); ++r) {
    if (!IsOpenRecord(s, r)) continue;
    if (r != s.ActiveRecord) ActivateWindowSettings(d, r);
    return r;
  }
  s.records.resize(1);
  s.WindowArrayBound = {};
  s.ActiveRecord = 0;
  s.CalcNumber = s.TableNumber = s.GraphNumber = s.MonteNumber = 0;
  s.CascadeLeft = -150;
  s.CascadeTop = -350;
  return 0;
}

}  // namespace pelmora
