// Writing settings files: the record's layout, its length, the Windows code
// page of its texts, the proposed names, and a save that never destroys an
// earlier file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "session/settings_file.h"
#include "session/window_records.h"

namespace pelmora {
namespace {

std::int16_t IntAt(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::int16_t>(b[at] | (b[at + 1] << 8));
}

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
  EXPECT_EQ(IntAt(*bytes, used - 2), -1);
  for (std::size_t i = used; i < bytes->size(); ++i) ASSERT_EQ((*bytes)[i], 0) << i;
}

TEST(SettingsFile, TextsThatDoNotFitAreRefused) {
  WindowSettings r;
  r.title = std::string(1000, 'x');
  EXPECT_TRUE(EncodeSettingsRecord(r));
  r.extraText = std::string(400, 'y');
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
  const auto dir = std::filesystem::temp_directory_path() / "pelmora-settings-test";
  std::filesystem::create_directories(dir);
  const std::string path = (dir / "Calc1.dim").string();
  ASSERT_TRUE(WriteSettingsFile(s, path));
  EXPECT_FALSE(s.records[1].WindowChanged);
  EXPECT_EQ(std::filesystem::file_size(path), kSettingsRecordLength);
  EXPECT_FALSE(std::filesystem::exists(path + ".saving"));

  s.records[1].WindowChanged = true;
  s.records[1].extraText = std::string(1400, 'z');
  EXPECT_FALSE(WriteSettingsFile(s, path));
  EXPECT_EQ(ui.LastText(),
            "The settings of Calculation 1 are too long for a settings file and were not saved.");
  EXPECT_TRUE(s.records[1].WindowChanged);
  std::ifstream in(path, std::ios::binary);
  const std::vector<char> kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_EQ(kept.size(), kSettingsRecordLength);
  EXPECT_EQ(kept[6], 'C');

  s.records[1].extraText.clear();
  EXPECT_FALSE(WriteSettingsFile(s, (dir / "no-such-folder" / "x.dim").string()));
  EXPECT_NE(ui.LastText().find("could not be written"), std::string::npos);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace pelmora
