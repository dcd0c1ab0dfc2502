// libFuzzer target: a settings file is untrusted input.  Each input is read
// as the bytes of a ".dim" file by a session that already has a window open;
// a record that decodes is opened as a new window and calculated the way the
// program calculates a window it opened from a file.  Besides the sanitizers'
// findings, the target traps when
// - a refusal gives no reason, or a decoded record does not encode and decode
//   to itself again;
// - opening a file changes the window that was open before, or a refused
//   file changes any record or shows other than one message.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <random>
#include <span>
#include <string>
#include <string_view>

#include "engine/calculation.h"
#include "output/range_headings.h"
#include "format/number_entry.h"
#include "output/table_layout.h"
#include "session/catalogue.h"
#include "engine/dispatch.h"
#include "session/procedure_table.h"
#include "engine/settings_apply.h"
#include "session/settings_file.h"
#include "session/window_records.h"

namespace {

using namespace pelmora;

// Plays the user who cancels a long range run: the clock advances a second
// per reading, so the progress display shows at once, and Cancel is pressed
// after a few points.
class CancellingProgress : public RangeProgress {
 public:
  void Show(int) override {}
  void SetValue(int) override {}
  void Hide() override {}
  void ProcessEvents() override {
    if (++points_ >= kPointsBeforeCancel) session_->CalcStopped = true;
  }
  explicit CancellingProgress(Session& s) : session_(&s) {}

 private:
  static constexpr int kPointsBeforeCancel = 6;
  Session* session_;
  int points_ = 0;
};

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// Numbers as a hostile or careless file may hold them.
constexpr const char* kNumbers[] = {"",       "-",      "0",       "-0",      "1",         "-1",    "0.5",
                                    "0,95",   "2",      "3",       "10",      "100",       "1000",  "1E6",
                                    "1e308",  "-1e308", "1E-320",  "99999",   "-99999",    "32767", "32768",
                                    "-32769", "1e10",   "0.00001", "0.99999", "1.0000001", ".",     "1E",
                                    "--1",    "1 2",    "7,5,3",   "abc"};

std::string SomeNumber(std::minstd_rand& rng) {
  if (rng() % 4 == 0) {
    // Any value, written as the program writes one.
    std::uniform_real_distribution<double> mantissa(-10, 10);
    std::uniform_int_distribution<int> exponent(-8, 8);
    return std::to_string(mantissa(rng) * std::pow(10.0, exponent(rng)));
  }
  return kNumbers[rng() % std::size(kNumbers)];
}

std::int16_t Below(std::minstd_rand& rng, int n) {
  return static_cast<std::int16_t>(rng() % static_cast<unsigned>(n));
}

// Changes one thing of a record the way a file that passes every check of
// its fields may still differ from what the program writes.
void MutateRecord(WindowSettings& r, std::minstd_rand& rng) {
  switch (rng() % 12) {
    case 0:
    case 1:
    case 2:
      r.valueTexts[static_cast<std::size_t>(Below(rng, kPositionCount))] = SomeNumber(rng);
      break;
    case 3: {
      std::string* texts[] = {&r.xMin, &r.xMax, &r.xStep};
      *texts[rng() % 3] = SomeNumber(rng);
      break;
    }
    case 4: {
      std::string z;
      for (int k = 0, n = 1 + Below(rng, 5); k < n; ++k) z += (k > 0 ? " " : "") + SomeNumber(rng);
      r.zValues = z;
      break;
    }
    case 5: {
      std::int16_t* roles[] = {&r.UnknownPosition, &r.XPosition, &r.ZPosition, &r.LastPosition};
      *roles[rng() % 4] = Below(rng, kPositionCount);
      break;
    }
    case 6:
      r.SampleCount = static_cast<std::int16_t>(1 + Below(rng, 2));
      r.TailCount = static_cast<std::int16_t>(1 + Below(rng, 3));
      r.RejectInLeftTail = rng() % 2 ? kTrue : kFalse;
      break;
    case 7:
      r.ProcedureKind = Below(rng, 3);
      if (const auto p = ProcedureAt(Menu::Distributions, r.DistributionIndex))
        r.ParameterChoice =
            Below(rng, std::max<int>(1, static_cast<int>(RowOf(*p).parameterChoices.size())));
      break;
    case 8:
      r.OptionState[static_cast<std::size_t>(Below(rng, kOptionCount))] = Below(rng, 2);
      r.IntParMode[static_cast<std::size_t>(Below(rng, kGroupCount))] = Below(rng, 3);
      break;
    case 9: {
      // Another menu item, named as the menu names it.
      const ProcedureRow& row = Procedures()[static_cast<std::size_t>(Below(rng, kProcedureCount))];
      if (row.menu == Menu::Tests) {
        r.IsTestProcedure = kTrue;
        r.TestIndex = row.index;
        r.TestName = ProcedureName(row.procedure);
      } else {
        r.IsTestProcedure = kFalse;
        r.DistributionIndex = row.index;
        r.DistributionName = ProcedureName(row.procedure);
        r.ParameterChoice = 0;
      }
      break;
    }
    case 10:
      r.xId = Below(rng, kCatalogueSize);
      r.zId = Below(rng, kCatalogueSize);
      break;
    default:
      r.kind = Below(rng, 3);
      r.TableColumns = Below(rng, 11);
      r.TableDecimals = static_cast<std::int16_t>(Below(rng, 10) - 1);
      break;
  }
}

}  // namespace

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

// Half of the mutations change a decodable record field by field, so that the
// search spends its time on files that pass the reader's checks.
extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                               unsigned int seed) {
  std::minstd_rand rng(seed);
  std::string why;
  auto read = rng() % 2 ? DecodeSettingsRecord(std::span<const std::uint8_t>(data, size), why) : std::nullopt;
  if (!read) return LLVMFuzzerMutate(data, size, maxSize);
  for (int k = 0, n = 1 + static_cast<int>(rng() % 3); k < n; ++k) MutateRecord(*read, rng);
  const auto bytes = EncodeSettingsRecord(*read);
  if (!bytes || bytes->size() > maxSize) return LLVMFuzzerMutate(data, size, maxSize);
  std::memcpy(data, bytes->data(), bytes->size());
  return bytes->size();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string why;
  const auto read = DecodeSettingsRecord(std::span<const std::uint8_t>(data, size), why);
  if (!read) {
    Check(!why.empty());
    return 0;
  }
  // Every decoded record is a record the writer can write; the texts, once
  // through the code page, stay as they are.
  const auto bytes = EncodeSettingsRecord(*read);
  Check(bytes.has_value());
  std::string again;
  const auto back = DecodeSettingsRecord(*bytes, again);
  Check(back.has_value());
  const auto bytesAgain = EncodeSettingsRecord(*back);
  Check(bytesAgain.has_value() && *bytesAgain == *bytes);

  RecordingUserInterface ui;
  Session s(ui);
  Dispatcher d(s);
  OpenWindowRecord(s, WindowKind::Calculation);
  d.Select(Procedure::UnpairedT);
  d.ApplyOptions();
  s.ResultsCurrent = true;
  StoreWindowSettings(s);
  const std::vector<WindowSettings> before = s.records;

  const int r = ApplySettingsRecord(d, *read);
  Check(s.records[1] == before[1]);
  if (r == 0) {
    Check(s.records == before);
    Check(ui.messages.size() == 1);
    return 0;
  }
  Check(r == static_cast<int>(s.records.size()) - 1 && s.ActiveRecord == r);

  if (read->kind == static_cast<std::int16_t>(WindowKind::Calculation)) {
    CalculateSingle(d);
    return 0;
  }
  CancellingProgress progress(s);
  double now = 0;
  const RangeOutcome outcome = CalculateRange(d, &progress, [&now] { return now += 1.0; });
  const bool table = read->kind == static_cast<std::int16_t>(WindowKind::Table);
  BuildRangeHeadings(s, table);
  if (outcome == RangeOutcome::Done) {
    std::int16_t decimals = s.records[static_cast<std::size_t>(r)].TableDecimals;
    const TableModel model =
        LayoutTable(TableContentOf(s), decimals, s.records[static_cast<std::size_t>(r)].TableColumns,
                    [](std::string_view text) { return static_cast<double>(text.size()); });
    Check(model.blocks.size() <= s.ZValues.size());
  }
  return 0;
}
