#include "session/axis_roles.h"

#include <algorithm>

#include "format/number_entry.h"
#include "session/window_records.h"

namespace pelmora {

namespace {

std::int16_t& RoleField(Session& s, AxisRole role) {
  switch (role) {
    case AxisRole::Y:
      return s.UnknownPosition;
    case AxisRole::X:
      return s.XPosition;
    case AxisRole::Z:
      break;
  }
  return s.ZPosition;
}

bool Listed(const Session& s, int position) {
  return position == 0 || (position >= 2 && position <= s.LastPosition);
}

}  // namespace

std::vector<int> RoleListPositions(const Session& s) {
  std::vector<int> positions;
  for (int p = 0; p <= s.LastPosition; ++p)
    if (Listed(s, p)) positions.push_back(p);
  return positions;
}

int RolePosition(const Session& s, AxisRole role) { return RoleField(const_cast<Session&>(s), role); }

void ChooseRole(Session& s, AxisRole role, int position) {
  if (!Listed(s, position)) return;
  std::int16_t& field = RoleField(s, role);
  const std::int16_t before = field;
  if (before == position) return;
  const std::int16_t unknownBefore = s.UnknownPosition;
  for (AxisRole other : {AxisRole::Y, AxisRole::X, AxisRole::Z}) {
    std::int16_t& held = RoleField(s, other);
    if (other != role && held == position) held = before;
  }
  field = static_cast<std::int16_t>(position);
  // Another quantity in the cells: its decimals are chosen afresh.
  if (WindowSettings* r = ActiveWindowRecord(s); r != nullptr && s.UnknownPosition != unknownBefore)
    r->TableDecimals = -1;
  s.ResultsCurrent = false;
}

std::vector<int> FixedPositions(const Session& s) {
  std::vector<int> positions;
  for (int p : RoleListPositions(s))
    if (p != s.UnknownPosition && p != s.XPosition && p != s.ZPosition) positions.push_back(p);
  return positions;
}

RangeTexts CurrentRangeTexts(const Session& s) {
  RangeTexts t;
  if (s.XPosition >= 0 && s.XPosition <= s.LastPosition) {
    const CatalogueEntry& x = s.entryAt(s.XPosition);
    t.xMin = x.TableMin;
    t.xMax = x.TableMax;
    t.xStep = x.TableStep;
  }
  if (s.ZPosition >= 0 && s.ZPosition <= s.LastPosition) t.zValues = s.entryAt(s.ZPosition).ZValueText;
  return t;
}

void NoteRangeEdited(Session& s, RangeBox box, const std::string& text) {
  const bool z = box == RangeBox::ZValues;
  const int position = z ? s.ZPosition : s.XPosition;
  if (position < 0 || position > s.LastPosition) return;
  CatalogueEntry& e = s.entryAt(position);
  std::string* kept = nullptr;
  WindowSettings* r = ActiveWindowRecord(s);
  switch (box) {
    case RangeBox::XMin:
      e.TableMin = text;
      kept = r != nullptr ? &r->xMin : nullptr;
      break;
    case RangeBox::XMax:
      e.TableMax = text;
      kept = r != nullptr ? &r->xMax : nullptr;
      break;
    case RangeBox::XStep:
      e.TableStep = text;
      kept = r != nullptr ? &r->xStep : nullptr;
      break;
    case RangeBox::ZValues:
      e.ZValueText = text;
      kept = r != nullptr ? &r->zValues : nullptr;
      break;
  }
  s.ResultsCurrent = false;
  // The record keeps the text only while it describes the same parameter.
  const int keptId = z ? (r != nullptr ? r->zId : -1) : (r != nullptr ? r->xId : -1);
  if (kept == nullptr || keptId != s.ParameterList[static_cast<std::size_t>(position)] || *kept == text)
    return;
  *kept = text;
  r->WindowChanged = true;
}

std::vector<std::string> RecordHeadings(const WindowSettings& r) {
  std::vector<std::string> lines;
  const int last = std::min<int>(r.lastHeading, kHeadingCount - 1);
  for (int i = 0; i <= last; ++i) lines.push_back(r.headings[static_cast<std::size_t>(i)]);
  return lines;
}

void KeepHeadings(WindowSettings& r, const std::vector<std::string>& lines) {
  const std::size_t n = std::min<std::size_t>(lines.size(), kHeadingCount);
  r.headings = {};
  for (std::size_t i = 0; i < n; ++i) r.headings[i] = lines[i];
  r.lastHeading = static_cast<std::int16_t>(n == 0 ? 0 : n - 1);
}

void TitleAxesByRoles(const Session& s, WindowSettings& r) {
  auto caption = [&s](int p) { return RemoveAccelerator(s.entryAt(p).ParamCaption()); };
  auto automatic = [&](const std::string& title) {
    if (title.empty()) return true;
    for (int p = 0; p <= s.LastPosition; ++p)
      if (caption(p) == title) return true;
    return false;
  };
  const int positions[] = {s.XPosition, s.UnknownPosition, s.ZPosition};
  for (std::size_t i = 0; i < 3; ++i) {
    std::string& title = r.graphTexts[i + 1];
    if (automatic(title)) title = caption(positions[i]);
  }
}

}  // namespace pelmora
