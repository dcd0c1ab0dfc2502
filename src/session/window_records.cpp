#include "session/window_records.h"

namespace pelmora {

namespace {

std::int16_t& NumberOfKind(Session& s, WindowKind kind) {
  switch (kind) {
    case WindowKind::Calculation:
      return s.CalcNumber;
    case WindowKind::Table:
      return s.TableNumber;
    case WindowKind::Graph:
      return s.GraphNumber;
    case WindowKind::MonteCarlo:
      break;
  }
  return s.MonteNumber;
}

bool HoldsSelection(const WindowSettings& r) { return !r.TestName.empty() || !r.DistributionName.empty(); }

}  // namespace

std::string WindowCaption(WindowKind kind, int number) {
  static const char* const kNames[] = {"Calculation", "Table", "Graph", "Monte Carlo"};
  return std::string(kNames[static_cast<int>(kind)]) + " " + std::to_string(number);
}

bool IsOpenRecord(const Session& s, int record) {
  return record >= 1 && record < static_cast<int>(s.records.size()) &&
         !s.records[static_cast<std::size_t>(record)].WindowClosed;
}

WindowSettings* ActiveWindowRecord(Session& s) {
  return IsOpenRecord(s, s.ActiveRecord) ? &s.records[static_cast<std::size_t>(s.ActiveRecord)] : nullptr;
}

int OpenWindowRecord(Session& s, WindowKind kind) {
  StoreWindowSettings(s);
  s.ResultsCurrent = false;
  std::int16_t& bound = s.WindowArrayBound[static_cast<std::size_t>(kind)];
  ++bound;
  NumberOfKind(s, kind) = bound;
  WindowSettings r;
  r.kind = static_cast<std::int16_t>(kind);
  r.number = bound;
  r.title = WindowCaption(kind, bound);
  s.records.push_back(r);
  s.ActiveRecord = static_cast<std::int16_t>(s.records.size() - 1);
  s.LastPosition = 0;
  s.TestName.clear();
  s.DistributionName.clear();
  return s.ActiveRecord;
}

CascadePlace NextCascadePlace(Session& s) {
  s.CascadeLeft += 150;
  s.CascadeTop += 350;
  return {s.CascadeLeft, s.CascadeTop};
}

bool ActivateWindowSettings(Dispatcher& d, int record) {
  Session& s = d.session();
  if (record < 0 || record >= static_cast<int>(s.records.size())) return false;
  s.ActiveRecord = static_cast<std::int16_t>(record);
  const WindowSettings& r = s.records[static_cast<std::size_t>(record)];
  NumberOfKind(s, static_cast<WindowKind>(r.kind)) = r.number;
  if (!HoldsSelection(r)) return false;
  // The results in the session belong to the window that was active.
  s.ResultsCurrent = false;
  RestoreWindowSettings(s);
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

std::string CloseQuestionText(const std::string& caption) {
  return caption + " Has Been Changed." + kLineBreak + kLineBreak + "Save Parameter Settings?";
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

void NoteValueEdited(Session& s, int position, const std::string& text) {
  if (position < 0 || position > s.LastPosition) return;
  s.entryAt(position).ParamText = text;
  s.ResultsCurrent = false;
  WindowSettings* r = ActiveWindowRecord(s);
  if (r == nullptr || !HoldsSelection(*r) || r->LastPosition != s.LastPosition) return;
  std::string& kept = r->valueTexts[static_cast<std::size_t>(position)];
  if (kept == text) return;
  kept = text;
  r->WindowChanged = true;
}

}  // namespace pelmora
