#include "session/form_change.h"

#include <algorithm>
#include <cmath>

#include "format/number_entry.h"
#include "format/number_format.h"
#include "session/window_records.h"

namespace pelmora {

namespace {

// The position (not 1, which has no value box) that lists an id, or -1.
int ListedAt(const Session& s, std::int16_t id) {
  for (int p = 0; p <= s.LastPosition; ++p)
    if (p != 1 && s.ParameterList[static_cast<std::size_t>(p)] == id) return p;
  return -1;
}

bool Listed(const std::vector<std::int16_t>& ids, std::int16_t id) {
  return std::find(ids.begin(), ids.end(), id) != ids.end();
}

bool FormChanged(const Session& s, const ListBefore& before, const ParameterForms& f) {
  const auto g = static_cast<std::size_t>(f.group);
  return g < before.modes.size() && before.modes[g] != s.IntParMode[g];
}

// The new position of the parameter a role held: its own, or its
// counterpart's in the new form; -1 when neither is listed.
int NewPosition(const Session& s, const ListBefore& before, std::int16_t id, const std::vector<ParameterForms>& forms) {
  if (const int p = ListedAt(s, id); p >= 0) return p;
  for (const ParameterForms& f : forms) {
    if (!FormChanged(s, before, f) || std::find(f.ids.begin(), f.ids.end(), id) == f.ids.end()) continue;
    for (std::int16_t other : f.ids)
      if (const int p = other >= 0 ? ListedAt(s, other) : -1; p >= 0) return p;
  }
  return -1;
}

void KeepRoles(Session& s, const ListBefore& before, const std::vector<ParameterForms>& forms) {
  std::array<std::int16_t*, 3> roles{&s.UnknownPosition, &s.XPosition, &s.ZPosition};
  const std::array<int, 3> was{before.unknown, before.x, before.z};
  std::array<bool, 3> kept{};
  for (std::size_t k = 0; k < roles.size(); ++k) {
    if (was[k] < 0 || was[k] >= static_cast<int>(before.ids.size())) continue;
    const int p = NewPosition(s, before, before.ids[static_cast<std::size_t>(was[k])], forms);
    if (p < 0) continue;
    *roles[k] = static_cast<std::int16_t>(p);
    kept[k] = true;
  }
  // A role whose parameter left the list gives way to one that stayed.
  for (std::size_t k = 0; k < roles.size(); ++k) {
    if (kept[k]) continue;
    const auto taken = [&](int p) {
      for (std::size_t j = 0; j < roles.size(); ++j)
        if (j != k && (kept[j] || j < k) && *roles[j] == p) return true;
      return false;
    };
    if (!taken(*roles[k])) continue;
    for (int p = 0; p <= s.LastPosition; ++p)
      if (p != 1 && !taken(p)) {
        *roles[k] = static_cast<std::int16_t>(p);
        break;
      }
  }
}

// The value a text stands for, or nothing when it holds none.
std::optional<double> TextValue(const std::string& text) {
  if (text.find_first_not_of(' ') == std::string::npos || text == "-") return std::nullopt;
  const double v = ParseNumber(text);
  return std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
}

// The quantity in form `to`, from its value in form `from` and the base.
std::optional<double> Converted(double v, FormKind from, FormKind to, double base) {
  double absolute = v;
  if (from == FormKind::Difference) absolute = base + v;
  if (from == FormKind::Ratio) absolute = base * v;
  if (to == FormKind::Difference) return absolute - base;
  if (to == FormKind::Ratio) return base != 0 ? std::optional<double>(absolute / base) : std::nullopt;
  return absolute;
}

// Where an id stands in the order of typing of the active window: later
// typing, higher; -1 when it was not typed there.
int TypedOrder(const WindowSettings* r, std::int16_t id) {
  if (r == nullptr) return -1;
  const auto it = std::find(r->typedIds.begin(), r->typedIds.end(), id);
  return it == r->typedIds.end() ? -1 : static_cast<int>(it - r->typedIds.begin());
}

void DeriveValues(Session& s, const ListBefore& before, const std::vector<ParameterForms>& forms) {
  const WindowSettings* r = ActiveWindowRecord(s);
  for (const ParameterForms& f : forms) {
    if (!FormChanged(s, before, f)) continue;
    const std::array<FormKind, 3> kinds = FormKinds(f.group);
    const int from = before.modes[static_cast<std::size_t>(f.group)];
    const int to = s.IntParMode[static_cast<std::size_t>(f.group)];
    if (from < 0 || from > 2 || to < 0 || to > 2) continue;
    const std::int16_t oldId = f.ids[static_cast<std::size_t>(from)];
    const std::int16_t newId = f.ids[static_cast<std::size_t>(to)];
    if (oldId < 0 || newId < 0 || kinds[static_cast<std::size_t>(from)] == FormKind::None ||
        kinds[static_cast<std::size_t>(to)] == FormKind::None || !Listed(before.ids, oldId) || ListedAt(s, newId) < 0)
      continue;
    const FormKind fromKind = kinds[static_cast<std::size_t>(from)];
    const FormKind toKind = kinds[static_cast<std::size_t>(to)];
    const bool needsBase = fromKind != FormKind::Value || toKind != FormKind::Value;
    if (needsBase && f.base < 0) continue;
    // A value typed for the new form after those it would come from stays.
    const int typed = TypedOrder(r, newId);
    if (typed >= 0 && typed > TypedOrder(r, oldId) && (f.base < 0 || typed > TypedOrder(r, f.base))) continue;
    const std::optional<double> v = TextValue(s.entry(oldId).ParamText);
    const std::optional<double> base = f.base >= 0 ? TextValue(s.entry(f.base).ParamText) : 0.0;
    if (!v || !base) continue;
    if (const std::optional<double> derived = Converted(*v, fromKind, toKind, *base))
      s.entry(newId).ParamText = FormatPattern(*derived, "#####0.######");
  }
}

}  // namespace

std::array<FormKind, 3> FormKinds(int group) {
  using enum FormKind;
  switch (group) {
    case 17:  // standard deviation of the means, largest and smallest difference
    case 19:  // standard deviation or coefficient of variation
    case 20:  // the discordant proportions
    case 26:  // differing or equal average proportions
    case 32:  // lower limit, upper limit, width
      return {None, None, None};
    case 10:
    case 13:
    case 16:
      return {Value, Ratio, None};
    default:
      return {Value, Difference, Ratio};
  }
}

std::optional<ParameterForms> FormsFromLists(int group, const std::array<std::vector<std::int16_t>, 3>& lists) {
  ParameterForms f;
  f.group = group;
  const std::vector<std::int16_t>& value = lists[0];
  bool differs = false;
  for (std::size_t m = 0; m < lists.size(); ++m) {
    const std::vector<std::int16_t>& list = lists[m];
    if (list.empty()) continue;
    // Trim what the list shares with the value form's at both ends.
    std::size_t head = 0;
    while (head < list.size() && head < value.size() && list[head] == value[head]) ++head;
    std::size_t tail = 0;
    while (tail < list.size() - head && tail < value.size() - head &&
           list[list.size() - 1 - tail] == value[value.size() - 1 - tail])
      ++tail;
    if (list.size() - head - tail == 0) continue;
    differs = true;
    f.ids[m] = list[list.size() - 1 - tail];
    if (value.size() - head - tail == 0) continue;
    const std::size_t at = value.size() - 1 - tail;
    f.ids[0] = value[at];
    if (at > 0) f.base = value[at - 1];
  }
  if (!differs) return std::nullopt;
  return f;
}

ListBefore ListOf(const Session& s) {
  ListBefore before;
  if (s.LastPosition > 0)
    before.ids.assign(s.ParameterList.begin(), s.ParameterList.begin() + s.LastPosition + 1);
  before.unknown = s.UnknownPosition;
  before.x = s.XPosition;
  before.z = s.ZPosition;
  before.modes = s.IntParMode;
  return before;
}

void KeepParametersAcrossForms(Session& s, const ListBefore& before, const std::vector<ParameterForms>& forms) {
  if (before.ids.empty() || s.LastPosition == 0) return;
  KeepRoles(s, before, forms);
  DeriveValues(s, before, forms);
}

}  // namespace pelmora
