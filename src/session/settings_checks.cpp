#include "session/settings_record.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "format/number_entry.h"
#include "session/procedure_table.h"

namespace pelmora {

namespace {

// The checks of single fields; each sets `why` and returns false on a refusal.
class FieldChecks {
 public:
  explicit FieldChecks(std::string& why) : why_(why) {}

  bool Range(int v, int lo, int hi, const RecordField& f) {
    if (v >= lo && v <= hi) return true;
    return Refuse("its " + f.Text() + " is " + std::to_string(v) + ", outside " + std::to_string(lo) +
                  " to " + std::to_string(hi));
  }
  bool Either(int v, int a, int b, const RecordField& f) {
    if (v == a || v == b) return true;
    return Refuse("its " + f.Text() + " is " + std::to_string(v) + ", not " + std::to_string(a) + " or " +
                  std::to_string(b));
  }
  bool IsFlag(int v, const RecordField& f) {
    if (v == kTrue || v == kFalse) return true;
    return Refuse("its " + f.Text() + " is " + std::to_string(v) + ", neither -1 (true) nor 0 (false)");
  }
  template <std::size_t N>
  bool AllInRange(const std::array<std::int16_t, N>& a, int lo, int hi, const char* name, int firstNumber) {
    for (std::size_t k = 0; k < N; ++k)
      if (!Range(a[k], lo, hi, {name, firstNumber + static_cast<int>(k)})) return false;
    return true;
  }
  bool Refuse(std::string why) {
    why_ = std::move(why);
    return false;
  }

 private:
  std::string& why_;
};

// A font size as the appearance dialogs store it: a whole number of points.
bool IsFontSize(const std::string& text) {
  if (text.empty() || text.size() > 2) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  const int points = std::stoi(text);
  return points >= 1 && points <= 99;
}

// The texts of value boxes: each one number as typing takes it (or "-", the
// text of a result that could not be calculated); `separator` splits a text
// that holds several.
std::string FirstUntypableNumber(const std::string& text, const std::string& separator = {}) {
  if (text == "-") return {};
  std::size_t start = 0;
  while (true) {
    const std::size_t end = separator.empty() ? std::string::npos : text.find(separator, start);
    const std::string part = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (!IsWellFormedNumber(part)) return part;
    if (end == std::string::npos) return {};
    start = end + separator.size();
  }
}

bool CheckTypedNumbers(const WindowSettings& r, FieldChecks& c) {
  auto check = [&c](const std::string& text, const RecordField& f, const std::string& separator = {}) {
    std::string part = FirstUntypableNumber(text, separator);
    if (part.empty()) return true;
    constexpr std::size_t kShown = 24;
    if (part.size() > kShown) part = part.substr(0, kShown) + "...";
    return c.Refuse("its " + f.Text() + " holds \"" + part + "\", which is not a number as it can be typed");
  };
  for (std::size_t p = 0; p < r.valueTexts.size(); ++p)
    if (!check(r.valueTexts[p], {"value text of position", static_cast<int>(p)})) return false;
  const std::array<std::pair<const std::string*, const char*>, 3> range = {
      {{&r.xMin, "x minimum"}, {&r.xMax, "x maximum"}, {&r.xStep, "x step"}}};
  for (const auto& [text, name] : range)
    if (!check(*text, {name})) return false;
  if (!check(r.zValues, {"z values"}, " ")) return false;
  for (std::size_t k = 0; k < r.axisTexts.size(); ++k)
    if (!check(r.axisTexts[k], {"axis text", static_cast<int>(k + 1)})) return false;
  return check(r.extraText, {"further graph text"}, kLineBreak);
}

}  // namespace

bool CheckSettingsRecord(const WindowSettings& r, std::string& why) {
  FieldChecks c(why);
  if (r.kind < 0 || r.kind > 3)
    return c.Refuse("its window kind is " + std::to_string(r.kind) +
                    ", not 0 (Calculation), 1 (Table), 2 (Graph) or 3 (Monte Carlo)");
  if (!c.IsFlag(r.IsTestProcedure, {"test-procedure flag"})) return false;
  const std::optional<Procedure> test = ProcedureAt(Menu::Tests, r.TestIndex);
  if (!test)
    return c.Refuse("its test index is " + std::to_string(r.TestIndex) +
                    ", which is not an item of the Test Procedures menu");
  const std::optional<Procedure> distribution = ProcedureAt(Menu::Distributions, r.DistributionIndex);
  if (!distribution)
    return c.Refuse("its distribution index is " + std::to_string(r.DistributionIndex) +
                    ", which is not an item of the Sample Distributions menu");
  if (!c.Either(r.SampleCount, 1, 2, {"number of samples"})) return false;
  if (!c.Range(r.TailCount, 1, 3, {"number of tails"})) return false;
  if (!c.IsFlag(r.RejectInLeftTail, {"left-tail flag"})) return false;
  const auto choices = static_cast<int>(RowOf(*distribution).parameterChoices.size());
  if (!c.Range(r.ParameterChoice, 0, std::max(choices - 1, 0), {"parameter choice"})) return false;
  if (!c.Range(r.ProcedureKind, 0, 2, {"procedure kind"})) return false;
  if (!c.Range(r.InterimCount, 0, 5, {"number of interim analyses"})) return false;
  if (!c.Range(r.IntParRowCount, 0, 4, {"number of parameter rows"})) return false;
  if (!c.AllInRange(r.IntParRowGroup, 0, kGroupCount - 1, "group of parameter row", 1)) return false;
  if (!c.AllInRange(r.IntParMode, 0, 2, "form of parameter group", 0)) return false;
  if (!c.Range(r.OptionCount, 0, 3, {"number of options"})) return false;
  if (!c.AllInRange(r.OptionId, 0, kOptionCount - 1, "option of check box", 1)) return false;
  if (!c.AllInRange(r.OptionState, 0, 1, "state of option", 0)) return false;
  if (!c.Range(r.UnknownPosition, 0, kMaxPosition, {"position of the unknown"})) return false;
  if (!c.Range(r.XPosition, 0, kMaxPosition, {"position of the x parameter"})) return false;
  if (!c.Range(r.ZPosition, 0, kMaxPosition, {"position of the z parameter"})) return false;
  if (!c.Range(r.xId, 0, kCatalogueSize - 1, {"catalogue id of the x parameter"})) return false;
  if (!c.Range(r.zId, 0, kCatalogueSize - 1, {"catalogue id of the z parameter"})) return false;
  if (!c.Range(r.LastPosition, 0, kMaxPosition, {"last list position"})) return false;
  if (!c.Range(r.lastHeading, -1, kHeadingCount - 1, {"index of the last heading line"})) return false;
  if (!IsFontSize(r.fontSize)) return c.Refuse("its font size is not a whole number of points from 1 to 99");
  // The bold flag is also written as 1 (a ticked check box).
  if (r.fontBold != 1 && !c.IsFlag(r.fontBold, {"bold flag"})) return false;
  if (!c.Range(r.TableColumns, 0, 10, {"number of table columns"})) return false;
  if (!c.Range(r.TableDecimals, -1, 8, {"number of table decimals"})) return false;
  if (!CheckTypedNumbers(r, c)) return false;
  if (r.LastPosition > 0) {
    const bool isTest = r.IsTestProcedure != kFalse;
    const std::string& name = isTest ? r.TestName : r.DistributionName;
    const std::string expected = ProcedureName(isTest ? *test : *distribution);
    if (name != expected)
      return c.Refuse(std::string("its ") + (isTest ? "test" : "distribution") +
                      " name is not that of the menu item it selects (\"" + expected + "\")");
  }
  return true;
}

}  // namespace pelmora
