#include "session/window_records.h"

namespace pelmora {

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

std::string WindowCaption(WindowKind kind, int number) {
  static const char* const kNames[] = {"Calculation", "Table", "Graph", "Monte Carlo"};
  return std::string(kNames[static_cast<int>(kind)]) + " " + std::to_string(number);
}

std::string WindowTitle(const std::string& caption, const std::string& procedure, const std::string& fileName) {
  std::string title = caption;
  for (const std::string* part : {&procedure, &fileName})
    if (!part->empty()) title += " - " + *part;
  return title;
}

std::string ConfirmedProcedureName(const Session& s) {
  if (s.LastPosition == 0) return {};
  return s.IsTestProcedure != kFalse ? s.TestName : s.DistributionName;
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

std::string CloseQuestionText(const std::string& caption) {
  return caption + " Has Been Changed." + kLineBreak + kLineBreak + "Save Parameter Settings?";
}

void NoteValueEdited(Session& s, int position, const std::string& text) {
  if (position < 0 || position > s.LastPosition) return;
  s.entryAt(position).ParamText = text;
  s.ResultsCurrent = false;
  WindowSettings* r = ActiveWindowRecord(s);
  if (r == nullptr) return;
  const std::int16_t id = s.ParameterList[static_cast<std::size_t>(position)];
  std::erase(r->typedIds, id);
  r->typedIds.push_back(id);
  if (!HoldsSelection(*r) || r->LastPosition != s.LastPosition) return;
  std::string& kept = r->valueTexts[static_cast<std::size_t>(position)];
  if (kept == text) return;
  kept = text;
  r->WindowChanged = true;
}

}  // namespace pelmora
