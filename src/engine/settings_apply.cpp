#include "engine/settings_apply.h"

#include <algorithm>
#include <array>
#include <exception>
#include <utility>

#include "engine/window_activation.h"
#include "session/window_records.h"
#include "session/settings_file.h"
#include "session/user_files.h"

namespace pelmora {

namespace {

// The roles of the restored list: each on a listed position other than 1
// (which has no row), and three different positions where the list has room
// for them, as the options dialog and the axis-parameter dialog leave them.
// A Calculation window, and a Monte Carlo window with its rows, has no axes:
// a click on a caption there puts x or z on position 1, so only its unknown
// is held to the rule.
std::string RoleMismatch(const Session& s, bool calculation) {
  const std::array<std::pair<const char*, int>, 3> roles = {
      {{"unknown", s.UnknownPosition}, {"x parameter", s.XPosition}, {"z parameter", s.ZPosition}}};
  for (std::size_t i = 0; i < roles.size(); ++i) {
    const auto& [name, p] = roles[i];
    if (p < 0 || p > s.LastPosition)
      return std::string("the position of its ") + name + " (" + std::to_string(p) +
             ") is beyond the parameter list of its procedure, which ends at " +
             std::to_string(s.LastPosition);
    if (p == 1 && s.LastPosition >= 2 && (!calculation || i == 0))
      return std::string("its ") + name + " is at position 1, which is never the unknown nor an axis";
  }
  if (s.LastPosition >= 3 && !calculation &&
      (s.UnknownPosition == s.XPosition || s.UnknownPosition == s.ZPosition || s.XPosition == s.ZPosition))
    return "two of its roles (the unknown, the x and the z parameter) are at the same position";
  return {};
}

template <std::size_t N>
bool SamePrefix(const std::array<std::int16_t, N>& a, const std::array<std::int16_t, N>& b, int count) {
  return std::equal(a.begin(), a.begin() + count, b.begin());
}

// What the restored session says against the read record, or empty when the
// selection the record restores lists its positions, offers its options and
// holds its roles.
std::string RestoredMismatch(Dispatcher& d, const WindowSettings& read) {
  const Session& s = d.session();
  if (d.Module() == nullptr) return "no procedure of this program serves the selection it holds";
  const bool sameOptions =
      s.SampleCount == read.SampleCount && s.TailCount == read.TailCount &&
      s.RejectInLeftTail == read.RejectInLeftTail && s.ParameterChoice == read.ParameterChoice &&
      s.ProcedureKind == read.ProcedureKind && s.OptionState == read.OptionState &&
      s.PlanByPower == read.PlanByPower &&
      s.IntParMode == read.IntParMode && s.OptionCount == read.OptionCount &&
      SamePrefix(s.OptionId, read.OptionId, std::clamp<int>(s.OptionCount, 0, 3)) &&
      s.IntParRowCount == read.IntParRowCount &&
      SamePrefix(s.IntParRowGroup, read.IntParRowGroup, std::clamp<int>(s.IntParRowCount, 0, 4));
  if (!sameOptions) return "its options are not those its procedure offers";
  if (s.LastPosition != read.LastPosition)
    return "its parameter list does not fit its procedure and options (it lists positions 0 to " +
           std::to_string(read.LastPosition) + ", the procedure 0 to " + std::to_string(s.LastPosition) + ")";
  const bool rows = read.kind == static_cast<std::int16_t>(WindowKind::Calculation) ||
                    read.kind == static_cast<std::int16_t>(WindowKind::MonteCarlo);
  if (std::string roles = RoleMismatch(s, rows); !roles.empty()) return roles;
  if (s.ParameterList[static_cast<std::size_t>(s.XPosition)] != read.xId ||
      s.ParameterList[static_cast<std::size_t>(s.ZPosition)] != read.zId)
    return "the parameters its x range and z values belong to are not those at its x and z positions";
  return {};
}

// Opens a window record of the read kind in the dispatcher's session, copies
// the read settings into it under the new number and caption, and restores
// them.  Returns the new record's index; `why` says what does not fit.
int RestoreRecord(Dispatcher& d, const WindowSettings& read, std::string& why) {
  Session& s = d.session();
  const auto kind = static_cast<WindowKind>(read.kind);
  const int index = OpenWindowRecord(s, kind);
  WindowSettings& r = s.records[static_cast<std::size_t>(index)];
  const std::int16_t number = r.number;
  r = read;
  r.number = number;
  r.title = WindowCaption(kind, number);
  r.WindowChanged = false;
  r.WindowClosed = false;
  if (!ActivateWindowSettings(d, index)) {
    why = "it names no test procedure and no sample distribution";
    return index;
  }
  why = RestoredMismatch(d, read);
  return index;
}

// Restores the read record in a session of its own, so that a refusal touches
// neither the user's session nor the flags of its procedure modules.
std::string TrialRestore(const WindowSettings& read) {
  RecordingUserInterface quiet;
  Session trial(quiet);
  Dispatcher d(trial);
  std::string why;
  try {
    RestoreRecord(d, read, why);
  } catch (const std::exception&) {
    why = "its settings cannot be restored";
  }
  return why;
}

}  // namespace

int ApplySettingsRecord(Dispatcher& d, const WindowSettings& read, const std::string& path) {
  Session& s = d.session();
  if (s.Busy) return 0;
  std::string why;
  if (!CheckSettingsRecord(read, why)) {
    TellOpenRefused(s, path, why);
    return 0;
  }
  if (read.LastPosition == 0) {
    s.ui().ShowMessage(FileSubject(path) + " holds no parameter list, so no window was opened.",
                       kOpenFileTitle, MessageIcon::Exclamation);
    return 0;
  }
  why = TrialRestore(read);
  if (why.empty()) {
    // The same restore in the user's session; should it still disagree, the
    // session is put back as it was and its modules rebuilt for it.
    const Session before = s;
    int index = 0;
    try {
      index = RestoreRecord(d, read, why);
    } catch (const std::exception&) {
      why = "its settings cannot be restored";
    }
    if (why.empty()) {
      s.ResultsCurrent = false;
      s.records[static_cast<std::size_t>(index)].WindowChanged = false;
      return index;
    }
    s = before;
    if (!s.TestName.empty() || !s.DistributionName.empty()) {
      try {
        d.RebuildForSelection();
        d.CallBuildParameterList();
      } catch (const std::exception&) {
      }
      s = before;
    }
  }
  TellOpenRefused(s, path, why);
  return 0;
}

int OpenSettingsFile(Dispatcher& d, const std::string& path) {
  const auto read = ReadSettingsFile(d.session(), path);
  return read ? ApplySettingsRecord(d, *read, path) : 0;
}

}  // namespace pelmora
