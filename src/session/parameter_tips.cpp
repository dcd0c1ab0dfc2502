#include "session/parameter_tips.h"

#include <algorithm>

#include "format/number_entry.h"
#include "format/number_format.h"
#include "session/menus.h"
#include "session/session.h"

namespace pelmora {

namespace {

}  // namespace

std::string PlainCaption(const CatalogueEntry& e) {
  std::string caption;
  for (char c : RemoveAccelerator(e.ParamCaption()))
    if (c != ' ' || (!caption.empty() && caption.back() != ' ')) caption += c;
  while (!caption.empty() && caption.back() == ' ') caption.pop_back();
  return caption;
}

std::string PlainText(std::string_view html) {
  static constexpr std::pair<std::string_view, std::string_view> kEntities[] = {
      {"&nbsp;", " "}, {"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}, {"&quot;", "\""}, {"&#39;", "'"}};
  std::string text;
  for (std::size_t i = 0; i < html.size();) {
    if (html[i] == '<') {
      const std::size_t end = html.find('>', i);
      i = end == std::string_view::npos ? html.size() : end + 1;
      text += ' ';
      continue;
    }
    bool entity = false;
    for (const auto& [name, character] : kEntities)
      if (html.substr(i, name.size()) == name) {
        text += character;
        i += name.size();
        entity = true;
        break;
      }
    if (entity) continue;
    text += html[i] == '\n' || html[i] == '\t' || html[i] == '\r' ? ' ' : html[i];
    ++i;
  }
  std::string collapsed;
  for (char c : text)
    if (c != ' ' || (!collapsed.empty() && collapsed.back() != ' ')) collapsed += c;
  while (!collapsed.empty() && collapsed.back() == ' ') collapsed.pop_back();
  return collapsed;
}

namespace {

// The cells of a table row: what stands between "<td>" and "</td>".
std::vector<std::string_view> Cells(std::string_view row) {
  std::vector<std::string_view> cells;
  for (std::size_t at = row.find("<td"); at != std::string_view::npos; at = row.find("<td", at)) {
    const std::size_t open = row.find('>', at);
    const std::size_t close = row.find("</td>", open);
    if (open == std::string_view::npos || close == std::string_view::npos) break;
    cells.push_back(row.substr(open + 1, close - open - 1));
    at = close;
  }
  return cells;
}

// A limit as the help writes it: the decimal digits of the single.
std::string Limit(double v) { return FormatSinglePattern(ToSingle(v), "0.##########"); }

}  // namespace

ParameterMeanings ReadParameterMeanings(std::string_view page) {
  ParameterMeanings meanings;
  std::string section;
  std::size_t at = 0;
  while (true) {
    const std::size_t heading = page.find("<h2", at);
    const std::size_t row = page.find("<tr", at);
    if (row == std::string_view::npos) break;
    if (heading != std::string_view::npos && heading < row) {
      const std::size_t end = page.find("</h2>", heading);
      section = PlainText(page.substr(heading, end == std::string_view::npos ? 0 : end - heading));
      at = end == std::string_view::npos ? page.size() : end;
      continue;
    }
    const std::size_t end = page.find("</tr>", row);
    const std::string_view cells = page.substr(row, end == std::string_view::npos ? end : end - row);
    at = end == std::string_view::npos ? page.size() : end;
    const std::vector<std::string_view> c = Cells(cells);
    if (c.size() != 3) continue;
    const std::string meaning = PlainText(c[1]);
    // Several captions of one row are each in bold.
    for (std::size_t b = c[0].find("<b>"); b != std::string_view::npos; b = c[0].find("<b>", b + 3)) {
      const std::size_t e = c[0].find("</b>", b);
      if (e == std::string_view::npos) break;
      meanings.push_back({section, PlainText(c[0].substr(b + 3, e - b - 3)), meaning});
    }
  }
  return meanings;
}

std::string AdmissibleValues(const CatalogueEntry& e) {
  const bool lower = e.ParamLowerLimit() > kNoLowerBound;
  const bool upper = e.ParamUpperLimit() < kNoUpperBound;
  if (lower && upper) return Limit(e.ParamLowerLimit()) + " to " + Limit(e.ParamUpperLimit());
  if (lower) return Limit(e.ParamLowerLimit()) + " or more";
  if (upper) return Limit(e.ParamUpperLimit()) + " or less";
  return "any value";
}

std::string ParameterTip(const Session& s, int position, const ParameterMeanings& meanings) {
  const CatalogueEntry& e = s.entryAt(position);
  const std::string caption = PlainCaption(e);
  const std::string kind =
      s.IsTestProcedure != kFalse ? "Test" : kProcedureCaptions[std::clamp<int>(s.ProcedureKind, 0, 2)];
  const ParameterMeaning* chosen = nullptr;
  for (const ParameterMeaning& m : meanings) {
    if (m.caption != caption) continue;
    if (chosen == nullptr || (m.section == kind && chosen->section != kind)) chosen = &m;
  }
  std::string tip = caption;
  if (chosen != nullptr) tip += ": " + chosen->meaning;
  return tip + "\nAdmissible values: " + AdmissibleValues(e) + ".";
}

}  // namespace pelmora
