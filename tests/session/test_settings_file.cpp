// Settings files: the record's layout, its length, the Windows code page of
// its texts (a character it lacks is refused, never changed), the proposed
// names; a save that respects the user's file (read-only, permissions,
// symbolic links, the temporary file, a failure half-way); reading a record
// back field by field, the refusal of every kind of damaged or hostile file
// with one message and an unchanged session, and opening a file as a new
// window of its kind.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <string_view>
#include <utility>

#include "engine/calculation.h"
#include "procedures/hypothesis/student_t.h"
#include "session/calculation_rows.h"
#include "session/menus.h"
#include "engine/settings_apply.h"
#include "session/settings_file.h"
#include "session/user_files.h"
#include "engine/window_activation.h"
#include "session/window_records.h"
#include "support/planning_fixture.h"
#include "session/typed_text.h"

namespace pelmora {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using Ids = StudentT::Ids;

std::int16_t IntAt(const Bytes& b, std::size_t at) {
  return static_cast<std::int16_t>(b[at] | (b[at + 1] << 8));
}

void PutInt(Bytes& b, std::size_t at, std::int16_t v) {
  const auto u = static_cast<std::uint16_t>(v);
  b[at] = static_cast<std::uint8_t>(u & 0xFF);
  b[at + 1] = static_cast<std::uint8_t>(u >> 8);
}

// The fields of a settings record in file order: integers, and texts (a
// length and that many bytes), each with its count of elements.
enum class FieldType { Int, Text };
struct RecordField {
  std::string_view name;
  FieldType type;
  int count;
};
constexpr FieldType I = FieldType::Int;
constexpr FieldType T = FieldType::Text;
constexpr RecordField kLayout[] = {
    {"kind", I, 1},         {"number", I, 1},           {"title", T, 1},          {"IsTestProcedure", I, 1},
    {"TestIndex", I, 1},    {"TestName", T, 1},         {"DistributionIndex", I, 1}, {"DistributionName", T, 1},
    {"SampleCount", I, 1},  {"TailCount", I, 1},        {"RejectInLeftTail", I, 1}, {"ParameterChoice", I, 1},
    {"ProcedureKind", I, 1}, {"InterimCount", I, 1},    {"IntParRowCount", I, 1}, {"IntParRowGroup", I, 4},
    {"IntParMode", I, 37},  {"OptionCount", I, 1},      {"OptionId", I, 3},       {"OptionState", I, 15},
    {"UnknownPosition", I, 1}, {"XPosition", I, 1},     {"ZPosition", I, 1},      {"xId", I, 1},
    {"zId", I, 1},          {"xMin", T, 1},             {"xMax", T, 1},           {"xStep", T, 1},
    {"zValues", T, 1},      {"LastPosition", I, 1},     {"valueTexts", T, 13},    {"lastHeading", I, 1},
    {"headings", T, 16},    {"graphTexts", T, 4},       {"axisTexts", T, 4},      {"extraText", T, 1},
    {"fontName", T, 1},     {"fontSize", T, 1},         {"fontBold", I, 1},       {"TableColumns", I, 1},
    {"TableDecimals", I, 1}};

// The offset of element k of a field in an encoded record, found by walking
// the record's own lengths; "end" gives the length of the used part.
std::size_t OffsetOf(const Bytes& b, std::string_view name, int k = 0) {
  std::size_t at = 0;
  for (const RecordField& f : kLayout) {
    for (int e = 0; e < f.count; ++e) {
      if (f.name == name && e == k) return at;
      at += 2 + (f.type == FieldType::Text ? static_cast<std::size_t>(IntAt(b, at)) : 0);
    }
  }
  if (name != "end") ADD_FAILURE() << "no field " << name;
  return at;
}

void Patch(Bytes& b, std::string_view name, std::int16_t v, int k = 0) { PutInt(b, OffsetOf(b, name, k), v); }

// A record in which every field holds a value of its own, the arrays full;
// its texts hold characters of the code page beyond ASCII.
WindowSettings DistinctiveRecord() {
  WindowSettings r;
  r.kind = 2;
  r.number = 7;
  r.title = "Gr\xC3\xB6\xC3\x9F" "e \xE2\x80\x9C" "7\xE2\x80\x9D";  // the quotes are single bytes too
  r.IsTestProcedure = kTrue;
  r.TestIndex = 16;
  r.TestName = "Bioequivalence test";
  r.DistributionIndex = 10;
  r.DistributionName = "Bivariate Normal Distribution";
  r.SampleCount = 1;
  r.TailCount = 3;
  r.RejectInLeftTail = kTrue;
  r.ParameterChoice = 3;
  r.ProcedureKind = 2;
  r.InterimCount = 5;
  r.IntParRowCount = 4;
  r.IntParRowGroup = {36, 1, 2, 21};
  for (int g = 0; g < kGroupCount; ++g) r.IntParMode[static_cast<std::size_t>(g)] = static_cast<std::int16_t>(g % 3);
  r.OptionCount = 3;
  r.OptionId = {14, 0, 7};
  for (int o = 0; o < kOptionCount; ++o) r.OptionState[static_cast<std::size_t>(o)] = static_cast<std::int16_t>(o % 2);
  r.UnknownPosition = 0;
  r.XPosition = 5;
  r.ZPosition = 12;
  r.xId = 250;
  r.zId = 1;
  r.xMin = "0,5";
  r.xMax = "-3";
  r.xStep = "";
  r.zValues = "1 2,5 -.5";
  r.LastPosition = 12;
  for (int p = 0; p < kPositionCount; ++p)
    r.valueTexts[static_cast<std::size_t>(p)] = p == 4 ? "" : p == 0 ? "-" : std::to_string(p) + ",25";
  r.lastHeading = 15;
  for (int h = 0; h < kHeadingCount; ++h) r.headings[static_cast<std::size_t>(h)] = "Heading " + std::to_string(h);
  r.graphTexts = {"Title \xE2\x82\xAC", "", "y \xC2\xB1 1", "z"};  // the euro sign is one byte in the file
  r.axisTexts = {"0", "10", "-1", "1"};
  r.extraText = "2\r\n0.5";
  r.fontName = "Times New Roman";
  r.fontSize = "28";
  r.fontBold = kTrue;
  r.TableColumns = 10;
  r.TableDecimals = 8;
  return r;
}

Bytes Encode(const WindowSettings& r) {
  const auto bytes = EncodeSettingsRecord(r);
  EXPECT_TRUE(bytes);
  return bytes ? *bytes : Bytes();
}

// The record of a Table window of the unpaired t-test, as the program itself
// stores it, made in a session of its own.
WindowSettings TTestTableRecord(const std::function<void(Session&, Dispatcher&)>& change = {}) {
  RecordingUserInterface ui;
  Session s(ui);
  Dispatcher d(s);
  OpenWindowRecord(s, WindowKind::Table);
  d.Select(Procedure::UnpairedT);
  d.ApplyOptions();
  s.XPosition = 6;  // the first sample size
  s.ZPosition = 5;  // the standard deviation
  s.entryAt(s.XPosition).TableMin = "10";
  s.entryAt(s.XPosition).TableMax = "30";
  s.entryAt(s.XPosition).TableStep = "10";
  s.entryAt(s.ZPosition).ZValueText = "1 2";
  if (change) change(s, d);
  s.ResultsCurrent = true;
  StoreWindowSettings(s);
  return s.records[1];
}

// A folder of this test and process: the test runner runs tests side by side.
class FolderTest : public testing::PlanningTest {
 protected:
  FolderTest() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = fs::temp_directory_path() / ("pelmora-" + std::string(info->name()) + "-" + std::to_string(getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  ~FolderTest() override {
    std::error_code ignored;
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(folder_, ignored);
  }
  std::string Path(const std::string& name) const { return (folder_ / name).string(); }
  static void WriteBytes(const std::string& path, const Bytes& b) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
  }
  static std::string Contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // The names in the folder.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  static unsigned Mode(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
  }

  fs::path folder_;
};

// ---- Writing ----------------------------------------------------------------

TEST(SettingsFile, RecordLayout) {
  WindowSettings r;
  r.kind = 1;
  r.number = 2;
  r.title = "Table 2";
  r.IsTestProcedure = kTrue;
  r.TestIndex = 16;
  r.TestName = "Bioequivalence test";
  const auto bytes = EncodeSettingsRecord(r);
  ASSERT_TRUE(bytes);
  ASSERT_EQ(bytes->size(), kSettingsRecordLength);
  EXPECT_EQ(IntAt(*bytes, 0), 1);
  EXPECT_EQ(IntAt(*bytes, 2), 2);
  EXPECT_EQ(IntAt(*bytes, 4), 7);  // the length of the title
  EXPECT_EQ(std::string(bytes->begin() + 6, bytes->begin() + 13), "Table 2");
  EXPECT_EQ(IntAt(*bytes, 13), -1);  // a True flag
  EXPECT_EQ((*bytes)[13], 0xFF);
  EXPECT_EQ(IntAt(*bytes, 15), 16);
  EXPECT_EQ(IntAt(*bytes, 17), 19);
  // The record ends with the table's columns and decimals (-1: automatic),
  // then zeros.  Fixed part: 82 integers and 47 text lengths; here 7 + 19 + 5 + 1
  // text bytes ("Arial", "9").
  const std::size_t used = 2 * 82 + 2 * 47 + 7 + 19 + 5 + 1;
  EXPECT_EQ(OffsetOf(*bytes, "end"), used);
  EXPECT_EQ(OffsetOf(*bytes, "TableDecimals"), used - 2);
  EXPECT_EQ(IntAt(*bytes, used - 2), -1);
  for (std::size_t i = used; i < bytes->size(); ++i) ASSERT_EQ((*bytes)[i], 0) << i;
}

TEST(SettingsFile, TextsThatDoNotFitAreRefused) {
  WindowSettings r;
  r.title = std::string(1000, 'x');
  EXPECT_TRUE(EncodeSettingsRecord(r));
  r.extraText = std::string(400, 'y');
  std::string why;
  EXPECT_FALSE(EncodeSettingsRecord(r, &why));
  EXPECT_EQ(why, "Its texts are too long for a settings file.");
  // Exactly full fits.
  r.extraText.clear();
  const std::size_t used = OffsetOf(Encode(r), "end");
  r.extraText = std::string(kSettingsRecordLength - used, 'y');
  EXPECT_TRUE(EncodeSettingsRecord(r));
  r.extraText += 'y';
  EXPECT_FALSE(EncodeSettingsRecord(r));
}

// Text goes through cp1252 unchanged both ways: every byte reads back as it
// was (the five unused ones as the control characters of their number), and
// a character the code page lacks is refused, not replaced.
TEST(SettingsFile, WindowsCodePage) {
  EXPECT_EQ(ToWindowsAnsi("Mean 2* \xE2\x82\xAC \xC3\xA9"), "Mean 2* \x80 \xE9");
  EXPECT_EQ(FromWindowsAnsi("\x80\xE9\x96"), "\xE2\x82\xAC\xC3\xA9\xE2\x80\x93");
  std::string every;
  for (int b = 1; b < 256; ++b) every += static_cast<char>(b);
  EXPECT_EQ(ToWindowsAnsi(FromWindowsAnsi(every)), every);
  EXPECT_EQ(FromWindowsAnsi("\x81\x9D"), "\xC2\x81\xC2\x9D");

  const std::string title = "Gr\xC3\xB6\xC3\x9F" "e \xC2\xB5 \xE2\x89\xA5 5";  // "Größe µ ≥ 5"
  EXPECT_EQ(FirstCharacterNotInWindowsAnsi(title), "\xE2\x89\xA5");
  EXPECT_EQ(FirstCharacterNotInWindowsAnsi("\xC3"), "\xC3");  // a cut-off character
  EXPECT_EQ(FirstCharacterNotInWindowsAnsi(FromWindowsAnsi(every)), "");
  RecordingUserInterface ui;
  std::string typed = title;
  EXPECT_FALSE(CheckWindowsAnsi(typed, ui));
  EXPECT_EQ(typed, "Gr\xC3\xB6\xC3\x9F" "e \xC2\xB5  5");
  EXPECT_EQ(ui.beeps, 1);
  EXPECT_EQ(ui.LastText(), "\"\xE2\x89\xA5\" cannot be kept in a settings file, which holds only the characters "
                           "of the Windows code page 1252 (Western European).");
  EXPECT_TRUE(CheckWindowsAnsi(typed, ui));

  WindowSettings r;
  r.graphTexts[0] = title;
  std::string why;
  EXPECT_FALSE(EncodeSettingsRecord(r, &why));
  EXPECT_EQ(why, ui.LastText());
}

TEST(SettingsFile, ProposedNames) {
  WindowSettings r;
  r.kind = 1;
  r.number = 2;
  EXPECT_EQ(ProposedSettingsFileName(r), "Table2.dim");
  r.kind = 0;
  r.number = 1;
  EXPECT_EQ(ProposedSettingsFileName(r), "Calc1.dim");
  r.kind = 3;
  EXPECT_EQ(ProposedSettingsFileName(r), "Monte1.dim");
}

// ---- The user's files -------------------------------------------------------

using UserFiles = FolderTest;

TEST_F(UserFiles, SavingClearsTheChangedFlagAndRefusesWhatCannotBeKept) {
  OpenWindowRecord(s, WindowKind::Calculation);
  s.records[1].WindowChanged = true;
  const std::string path = Path("Calc1.dim");
  ASSERT_TRUE(WriteSettingsFile(s, path));
  EXPECT_FALSE(s.records[1].WindowChanged);
  EXPECT_EQ(fs::file_size(path), kSettingsRecordLength);
  EXPECT_EQ(Names(), std::vector<std::string>{"Calc1.dim"});
  const std::string earlier = Contents(path);
  EXPECT_EQ(earlier[6], 'C');

  // Texts too long, a character the code page lacks: nothing is written.
  s.records[1].WindowChanged = true;
  s.records[1].extraText = std::string(1400, 'z');
  EXPECT_FALSE(WriteSettingsFile(s, path));
  EXPECT_EQ(ui.LastText(), "The settings of \"Calculation 1\" cannot be saved. Its texts are too long for a "
                           "settings file.");
  s.records[1].extraText.clear();
  s.records[1].graphTexts[0] = "\xE2\x89\xA5";
  EXPECT_FALSE(WriteSettingsFile(s, path));
  EXPECT_EQ(ui.LastText().rfind("The settings of \"Calculation 1\" cannot be saved. \"\xE2\x89\xA5\" cannot be kept", 0),
            0u);
  EXPECT_TRUE(s.records[1].WindowChanged);
  EXPECT_EQ(Contents(path), earlier);
  EXPECT_EQ(Names(), std::vector<std::string>{"Calc1.dim"});
  EXPECT_EQ(ui.messages.size(), 2u);
}

// A write that fails half-way (the file grows beyond the size the process may
// write) leaves the earlier file and no temporary one, and gives the reason.
TEST_F(UserFiles, AFailureHalfWayLeavesTheEarlierFile) {
  const std::string path = Path("big.dim");
  WriteBytes(path, Bytes(10, 1));
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  const rlimit small{100, limit.rlim_max};
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  std::string error;
  const bool written = WriteUserFile(path, std::string(kSettingsRecordLength, 'x'), error);
  setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, previous);
  EXPECT_FALSE(written);
  EXPECT_EQ(error, "The file \"big.dim\" cannot be written: file too large.");
  EXPECT_EQ(Contents(path), std::string(10, 1));
  EXPECT_EQ(Names(), std::vector<std::string>{"big.dim"});
}

// ---- Reading back -------------------------------------------------------------

TEST(SettingsFile, EveryFieldReadsBack) {
  const WindowSettings r = DistinctiveRecord();
  const Bytes bytes = Encode(r);
  std::string why;
  const auto back = DecodeSettingsRecord(bytes, why);
  ASSERT_TRUE(back) << why;
  EXPECT_EQ(*back, r);
  EXPECT_EQ(back->valueTexts[3], "3,25");
  EXPECT_EQ(back->valueTexts[0], "-");  // a result that could not be calculated
  EXPECT_EQ(back->xStep, "");
  // The euro sign, the German letters and the quotes are single bytes in the file.
  EXPECT_EQ(IntAt(bytes, OffsetOf(bytes, "graphTexts")), 7);
  EXPECT_EQ(IntAt(bytes, OffsetOf(bytes, "title")), 9);

  // The defaults of a new record, with its -1 decimals and empty texts.
  WindowSettings fresh;
  fresh.title = "Calculation 1";
  const auto plain = DecodeSettingsRecord(Encode(fresh), why);
  ASSERT_TRUE(plain) << why;
  EXPECT_EQ(*plain, fresh);
}

TEST_F(UserFiles, AWrittenFileIsOneRecordAndReadsBack) {
  OpenWindowRecord(s, WindowKind::Graph);
  const WindowSettings r = DistinctiveRecord();
  s.records[1] = r;
  const std::string path = Path("Graph7.dim");
  ASSERT_TRUE(WriteSettingsFile(s, path));
  EXPECT_EQ(fs::file_size(path), kSettingsRecordLength);
  const auto back = ReadSettingsFile(s, path);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, r);
  EXPECT_TRUE(ui.messages.empty());
}

// ---- Damaged and hostile files -------------------------------------------

// A session with two windows open: a solved Calculation window of the
// unpaired t-test and a Table window of the paired one.
class OpeningFiles : public FolderTest {
 protected:
  OpeningFiles() {
    OpenWindowRecord(s, WindowKind::Calculation);
    d.Select(Procedure::UnpairedT);
    d.ApplyOptions();
    CalculateSingle(d);
    OpenWindowRecord(s, WindowKind::Table);
    d.Select(Procedure::PairedT);
    d.ApplyOptions();
    s.ResultsCurrent = true;
    StoreWindowSettings(s);
    ActivateWindow(d, 1);
  }

  // What opening must leave as it was.
  struct State {
    std::vector<WindowSettings> records;
    int active;
    Flag isTest;
    int testIndex, distributionIndex, samples, tails, kind, choice, last, unknown, x, z;
    std::string testName, distributionName, description;
    std::array<std::int16_t, kPositionCount> list;
    std::array<std::int16_t, kOptionCount> options;
    std::array<std::int16_t, kGroupCount> forms;
    std::vector<std::string> catalogueTexts;
    std::array<std::int16_t, 4> bounds;
    bool resultsCurrent;
    bool operator==(const State&) const = default;
  };
  State Now() const {
    State t{s.records,          s.ActiveRecord,  s.IsTestProcedure, s.TestIndex,       s.DistributionIndex,
            s.SampleCount,      s.TailCount,     s.ProcedureKind,   s.ParameterChoice, s.LastPosition,
            s.UnknownPosition,  s.XPosition,     s.ZPosition,       s.TestName,        s.DistributionName,
            s.Description,      s.ParameterList, s.OptionState,     s.IntParMode,      {},
            s.WindowArrayBound, s.ResultsCurrent};
    for (int id = 0; id < kCatalogueSize; ++id) {
      const CatalogueEntry& e = std::as_const(s).entry(id);
      for (const std::string* text : {&e.ParamText, &e.TableMin, &e.TableMax, &e.TableStep, &e.ZValueText})
        t.catalogueTexts.push_back(*text);
    }
    return t;
  }

  // Opens the file at `path`: nothing may open, one message titled "Open
  // File" is shown, and the session is as it was.  Returns the message text.
  std::string RefusedFile(const std::string& path) {
    const State before = Now();
    const std::size_t messages = ui.messages.size();
    EXPECT_EQ(OpenSettingsFile(d, path), 0);
    EXPECT_EQ(ui.messages.size(), messages + 1);
    EXPECT_TRUE(Now() == before);
    if (ui.messages.size() != messages + 1) return {};
    EXPECT_EQ(ui.messages.back().title, "Open File");
    EXPECT_EQ(ui.messages.back().icon, MessageIcon::Exclamation);
    return ui.messages.back().text;
  }
  // The same for the bytes as the file "bad.dim".
  std::string Refused(const Bytes& bytes) {
    WriteBytes(Path("bad.dim"), bytes);
    return RefusedFile(Path("bad.dim"));
  }
  std::string Refused(const WindowSettings& r) { return Refused(Encode(r)); }
  static std::string Cannot(const std::string& why) {
    return "The file \"bad.dim\" cannot be opened: " + why + ".";
  }
};

TEST_F(OpeningFiles, AGoodFileOpens) {
  // The base of the damaged files below opens when left as it is.
  WriteBytes(Path("good.dim"), Encode(TTestTableRecord()));
  EXPECT_EQ(OpenSettingsFile(d, Path("good.dim")), 3);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(OpeningFiles, WhatIsNotASettingsFileIsRefused) {
  EXPECT_EQ(Refused(Bytes(12, 0)), Cannot("it is not a settings file of this program (it is 12 bytes long, "
                                          "a settings file is 1352)"));
  EXPECT_EQ(Refused(Bytes(1, 0)), Cannot("it is not a settings file of this program (it is 1 byte long, "
                                         "a settings file is 1352)"));
  EXPECT_EQ(Refused(Bytes()), Cannot("it is not a settings file of this program (it is 0 bytes long, "
                                     "a settings file is 1352)"));
  Bytes longer = Encode(TTestTableRecord());
  for (std::size_t size : {std::size_t{5000}, kSettingsRecordLength + 1}) {
    longer.resize(size, 1);
    EXPECT_EQ(Refused(longer), Cannot("it is not a settings file of this program (it is more than 1352 bytes "
                                      "long, a settings file is 1352)"));
  }
  std::string why;
  longer.resize(kSettingsRecordLength - 1);
  EXPECT_FALSE(DecodeSettingsRecord(longer, why));
  EXPECT_EQ(why, "it is not a settings file of this program (it is 1351 bytes long, a settings file is 1352)");

  EXPECT_EQ(RefusedFile(Path("missing.dim")), "The file \"missing.dim\" cannot be opened: it does not exist.");
  fs::create_directories(Path("folder.dim"));
  EXPECT_EQ(RefusedFile(Path("folder.dim")), "The file \"folder.dim\" cannot be opened: it is a folder, not a file.");
}

TEST_F(OpeningFiles, TextsThatDoNotFitTheRecordAreRefused) {
  const Bytes good = Encode(TTestTableRecord());
  const std::pair<std::pair<std::string_view, int>, std::pair<std::int16_t, const char*>> cases[] = {
      {{"title", 0}, {-1, "its title has a negative length (-1)"}},
      {{"valueTexts", 3}, {2000, "its value text of position 3 is 2000 bytes long and runs past the end of the record"}},
      {{"TestName", 0}, {1352, "its test name is 1352 bytes long and runs past the end of the record"}},
      {{"headings", 15}, {-32768, "its heading line 16 has a negative length (-32768)"}}};
  for (const auto& [field, patch] : cases) {
    Bytes b = good;
    Patch(b, field.first, patch.first, field.second);
    EXPECT_EQ(Refused(b), Cannot(patch.second)) << field.first;
  }

  // A record filled to its last byte: after the length of the font size, 7
  // bytes remain (its "9" and three integers).  A longer font size leaves too
  // few bytes for the integers that follow it.
  WindowSettings full = TTestTableRecord();
  full.headings[15] = std::string(kSettingsRecordLength - OffsetOf(good, "end"), 'x');
  const Bytes filled = Encode(full);
  ASSERT_EQ(OffsetOf(filled, "end"), kSettingsRecordLength);
  std::string why;
  ASSERT_TRUE(DecodeSettingsRecord(filled, why)) << why;
  const std::pair<std::int16_t, const char*> lengths[] = {
      {8, "its font size is 8 bytes long and runs past the end of the record"},
      {7, "its bold flag runs past the end of the record"},
      {6, "its bold flag runs past the end of the record"},
      {5, "its number of table columns runs past the end of the record"},
      {4, "its number of table columns runs past the end of the record"},
      {3, "its number of table decimals runs past the end of the record"},
      {2, "its number of table decimals runs past the end of the record"}};
  for (const auto& [length, reason] : lengths) {
    Bytes b = filled;
    Patch(b, "fontSize", length);
    EXPECT_EQ(Refused(b), Cannot(reason)) << length;
  }
}

// Every count, index, flag and appearance value outside what the program
// indexes with it, patched into the file of a good record.
TEST_F(OpeningFiles, FieldsOutsideTheirRanges) {
  const struct {
    std::string_view field;
    std::int16_t value;
    int k;
    const char* reason;
  } cases[] = {
      {"kind", 4, 0, "its window kind is 4, not 0 (Calculation), 1 (Table), 2 (Graph) or 3 (Monte Carlo)"},
      {"kind", -1, 0, "its window kind is -1, not 0 (Calculation), 1 (Table), 2 (Graph) or 3 (Monte Carlo)"},
      {"IntParRowCount", 5, 0, "its number of parameter rows is 5, outside 0 to 4"},
      {"IntParRowCount", -1, 0, "its number of parameter rows is -1, outside 0 to 4"},
      {"OptionCount", 4, 0, "its number of options is 4, outside 0 to 3"},
      {"lastHeading", 16, 0, "its index of the last heading line is 16, outside -1 to 15"},
      {"lastHeading", -2, 0, "its index of the last heading line is -2, outside -1 to 15"},
      {"LastPosition", 13, 0, "its last list position is 13, outside 0 to 12"},
      {"InterimCount", 6, 0, "its number of interim analyses is 6, outside 0 to 5"},
      {"IntParRowGroup", 37, 3, "its group of parameter row 4 is 37, outside 0 to 36"},
      {"IntParRowGroup", -1, 0, "its group of parameter row 1 is -1, outside 0 to 36"},
      {"IntParMode", 3, 36, "its form of parameter group 36 is 3, outside 0 to 2"},
      {"OptionId", 15, 1, "its option of check box 2 is 15, outside 0 to 14"},
      {"OptionId", -5, 2, "its option of check box 3 is -5, outside 0 to 14"},
      {"OptionState", 2, 14, "its state of option 14 is 2, outside 0 to 1"},
      {"xId", 251, 0, "its catalogue id of the x parameter is 251, outside 0 to 250"},
      {"zId", -1, 0, "its catalogue id of the z parameter is -1, outside 0 to 250"},
      {"UnknownPosition", 13, 0, "its position of the unknown is 13, outside 0 to 12"},
      {"XPosition", -1, 0, "its position of the x parameter is -1, outside 0 to 12"},
      {"ZPosition", 32767, 0, "its position of the z parameter is 32767, outside 0 to 12"},
      // The normal distribution offers four parameter choices.
      {"ParameterChoice", 4, 0, "its parameter choice is 4, outside 0 to 3"},
      {"ParameterChoice", -1, 0, "its parameter choice is -1, outside 0 to 3"},
      {"TestIndex", 3, 0, "its test index is 3, which is not an item of the Test Procedures menu"},
      {"TestIndex", 19, 0, "its test index is 19, which is not an item of the Test Procedures menu"},
      {"TestIndex", -1, 0, "its test index is -1, which is not an item of the Test Procedures menu"},
      {"DistributionIndex", 7, 0, "its distribution index is 7, which is not an item of the Sample Distributions menu"},
      {"DistributionIndex", 11, 0, "its distribution index is 11, which is not an item of the Sample Distributions menu"},
      {"SampleCount", 0, 0, "its number of samples is 0, not 1 or 2"},
      {"SampleCount", 3, 0, "its number of samples is 3, not 1 or 2"},
      {"TailCount", 0, 0, "its number of tails is 0, outside 1 to 3"},
      {"TailCount", 4, 0, "its number of tails is 4, outside 1 to 3"},
      {"ProcedureKind", 3, 0, "its procedure kind is 3, outside 0 to 2"},
      {"ProcedureKind", -1, 0, "its procedure kind is -1, outside 0 to 2"},
      {"IsTestProcedure", 1, 0, "its test-procedure flag is 1, neither -1 (true) nor 0 (false)"},
      {"RejectInLeftTail", 2, 0, "its left-tail flag is 2, neither -1 (true) nor 0 (false)"},
      {"fontBold", 2, 0, "its bold flag is 2, neither -1 (true) nor 0 (false)"},
      {"TableColumns", 11, 0, "its number of table columns is 11, outside 0 to 10"},
      {"TableColumns", -1, 0, "its number of table columns is -1, outside 0 to 10"},
      {"TableDecimals", 9, 0, "its number of table decimals is 9, outside -1 to 8"},
      {"TableDecimals", -2, 0, "its number of table decimals is -2, outside -1 to 8"},
  };
  const Bytes good = Encode(TTestTableRecord());
  for (const auto& c : cases) {
    Bytes b = good;
    Patch(b, c.field, c.value, c.k);
    EXPECT_EQ(Refused(b), Cannot(c.reason)) << c.field << " " << c.value;
  }
  // No headings (-1 or 0) and the last one (15) are what the program writes;
  // a ticked check box writes 1 for bold.
  for (const auto& [field, value] : {std::pair{"lastHeading", -1}, {"lastHeading", 0}, {"lastHeading", 15},
                                     {"fontBold", 1}}) {
    Bytes b = good;
    Patch(b, field, static_cast<std::int16_t>(value));
    std::string why;
    EXPECT_TRUE(DecodeSettingsRecord(b, why)) << why;
  }
}

// The texts of the record checked as the boxes they come from check them.
TEST_F(OpeningFiles, TextsOutsideWhatTheirBoxesTake) {
  const struct {
    std::function<void(WindowSettings&)> damage;
    const char* reason;
  } cases[] = {
      {[](WindowSettings& r) { r.valueTexts[5] = "1.\xC3\x86" "0"; },
       "its value text of position 5 holds \"1.\xC3\x86" "0\", which is not a number as it can be typed"},
      {[](WindowSettings& r) { r.valueTexts[2] = "2.5.3"; },
       "its value text of position 2 holds \"2.5.3\", which is not a number as it can be typed"},
      {[](WindowSettings& r) { r.xStep = "--1"; }, "its x step holds \"--1\", which is not a number as it can be typed"},
      {[](WindowSettings& r) { r.zValues = "1 2x 3"; },
       "its z values holds \"2x\", which is not a number as it can be typed"},
      {[](WindowSettings& r) { r.axisTexts[3] = "1E3"; },
       "its axis text 4 holds \"1E3\", which is not a number as it can be typed"},
      {[](WindowSettings& r) { r.extraText = "1\r\n0.5;"; },
       "its further graph text holds \"0.5;\", which is not a number as it can be typed"},
      {[](WindowSettings& r) { r.valueTexts[1] = std::string(40, '9') + "a"; },
       "its value text of position 1 holds \"999999999999999999999999...\", which is not a number as it can be typed"},
      {[](WindowSettings& r) { r.fontSize = "9.5"; }, "its font size is not a whole number of points from 1 to 99"},
      {[](WindowSettings& r) { r.TestName = "Sign test"; },
       "its test name is not that of the menu item it selects (\"Student's unpaired t-test\")"},
      {[](WindowSettings& r) { r.TestName.clear(); },
       "its test name is not that of the menu item it selects (\"Student's unpaired t-test\")"},
  };
  for (const auto& c : cases) {
    WindowSettings r = TTestTableRecord();
    c.damage(r);
    EXPECT_EQ(Refused(r), Cannot(c.reason));
  }
  for (const char* size : {"0", "100", "", "abc", " 9", "-9"}) {
    WindowSettings r = TTestTableRecord();
    r.fontSize = size;
    EXPECT_EQ(Refused(r), Cannot("its font size is not a whole number of points from 1 to 99")) << size;
  }
  // Blank, decimal comma, "-" of a result not calculated, and a whole size of
  // one or two digits pass.
  WindowSettings r = TTestTableRecord();
  r.valueTexts[2] = " 0,5 ";
  r.valueTexts[0] = "-";
  r.zValues = "1  2,5";
  r.fontSize = "99";
  std::string why;
  EXPECT_TRUE(DecodeSettingsRecord(Encode(r), why)) << why;
}

// The rules of the user's files, one state of the folder per case: "x.dim"
// written or opened.  A write that succeeds leaves everything as it was but
// the file written, which holds the new bytes in its earlier mode (a new
// file: as the process's mask allows); a refusal leaves the folder as it
// was, and an opening refused the session too.
TEST_F(OpeningFiles, TheRulesOfTheUsersFiles) {
  const std::string x = Path("x.dim");
  const Bytes earlier(5, 'e');
  const auto own = fs::perms::owner_read | fs::perms::owner_write;
  auto made = [&](const std::string& path, fs::perms perms) {
    WriteBytes(path, earlier);
    fs::permissions(path, perms);
  };
  // Every name in the folder with what it is: a file's contents and mode.
  auto folder = [&] {
    std::map<std::string, std::string> what;
    for (const auto& e : fs::directory_iterator(folder_)) {
      const std::string p = e.path().string();
      what[e.path().filename().string()] = e.is_symlink()          ? "link to " + fs::read_symlink(p).string()
                                           : e.is_regular_file()   ? Contents(p) + " " + std::to_string(Mode(p))
                                           : e.is_directory()      ? "folder"
                                                                   : "other";
    }
    return what;
  };
  const mode_t mask = umask(0);
  umask(mask);
  constexpr bool kWrite = true, kOpen = false;
  const struct {
    const char* what;
    std::function<void()> make;
    bool write;
    std::string message;  // empty when the write succeeds
    std::string path;     // written instead of x.dim
  } cases[] = {
      {"a new file", [] {}, kWrite, "", ""},
      {"a read-only target", [&] { made(x, fs::perms::owner_read | fs::perms::group_read); }, kWrite,
       "The file \"x.dim\" cannot be written: it is read-only (permission denied).", ""},
      {"a 600 file", [&] { made(x, own); }, kWrite, "", ""},
      {"a symbolic link to a 600 file",
       [&] {
         made(Path("own.dim"), own);
         fs::create_symlink(Path("own.dim"), x);
       },
       kWrite, "", ""},
      {"a link to nothing", [&] { fs::create_symlink(Path("gone.dim"), x); }, kWrite,
       "The file \"x.dim\" cannot be written: it is a symbolic link to a file that does not exist.", ""},
      {"stale temporary names",
       [&] {
         made(x, own);
         for (const char* stale : {"x.dim.saving", "x.dim.tmp", ".x.dim.000000.part"})
           made(Path(stale), fs::perms::owner_all);
       },
       kWrite, "", ""},
      {"a folder", [&] { fs::create_directory(x); }, kWrite,
       "The file \"x.dim\" cannot be written: it is a folder, not a file.", ""},
      {"a FIFO", [&] { ASSERT_EQ(mkfifo(x.c_str(), 0600), 0); }, kWrite,
       "The file \"x.dim\" cannot be written: it is not a regular file (a named pipe, a device or a socket).", ""},
      {"a missing folder", [] {}, kWrite, "The file \"x.dim\" cannot be written: no such file or directory.",
       Path("no-such-folder/x.dim")},
      // Opening a named pipe would wait for a writer.
      {"a FIFO to open", [&] { ASSERT_EQ(mkfifo(x.c_str(), 0600), 0); }, kOpen,
       "The file \"x.dim\" cannot be opened: it is not a regular file (a named pipe, a device or a socket).", ""},
      {"a value text typing refuses",
       [&] {
         WindowSettings r = TTestTableRecord();
         r.valueTexts[3] = "1e5";
         WriteBytes(x, Encode(r));
       },
       kOpen,
       "The file \"x.dim\" cannot be opened: its value text of position 3 holds \"1e5\", which is not a number "
       "as it can be typed.",
       ""},
  };
  for (const auto& c : cases) {
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    c.make();
    const std::string path = c.path.empty() ? x : c.path;
    std::map<std::string, std::string> expected = folder();
    const unsigned mode = fs::is_regular_file(path) ? Mode(path) : 0666u & ~mask;
    const std::string written = fs::weakly_canonical(path).filename().string();
    if (c.write) {
      std::string error;
      EXPECT_EQ(WriteUserFile(path, "new", error), c.message.empty()) << c.what;
      EXPECT_EQ(error, c.message) << c.what;
    } else {
      EXPECT_EQ(RefusedFile(path), c.message) << c.what;
    }
    if (c.message.empty()) {
      expected[written] = "new " + std::to_string(mode);
      // The temporaries a killed write of the same file left are removed;
      // other names stay.
      std::erase_if(expected, [&](const auto& f) {
        return f.first.starts_with("." + written + ".") && f.first.ends_with(".part");
      });
    }
    EXPECT_EQ(folder(), expected) << c.what;
  }
}

// What the decode cannot know: the list that the restored procedure builds.
TEST_F(OpeningFiles, SettingsThatDoNotFitTheRestoredProcedure) {
  const WindowSettings good = TTestTableRecord();
  ASSERT_EQ(good.LastPosition, 7);
  const struct {
    std::function<void(WindowSettings&)> damage;
    const char* reason;
  } cases[] = {
      {[](WindowSettings& r) { r.UnknownPosition = 8; },
       "the position of its unknown (8) is beyond the parameter list of its procedure, which ends at 7"},
      {[](WindowSettings& r) { r.XPosition = 1; },
       "its x parameter is at position 1, which is never the unknown nor an axis"},
      {[](WindowSettings& r) { r.ZPosition = r.XPosition; },
       "two of its roles (the unknown, the x and the z parameter) are at the same position"},
      {[](WindowSettings& r) { r.LastPosition = 12; },
       "its parameter list does not fit its procedure and options (it lists positions 0 to 12, the procedure 0 to "
       "7)"},
      {[](WindowSettings& r) { r.xId = static_cast<std::int16_t>(r.xId + 1); },
       "the parameters its x range and z values belong to are not those at its x and z positions"},
  };
  for (const auto& c : cases) {
    WindowSettings r = good;
    c.damage(r);
    EXPECT_EQ(Refused(r), Cannot(c.reason));
  }
  // The paired t-test has one sample only.
  WindowSettings r = TTestTableRecord([](Session&, Dispatcher& d) {
    d.Select(Procedure::PairedT);
    d.ApplyOptions();
  });
  ASSERT_EQ(r.SampleCount, 1);
  r.SampleCount = 2;
  EXPECT_EQ(Refused(r), Cannot("its options are not those its procedure offers"));
  r.SampleCount = 1;
  r.IntParRowCount = 0;
  EXPECT_EQ(Refused(r), Cannot("its options are not those its procedure offers"));
}

// A click on a caption of the Calculation window puts x or z on position 1;
// such a window's file opens again, while a table's would be refused.
TEST_F(OpeningFiles, ACalculationWhoseCaptionWasClickedReopens) {
  WindowSettings calc = TTestTableRecord([](Session& s, Dispatcher&) {
    MakeUnknown(s, 3);  // the fourth row becomes the unknown
  });
  calc.kind = static_cast<std::int16_t>(WindowKind::Calculation);
  ASSERT_TRUE(calc.XPosition == 1 || calc.ZPosition == 1);
  WriteBytes(Path("clicked.dim"), Encode(calc));
  const int record = OpenSettingsFile(d, Path("clicked.dim"));
  ASSERT_GT(record, 0) << ui.LastText();
  EXPECT_EQ(s.UnknownPosition, calc.UnknownPosition);
  calc.kind = static_cast<std::int16_t>(WindowKind::Table);
  EXPECT_NE(Refused(calc), "");
}

TEST_F(OpeningFiles, ARefusedFileLeavesTheModulesAsTheyWere) {
  // The t-test's flags describe the unpaired test of the active window; a
  // refused one-sample record of the same module must not change them.
  s.entry(Ids::Sd).ParamText = "1.4";
  s.ResultsCurrent = false;
  ASSERT_EQ(CalculateSingle(d), SingleOutcome::Solved);
  const std::string pValue = s.entry(0).ParamText;
  WindowSettings r = TTestTableRecord([](Session&, Dispatcher& d) {
    d.Select(Procedure::PairedT);
    d.ApplyOptions();
  });
  r.UnknownPosition = 12;
  Refused(r);
  s.ResultsCurrent = false;
  ASSERT_EQ(CalculateSingle(d), SingleOutcome::Solved);
  EXPECT_EQ(s.entry(0).ParamText, pValue);
}

// ---- Opening ------------------------------------------------------------------

TEST_F(OpeningFiles, AFileOpensAsANewWindowOfItsKind) {
  // A Calculation window of the unpaired t-test, saved with its own standard
  // deviation, from another session.
  RecordingUserInterface otherUi;
  Session other(otherUi);
  Dispatcher otherD(other);
  OpenWindowRecord(other, WindowKind::Calculation);
  OpenWindowRecord(other, WindowKind::Calculation);
  otherD.Select(Procedure::UnpairedT);
  otherD.ApplyOptions();
  other.entry(Ids::Sd).ParamText = "2.5";
  other.UnknownPosition = 0;
  ASSERT_EQ(CalculateSingle(otherD), SingleOutcome::Solved);
  const std::string otherPValue = other.entry(0).ParamText;
  ASSERT_TRUE(WriteSettingsFile(other, Path("Calc2.dim")));

  s.entry(Ids::Sd).ParamText = "1";
  s.ResultsCurrent = false;
  CalculateSingle(d);
  const std::vector<WindowSettings> before = s.records;
  ASSERT_EQ(OpenSettingsFile(d, Path("Calc2.dim")), 3);
  EXPECT_TRUE(ui.messages.empty());
  ASSERT_EQ(s.records.size(), 4u);
  EXPECT_EQ(s.records[1], before[1]);
  EXPECT_EQ(s.records[2], before[2]);
  const WindowSettings& opened = s.records[3];
  EXPECT_EQ(opened.kind, 0);
  EXPECT_EQ(opened.number, 2);  // the second Calculation window of this session
  EXPECT_EQ(opened.title, "Calculation 2");
  EXPECT_EQ(s.CalcNumber, 2);
  EXPECT_FALSE(opened.WindowChanged);
  EXPECT_FALSE(opened.WindowClosed);
  EXPECT_FALSE(s.ResultsCurrent);
  EXPECT_EQ(s.ActiveRecord, 3);
  EXPECT_EQ(s.TestIndex, 0);
  EXPECT_EQ(s.Description, "Student's unpaired t-test. 2-sided.");
  EXPECT_EQ(s.entry(Ids::Sd).ParamText, "2.5");
  EXPECT_EQ(s.entry(0).ParamText, otherPValue);
  // Apart from its number and title, the new record is the file's.
  WindowSettings saved = other.records[2];
  saved.number = 2;
  saved.title = "Calculation 2";
  EXPECT_TRUE(opened.SameSettings(saved));

  // Solving again gives the other session's P-value.
  s.entry(0).ParamText = "";
  ASSERT_EQ(CalculateSingle(d), SingleOutcome::Solved);
  EXPECT_EQ(s.entry(0).ParamText, otherPValue);
  // The first window still has its own value.
  ActivateWindow(d, 1);
  EXPECT_EQ(s.entry(Ids::Sd).ParamText, "1");
}

TEST_F(OpeningFiles, AFilePlannedByPowerRestoresTheOptionAndThePower) {
  RecordingUserInterface otherUi;
  Session other(otherUi);
  Dispatcher otherD(other);
  OpenWindowRecord(other, WindowKind::Calculation);
  otherD.Select(Procedure::UnpairedT);
  otherD.SetPlanByPower(true);
  otherD.ApplyOptions();
  other.entry(1).ParamText = "0.9";
  other.UnknownPosition = 7;
  CalculateSingle(otherD);
  const std::string path = Path("Calc1.dim");
  ASSERT_TRUE(WriteSettingsFile(other, path));
  const int r = OpenSettingsFile(d, path);
  ASSERT_GT(r, 0) << ui.LastText();
  EXPECT_EQ(s.PlanByPower, kTrue);
  EXPECT_EQ(s.ParameterList[2], 1);
  EXPECT_EQ(s.entryAt(2).ParamText, "0.9");
  EXPECT_EQ(s.records[static_cast<std::size_t>(r)].PlanByPower, kTrue);
}

TEST_F(OpeningFiles, ATableFileRestoresItsRangeAndRuns) {
  ASSERT_EQ(ApplySettingsRecord(d, TTestTableRecord()), 3);
  EXPECT_EQ(s.records[3].title, "Table 2");
  EXPECT_EQ(s.entryAt(s.XPosition).TableMax, "30");
  EXPECT_EQ(s.entryAt(s.ZPosition).ZValueText, "1 2");
  ASSERT_EQ(CalculateRange(d), RangeOutcome::Done);
  EXPECT_EQ(s.XValues.size(), 3u);
  EXPECT_EQ(s.ZValues.size(), 2u);
}

TEST_F(OpeningFiles, NothingOpensWithoutAListOrWhileACalculationRuns) {
  WindowSettings r = TTestTableRecord();
  r.LastPosition = 0;
  EXPECT_EQ(Refused(r), "The file \"bad.dim\" holds no parameter list, so no window was opened.");
  // A new window's record, never calculated, has no list either.
  WindowSettings fresh;
  fresh.title = "Calculation 1";
  EXPECT_EQ(Refused(fresh), "The file \"bad.dim\" holds no parameter list, so no window was opened.");
  const State before = Now();
  EXPECT_EQ(ApplySettingsRecord(d, fresh), 0);
  EXPECT_EQ(ui.LastText(), "The settings file holds no parameter list, so no window was opened.");
  EXPECT_TRUE(Now() == before);
  const std::size_t messages = ui.messages.size();
  s.Busy = true;
  EXPECT_EQ(ApplySettingsRecord(d, TTestTableRecord()), 0);
  EXPECT_EQ(ui.messages.size(), messages);
  s.Busy = false;
  EXPECT_TRUE(Now() == before);
}

// Every selection the dialog can make, saved as the program saves it, opens
// again and restores exactly what was saved.
class EverySavedSelection : public testing::PlanningTest {
 protected:
  void SaveAndOpen(const std::string& where) {
    d.ApplyOptions();
    s.ResultsCurrent = true;
    StoreWindowSettings(s);
    const WindowSettings saved = s.records[static_cast<std::size_t>(s.ActiveRecord)];
    std::string why;
    const auto read = DecodeSettingsRecord(Encode(saved), why);
    ASSERT_TRUE(read) << where << ": " << why;
    const int r = ApplySettingsRecord(d, *read);
    ASSERT_GT(r, 0) << where << ": " << ui.LastText();
    // The globals hold the file's settings: storing them changes nothing.
    s.ResultsCurrent = true;
    StoreWindowSettings(s);
    EXPECT_FALSE(s.records[static_cast<std::size_t>(r)].WindowChanged) << where;
    ++opened;
    CloseWindowRecord(d, r);
    ActivateWindow(d, 1);
  }
  void SweepOptions(const std::string& where) {
    for (int samples = 1; samples <= 2; ++samples) {
      if (!s.dialog.samplesEnabled[static_cast<std::size_t>(samples - 1)]) continue;
      d.SetSampleCount(samples);
      for (int tails = 1; tails <= 3; ++tails) {
        if (!s.dialog.tailsEnabled[static_cast<std::size_t>(tails - 1)]) continue;
        d.SetTailCount(tails);
        const auto ids = s.OptionId;
        const int count = s.OptionCount;
        for (int mask = 0; mask < (1 << count); ++mask) {
          for (int k = 0; k < count; ++k) d.SetOption(ids[static_cast<std::size_t>(k)], (mask >> k) & 1);
          for (int form = 0; form < 3; ++form) {
            for (int k = 0; k < s.IntParRowCount; ++k) {
              const int g = s.IntParRowGroup[static_cast<std::size_t>(k)];
              if (!ParameterGroups()[static_cast<std::size_t>(g)]
                       .forms[static_cast<std::size_t>(form)]
                       .empty())
                d.SetForm(g, form);
            }
            SaveAndOpen(where + " samples " + std::to_string(samples) + " tails " + std::to_string(tails) +
                        " options " + std::to_string(mask) + " form " + std::to_string(form));
            if (HasFatalFailure()) return;
          }
        }
        for (int k = 0; k < count; ++k) d.SetOption(ids[static_cast<std::size_t>(k)], false);
      }
    }
  }
  int opened = 0;
};

TEST_F(EverySavedSelection, TestProcedures) {
  OpenWindowRecord(s, WindowKind::Table);
  for (const ProcedureRow& row : Procedures()) {
    if (row.menu != Menu::Tests) continue;
    ASSERT_TRUE(d.Select(row.procedure));
    SweepOptions(ProcedureName(row.procedure));
    if (HasFatalFailure()) return;
  }
  EXPECT_GT(opened, 100);
}

TEST_F(EverySavedSelection, SampleDistributions) {
  OpenWindowRecord(s, WindowKind::Graph);
  for (const ProcedureRow& row : Procedures()) {
    if (row.menu != Menu::Distributions) continue;
    ASSERT_TRUE(d.Select(row.procedure));
    for (int choice = 0; choice < static_cast<int>(s.dialog.parameterChoices.size()); ++choice) {
      d.SetParameterChoice(choice);
      for (int kind = 0; kind < 3; ++kind) {
        if (!s.dialog.procedureEnabled[static_cast<std::size_t>(kind)]) continue;
        d.SetProcedureKind(kind);
        SweepOptions(ProcedureName(row.procedure) + " choice " + std::to_string(choice) + " kind " +
                     std::to_string(kind));
        if (HasFatalFailure()) return;
      }
    }
  }
  EXPECT_GT(opened, 200);
}

}  // namespace
}  // namespace pelmora
