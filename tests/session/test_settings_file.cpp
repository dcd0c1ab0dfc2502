// Settings files: the record's layout, its length, the Windows code page of
// its texts, the proposed names, a save that never destroys an earlier file;
// reading a record back field by field, the refusal of every kind of damaged
// or hostile file with one message and an unchanged session, and opening a
// file as a new window of its kind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string_view>

#include "engine/calculation.h"
#include "procedures/hypothesis/student_t.h"
#include "session/calculation_rows.h"
#include "session/menus.h"
#include "session/settings_file.h"
#include "session/window_records.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

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
constexpr RecordField kLayout[] = {{"kind", I, 1},
                                   {"number", I, 1},
                                   {"title", T, 1},
                                   {"IsTestProcedure", I, 1},
                                   {"TestIndex", I, 1},
                                   {"TestName", T, 1},
                                   {"DistributionIndex", I, 1},
                                   {"DistributionName", T, 1},
                                   {"SampleCount", I, 1},
                                   {"TailCount", I, 1},
                                   {"RejectInLeftTail", I, 1},
                                   {"ParameterChoice", I, 1},
                                   {"ProcedureKind", I, 1},
                                   {"InterimCount", I, 1},
                                   {"IntParRowCount", I, 1},
                                   {"IntParRowGroup", I, 4},
                                   {"IntParMode", I, 37},
                                   {"OptionCount", I, 1},
                                   {"OptionId", I, 3},
                                   {"OptionState", I, 15},
                                   {"UnknownPosition", I, 1},
                                   {"XPosition", I, 1},
                                   {"ZPosition", I, 1},
                                   {"xId", I, 1},
                                   {"zId", I, 1},
                                   {"xMin", T, 1},
                                   {"xMax", T, 1},
                                   {"xStep", T, 1},
                                   {"zValues", T, 1},
                                   {"LastPosition", I, 1},
                                   {"valueTexts", T, 13},
                                   {"lastHeading", I, 1},
                                   {"headings", T, 16},
                                   {"graphTexts", T, 4},
                                   {"axisTexts", T, 4},
                                   {"extraText", T, 1},
                                   {"fontName", T, 1},
                                   {"fontSize", T, 1},
                                   {"fontBold", I, 1},
                                   {"TableColumns", I, 1},
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

// A record in which every field holds a value of its own, the arrays full.
WindowSettings DistinctiveRecord() {
  WindowSettings r;
  r.kind = 2;
  r.number = 7;
  r.title = "Graph 7";
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
  for (int g = 0; g < kGroupCount; ++g)
    r.IntParMode[static_cast<std::size_t>(g)] = static_cast<std::int16_t>(g % 3);
  r.OptionCount = 3;
  r.OptionId = {14, 0, 7};
  for (int o = 0; o < kOptionCount; ++o)
    r.OptionState[static_cast<std::size_t>(o)] = static_cast<std::int16_t>(o % 2);
  r.UnknownPosition = 0;
  r.XPosition = 5;
  r.ZPosition = 12;
  r.xId = 250;
  r.zId = 1;
  r.xMin = "0,5";
  r.xMax = "-3";
  r.xStep = "";
  r.zValues = "1 2,5 \xE2\x82\xAC";  // the euro sign is one byte in the file
  r.LastPosition = 12;
  for (int p = 0; p < kPositionCount; ++p)
    r.valueTexts[static_cast<std::size_t>(p)] = p == 4 ? ""
                                                       : "Gr\xC3\xB6\xC3\x9F"
                                                         "e " +
                                                             std::to_string(p);
  r.lastHeading = 15;
  for (int h = 0; h < kHeadingCount; ++h)
    r.headings[static_cast<std::size_t>(h)] = "Heading " + std::to_string(h);
  r.graphTexts = {"Title", "", "y \xC2\xB1 1", "z"};
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
  d.SelectTest(0);
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

// A folder of this process: the test runner runs tests side by side.
std::string TempPath(const std::string& name) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("pelmora-settings-test-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  return (dir / name).string();
}

void WriteBytes(const std::string& path, const Bytes& b) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
}

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
  EXPECT_FALSE(EncodeSettingsRecord(r));
  // Exactly full fits.
  r.extraText.clear();
  const std::size_t used = OffsetOf(Encode(r), "end");
  r.extraText = std::string(kSettingsRecordLength - used, 'y');
  EXPECT_TRUE(EncodeSettingsRecord(r));
  r.extraText += 'y';
  EXPECT_FALSE(EncodeSettingsRecord(r));
}

TEST(SettingsFile, WindowsCodePage) {
  EXPECT_EQ(ToWindowsAnsi("Mean 2* \xE2\x82\xAC \xC3\xA9"), "Mean 2* \x80 \xE9");
  EXPECT_EQ(ToWindowsAnsi("\xE2\x88\x9A"), "?");  // the square-root sign has no byte
  EXPECT_EQ(ToWindowsAnsi("\xC3"), "?");          // a cut-off character
  EXPECT_EQ(FromWindowsAnsi("\x80\xE9\x96"), "\xE2\x82\xAC\xC3\xA9\xE2\x80\x93");
  const std::string all =
      "Gr\xC3\xB6\xC3\x9F"
      "e \xE2\x80\x9Cx\xE2\x80\x9D";
  EXPECT_EQ(FromWindowsAnsi(ToWindowsAnsi(all)), all);
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

TEST(SettingsFile, SavingClearsTheChangedFlagAndKeepsAnEarlierFileOnFailure) {
  RecordingUserInterface ui;
  Session s(ui);
  OpenWindowRecord(s, WindowKind::Calculation);
  s.records[1].WindowChanged = true;
  const std::string path = TempPath("Calc1.dim");
  ASSERT_TRUE(WriteSettingsFile(s, path));
  EXPECT_FALSE(s.records[1].WindowChanged);
  EXPECT_EQ(std::filesystem::file_size(path), kSettingsRecordLength);
  EXPECT_FALSE(std::filesystem::exists(path + ".saving"));
  auto kept = [&] {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  };
  const std::vector<char> earlier = kept();

  s.records[1].WindowChanged = true;
  s.records[1].extraText = std::string(1400, 'z');
  EXPECT_FALSE(WriteSettingsFile(s, path));
  EXPECT_EQ(ui.LastText(),
            "The settings of \"Calculation 1\" do not fit into a settings file: its texts are too long.");
  EXPECT_TRUE(s.records[1].WindowChanged);
  EXPECT_EQ(kept(), earlier);
  EXPECT_EQ(earlier[6], 'C');

  // The file beside the target cannot be made (a folder stands in its way):
  // the earlier file is as it was.
  s.records[1].extraText.clear();
  s.records[1].title = "Calculation 9";
  std::filesystem::create_directories(path + ".saving/blocked");
  const std::size_t before = ui.messages.size();
  EXPECT_FALSE(WriteSettingsFile(s, path));
  EXPECT_EQ(ui.messages.size(), before + 1);
  EXPECT_EQ(ui.LastText(), "The file \"Calc1.dim\" could not be written.");
  EXPECT_EQ(kept(), earlier);
  EXPECT_TRUE(s.records[1].WindowChanged);
  std::filesystem::remove_all(path + ".saving");

  EXPECT_FALSE(WriteSettingsFile(s, TempPath("no-such-folder/x.dim")));
  EXPECT_EQ(ui.LastText(), "The file \"x.dim\" could not be written.");
  std::filesystem::remove_all(std::filesystem::path(path).parent_path());
}

// ---- Reading back -------------------------------------------------------------

TEST(SettingsFile, EveryFieldReadsBack) {
  const WindowSettings r = DistinctiveRecord();
  const Bytes bytes = Encode(r);
  std::string why;
  const auto back = DecodeSettingsRecord(bytes, why);
  ASSERT_TRUE(back) << why;
  EXPECT_EQ(*back, r);
  EXPECT_EQ(back->valueTexts[3],
            "Gr\xC3\xB6\xC3\x9F"
            "e 3");
  EXPECT_EQ(back->zValues, "1 2,5 \xE2\x82\xAC");
  EXPECT_EQ(back->xStep, "");
  // The euro sign and the German letters are single bytes in the file.
  EXPECT_EQ(IntAt(bytes, OffsetOf(bytes, "zValues")), 7);
  EXPECT_EQ(IntAt(bytes, OffsetOf(bytes, "valueTexts", 3)), 7);

  // The defaults of a new record, with its -1 decimals and empty texts.
  WindowSettings fresh;
  fresh.title = "Calculation 1";
  const auto plain = DecodeSettingsRecord(Encode(fresh), why);
  ASSERT_TRUE(plain) << why;
  EXPECT_EQ(*plain, fresh);
}

TEST(SettingsFile, AWrittenFileIsOneRecordAndReadsBack) {
  RecordingUserInterface ui;
  Session s(ui);
  OpenWindowRecord(s, WindowKind::Graph);
  WindowSettings r = DistinctiveRecord();
  s.records[1] = r;
  const std::string path = TempPath("Graph7.dim");
  ASSERT_TRUE(WriteSettingsFile(s, path));
  EXPECT_EQ(std::filesystem::file_size(path), kSettingsRecordLength);
  const auto back = ReadSettingsFile(s, path);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, r);
  EXPECT_TRUE(ui.messages.empty());
  std::filesystem::remove_all(std::filesystem::path(path).parent_path());
}

// ---- Damaged and hostile files -------------------------------------------

// A session with two windows open: a solved Calculation window of the
// unpaired t-test and a Table window of the paired one.
class OpeningFiles : public testing::PlanningTest {
 protected:
  OpeningFiles() {
    OpenWindowRecord(s, WindowKind::Calculation);
    d.SelectTest(0);
    d.ApplyOptions();
    CalculateSingle(d);
    OpenWindowRecord(s, WindowKind::Table);
    d.SelectTest(1);
    d.ApplyOptions();
    s.ResultsCurrent = true;
    StoreWindowSettings(s);
    ActivateWindow(d, 1);
  }
  ~OpeningFiles() override {
    std::filesystem::remove_all(std::filesystem::path(TempPath("x")).parent_path());
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
    for (const CatalogueEntry& e : s.catalogue)
      for (const std::string* text : {&e.ParamText, &e.TableMin, &e.TableMax, &e.TableStep, &e.ZValueText})
        t.catalogueTexts.push_back(*text);
    return t;
  }

  // Opens the bytes as the file "bad.dim": nothing may open, one message
  // titled "Open File" is shown, and the session is as it was.  Returns the
  // message text.
  std::string Refused(const Bytes& bytes) {
    const std::string path = TempPath("bad.dim");
    WriteBytes(path, bytes);
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
  std::string Refused(const WindowSettings& r) { return Refused(Encode(r)); }
  // The message about a record whose field was patched.
  std::string RefusedWith(std::string_view field, std::int16_t v, int k = 0) {
    Bytes b = Encode(TTestTableRecord());
    Patch(b, field, v, k);
    return Refused(b);
  }
  static std::string Cannot(const std::string& why) {
    return "The file \"bad.dim\" cannot be opened: " + why + ".";
  }
};

TEST_F(OpeningFiles, AGoodFileOpens) {
  // The base of the damaged files below opens when left as it is.
  const std::string path = TempPath("good.dim");
  WriteBytes(path, Encode(TTestTableRecord()));
  EXPECT_EQ(OpenSettingsFile(d, path), 3);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(OpeningFiles, FilesOfTheWrongLengthAreRefused) {
  EXPECT_EQ(Refused(Bytes(12, 0)), Cannot("it is not a settings file of this program (it is 12 bytes long, "
                                          "a settings file is 1352)"));
  EXPECT_EQ(Refused(Bytes(1, 0)), Cannot("it is not a settings file of this program (it is 1 byte long, "
                                         "a settings file is 1352)"));
  EXPECT_EQ(Refused(Bytes()), Cannot("it is not a settings file of this program (it is 0 bytes long, "
                                     "a settings file is 1352)"));
  Bytes longer = Encode(TTestTableRecord());
  longer.resize(5000, 1);
  EXPECT_EQ(Refused(longer), Cannot("it is not a settings file of this program (it is more than 1352 bytes "
                                    "long, a settings file is 1352)"));
  longer.resize(kSettingsRecordLength + 1);
  EXPECT_EQ(Refused(longer), Cannot("it is not a settings file of this program (it is more than 1352 bytes "
                                    "long, a settings file is 1352)"));
  std::string why;
  longer.resize(kSettingsRecordLength - 1);
  EXPECT_FALSE(DecodeSettingsRecord(longer, why));
  EXPECT_EQ(why,
            "it is not a settings file of this program (it is 1351 bytes long, a settings file is 1352)");
}

TEST_F(OpeningFiles, MissingFilesAndFoldersAreRefused) {
  const State before = Now();
  EXPECT_EQ(OpenSettingsFile(d, TempPath("missing.dim")), 0);
  EXPECT_EQ(ui.LastText(), "The file \"missing.dim\" cannot be opened: it does not exist or cannot be read.");
  const std::string folder = TempPath("folder.dim");
  std::filesystem::create_directories(folder);
  EXPECT_EQ(OpenSettingsFile(d, folder), 0);
  EXPECT_EQ(ui.LastText(), "The file \"folder.dim\" cannot be opened: it is a folder, not a file.");
  EXPECT_EQ(ui.messages.size(), 2u);
  EXPECT_TRUE(Now() == before);
}

TEST_F(OpeningFiles, TextsThatDoNotFitTheRecordAreRefused) {
  const Bytes good = Encode(TTestTableRecord());
  Bytes b = good;
  Patch(b, "title", -1);
  EXPECT_EQ(Refused(b), Cannot("its title has a negative length (-1)"));
  b = good;
  Patch(b, "valueTexts", 2000, 3);
  EXPECT_EQ(Refused(b), Cannot("its value text of position 3 is 2000 bytes long and runs past the end of the "
                               "record"));
  b = good;
  Patch(b, "TestName", static_cast<std::int16_t>(kSettingsRecordLength));
  EXPECT_EQ(Refused(b), Cannot("its test name is 1352 bytes long and runs past the end of the record"));
  b = good;
  Patch(b, "headings", -32768, 15);
  EXPECT_EQ(Refused(b), Cannot("its heading line 16 has a negative length (-32768)"));

  // A record filled to its last byte: after the length of the font size, 7
  // bytes remain (its "9" and three integers).  A longer font size leaves too
  // few bytes for the integers that follow it.
  WindowSettings full = TTestTableRecord();
  full.extraText = std::string(kSettingsRecordLength - OffsetOf(good, "end"), 'x');
  const Bytes filled = Encode(full);
  ASSERT_EQ(OffsetOf(filled, "end"), kSettingsRecordLength);
  std::string why;
  ASSERT_TRUE(DecodeSettingsRecord(filled, why)) << why;
  const std::pair<std::int16_t, const char*> cases[] = {
      {8, "its font size is 8 bytes long and runs past the end of the record"},
      {7, "its bold flag runs past the end of the record"},
      {6, "its bold flag runs past the end of the record"},
      {5, "its number of table columns runs past the end of the record"},
      {4, "its number of table columns runs past the end of the record"},
      {3, "its number of table decimals runs past the end of the record"},
      {2, "its number of table decimals runs past the end of the record"}};
  for (const auto& [length, reason] : cases) {
    b = filled;
    Patch(b, "fontSize", length);
    EXPECT_EQ(Refused(b), Cannot(reason)) << length;
  }
}

TEST_F(OpeningFiles, WindowKinds) {
  EXPECT_EQ(RefusedWith("kind", 3),
            Cannot("it holds the settings of a Monte Carlo window, and this program has "
                   "no Monte Carlo window"));
  EXPECT_EQ(RefusedWith("kind", 4),
            Cannot("its window kind is 4, not 0 (Calculation), 1 (Table) or 2 (Graph)"));
  EXPECT_EQ(RefusedWith("kind", -1),
            Cannot("its window kind is -1, not 0 (Calculation), 1 (Table) or 2 (Graph)"));
}

TEST_F(OpeningFiles, CountsBeyondTheirArrays) {
  EXPECT_EQ(RefusedWith("IntParRowCount", 5), Cannot("its number of parameter rows is 5, outside 0 to 4"));
  EXPECT_EQ(RefusedWith("IntParRowCount", -1), Cannot("its number of parameter rows is -1, outside 0 to 4"));
  EXPECT_EQ(RefusedWith("OptionCount", 4), Cannot("its number of options is 4, outside 0 to 3"));
  EXPECT_EQ(RefusedWith("lastHeading", 16),
            Cannot("its index of the last heading line is 16, outside -1 to 15"));
  EXPECT_EQ(RefusedWith("lastHeading", -2),
            Cannot("its index of the last heading line is -2, outside -1 to 15"));
  EXPECT_EQ(RefusedWith("LastPosition", 13), Cannot("its last list position is 13, outside 0 to 12"));
  EXPECT_EQ(RefusedWith("InterimCount", 6), Cannot("its number of interim analyses is 6, outside 0 to 5"));
  // No headings (-1 or 0) and the last one (15) are what the program writes.
  for (std::int16_t last : {-1, 0, 15}) {
    Bytes b = Encode(TTestTableRecord());
    Patch(b, "lastHeading", last);
    std::string why;
    EXPECT_TRUE(DecodeSettingsRecord(b, why)) << why;
  }
}

TEST_F(OpeningFiles, EntriesThatIndexTables) {
  EXPECT_EQ(RefusedWith("IntParRowGroup", 37, 3),
            Cannot("its group of parameter row 4 is 37, outside 0 to 36"));
  EXPECT_EQ(RefusedWith("IntParRowGroup", -1, 0),
            Cannot("its group of parameter row 1 is -1, outside 0 to 36"));
  EXPECT_EQ(RefusedWith("IntParMode", 3, 36), Cannot("its form of parameter group 36 is 3, outside 0 to 2"));
  EXPECT_EQ(RefusedWith("OptionId", 15, 1), Cannot("its option of check box 2 is 15, outside 0 to 14"));
  EXPECT_EQ(RefusedWith("OptionId", -5, 2), Cannot("its option of check box 3 is -5, outside 0 to 14"));
  EXPECT_EQ(RefusedWith("OptionState", 2, 14), Cannot("its state of option 14 is 2, outside 0 to 1"));
  EXPECT_EQ(RefusedWith("xId", 251), Cannot("its catalogue id of the x parameter is 251, outside 0 to 250"));
  EXPECT_EQ(RefusedWith("zId", -1), Cannot("its catalogue id of the z parameter is -1, outside 0 to 250"));
  EXPECT_EQ(RefusedWith("UnknownPosition", 13), Cannot("its position of the unknown is 13, outside 0 to 12"));
  EXPECT_EQ(RefusedWith("XPosition", -1), Cannot("its position of the x parameter is -1, outside 0 to 12"));
  EXPECT_EQ(RefusedWith("ZPosition", 32767),
            Cannot("its position of the z parameter is 32767, outside 0 to 12"));
  EXPECT_EQ(RefusedWith("ParameterChoice", 4),  // the normal distribution offers four choices
            Cannot("its parameter choice is 4, outside 0 to 3"));
  EXPECT_EQ(RefusedWith("ParameterChoice", -1), Cannot("its parameter choice is -1, outside 0 to 3"));
}

TEST_F(OpeningFiles, MenuIndicesAndOptions) {
  for (std::int16_t separator : {3, 8, 11, 15, 19, -1})
    EXPECT_EQ(RefusedWith("TestIndex", separator),
              Cannot("its test index is " + std::to_string(separator) +
                     ", which is not an item of the Test Procedures menu"));
  for (std::int16_t separator : {3, 7, 9, 11})
    EXPECT_EQ(RefusedWith("DistributionIndex", separator),
              Cannot("its distribution index is " + std::to_string(separator) +
                     ", which is not an item of the Sample Distributions menu"));
  EXPECT_EQ(RefusedWith("SampleCount", 0), Cannot("its number of samples is 0, not 1 or 2"));
  EXPECT_EQ(RefusedWith("SampleCount", 3), Cannot("its number of samples is 3, not 1 or 2"));
  EXPECT_EQ(RefusedWith("TailCount", 0), Cannot("its number of tails is 0, outside 1 to 3"));
  EXPECT_EQ(RefusedWith("TailCount", 4), Cannot("its number of tails is 4, outside 1 to 3"));
  EXPECT_EQ(RefusedWith("ProcedureKind", 3), Cannot("its procedure kind is 3, outside 0 to 2"));
  EXPECT_EQ(RefusedWith("ProcedureKind", -1), Cannot("its procedure kind is -1, outside 0 to 2"));
}

TEST_F(OpeningFiles, FlagsAndAppearance) {
  EXPECT_EQ(RefusedWith("IsTestProcedure", 1), Cannot("its test-procedure flag is 1, neither -1 (true) nor 0 "
                                                      "(false)"));
  EXPECT_EQ(RefusedWith("RejectInLeftTail", 2), Cannot("its left-tail flag is 2, neither -1 (true) nor 0 "
                                                       "(false)"));
  EXPECT_EQ(RefusedWith("fontBold", 2), Cannot("its bold flag is 2, neither -1 (true) nor 0 (false)"));
  EXPECT_EQ(RefusedWith("TableColumns", 11), Cannot("its number of table columns is 11, outside 0 to 10"));
  EXPECT_EQ(RefusedWith("TableColumns", -1), Cannot("its number of table columns is -1, outside 0 to 10"));
  EXPECT_EQ(RefusedWith("TableDecimals", 9), Cannot("its number of table decimals is 9, outside -1 to 8"));
  EXPECT_EQ(RefusedWith("TableDecimals", -2), Cannot("its number of table decimals is -2, outside -1 to 8"));
  for (const char* size : {"0", "100", "9.5", "", "abc", " 9", "-9"}) {
    WindowSettings r = TTestTableRecord();
    r.fontSize = size;
    EXPECT_EQ(Refused(r), Cannot("its font size is not a whole number of points from 1 to 99")) << size;
  }
  // A ticked check box writes 1 for bold; a whole size of one or two digits.
  WindowSettings r = TTestTableRecord();
  r.fontBold = 1;
  r.fontSize = "99";
  std::string why;
  EXPECT_TRUE(DecodeSettingsRecord(Encode(r), why)) << why;
}

TEST_F(OpeningFiles, TheSelectionMustBeNamedByItsMenuItem) {
  WindowSettings r = TTestTableRecord();
  r.TestName = "Sign test";
  EXPECT_EQ(Refused(r), Cannot("its test name is not that of the menu item it selects (\"Student's unpaired "
                               "t-test\")"));
  r.TestName.clear();
  EXPECT_EQ(Refused(r), Cannot("its test name is not that of the menu item it selects (\"Student's unpaired "
                               "t-test\")"));
}

// What the decode cannot know: the list that the restored procedure builds.
TEST_F(OpeningFiles, SettingsThatDoNotFitTheRestoredProcedure) {
  const WindowSettings good = TTestTableRecord();
  ASSERT_EQ(good.LastPosition, 7);
  WindowSettings r = good;
  r.UnknownPosition = 8;
  EXPECT_EQ(Refused(r), Cannot("the position of its unknown (8) is beyond the parameter list of its "
                               "procedure, which ends at 7"));
  r = good;
  r.XPosition = 1;
  EXPECT_EQ(Refused(r), Cannot("its x parameter is at position 1, which is never the unknown nor an axis"));
  r = good;
  r.ZPosition = r.XPosition;
  EXPECT_EQ(Refused(r), Cannot("two of its roles (the unknown, the x and the z parameter) are at the same "
                               "position"));
  r = good;
  r.LastPosition = 12;
  EXPECT_EQ(Refused(r),
            Cannot("its parameter list does not fit its procedure and options (it lists positions "
                   "0 to 12, the procedure 0 to 7)"));
  r = good;
  r.xId = static_cast<std::int16_t>(r.xId + 1);
  EXPECT_EQ(Refused(r),
            Cannot("the parameters its x range and z values belong to are not those at its x and z "
                   "positions"));
  // The paired t-test has one sample only.
  r = TTestTableRecord([](Session&, Dispatcher& d) {
    d.SelectTest(1);
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
  const std::string path = TempPath("clicked.dim");
  WriteBytes(path, Encode(calc));
  const int record = OpenSettingsFile(d, path);
  ASSERT_GT(record, 0) << (ui.messages.empty() ? "" : ui.messages.back().text);
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
    d.SelectTest(1);
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
  otherD.SelectTest(0);
  otherD.ApplyOptions();
  other.entry(Ids::Sd).ParamText = "2.5";
  other.UnknownPosition = 0;
  ASSERT_EQ(CalculateSingle(otherD), SingleOutcome::Solved);
  const std::string otherPValue = other.entry(0).ParamText;
  const std::string path = TempPath("Calc2.dim");
  ASSERT_TRUE(WriteSettingsFile(other, path));

  s.entry(Ids::Sd).ParamText = "1";
  s.ResultsCurrent = false;
  CalculateSingle(d);
  const std::vector<WindowSettings> before = s.records;
  const int r = OpenSettingsFile(d, path);
  ASSERT_EQ(r, 3);
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
  otherD.SelectTest(0);
  otherD.SetPlanByPower(true);
  otherD.ApplyOptions();
  other.entry(1).ParamText = "0.9";
  other.UnknownPosition = 7;
  CalculateSingle(otherD);
  const std::string path = TempPath("Calc1.dim");
  ASSERT_TRUE(WriteSettingsFile(other, path));
  const int r = OpenSettingsFile(d, path);
  ASSERT_GT(r, 0) << ui.LastText();
  EXPECT_EQ(s.PlanByPower, kTrue);
  EXPECT_EQ(s.ParameterList[2], 1);
  EXPECT_EQ(s.entryAt(2).ParamText, "0.9");
  EXPECT_EQ(s.records[static_cast<std::size_t>(r)].PlanByPower, kTrue);
}

TEST_F(OpeningFiles, ATableFileRestoresItsRangeAndRuns) {
  const WindowSettings table = TTestTableRecord();
  const int r = ApplySettingsRecord(d, table);
  ASSERT_EQ(r, 3);
  EXPECT_EQ(s.records[3].title, "Table 2");
  EXPECT_EQ(s.entryAt(s.XPosition).TableMax, "30");
  EXPECT_EQ(s.entryAt(s.ZPosition).ZValueText, "1 2");
  ASSERT_EQ(CalculateRange(d), RangeOutcome::Done);
  EXPECT_EQ(s.XValues.size(), 3u);
  EXPECT_EQ(s.ZValues.size(), 2u);
}

TEST_F(OpeningFiles, AFileWithoutAParameterListOpensNothing) {
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
}

TEST_F(OpeningFiles, NothingOpensWhileACalculationRuns) {
  s.Busy = true;
  const State before = Now();
  EXPECT_EQ(ApplySettingsRecord(d, TTestTableRecord()), 0);
  EXPECT_TRUE(ui.messages.empty());
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
  for (int i = 0; i < static_cast<int>(TestMenuCaptions().size()); ++i) {
    if (!IsTestItem(i)) continue;
    ASSERT_TRUE(d.SelectTest(i));
    SweepOptions("test " + std::to_string(i));
    if (HasFatalFailure()) return;
  }
  EXPECT_GT(opened, 100);
}

TEST_F(EverySavedSelection, SampleDistributions) {
  OpenWindowRecord(s, WindowKind::Graph);
  for (int i = 0; i < static_cast<int>(DistributionMenuCaptions().size()); ++i) {
    if (!IsDistributionItem(i)) continue;
    ASSERT_TRUE(d.SelectDistribution(i));
    for (int choice = 0; choice < static_cast<int>(s.dialog.parameterChoices.size()); ++choice) {
      d.SetParameterChoice(choice);
      for (int kind = 0; kind < 3; ++kind) {
        if (!s.dialog.procedureEnabled[static_cast<std::size_t>(kind)]) continue;
        d.SetProcedureKind(kind);
        SweepOptions("distribution " + std::to_string(i) + " choice " + std::to_string(choice) + " kind " +
                     std::to_string(kind));
        if (HasFatalFailure()) return;
      }
    }
  }
  EXPECT_GT(opened, 200);
}

}  // namespace
}  // namespace pelmora
