#include <gtest/gtest.h>

#include <cmath>

#include "format/number_entry.h"
#include "session/typed_text.h"

namespace pelmora {
namespace {

TEST(NumberEntryCheckDigits, AcceptsTheAllowedCharacters) {
  RecordingUserInterface ui;
  std::string text = "0123456789.-, ";
  EXPECT_TRUE(CheckDigits(text, ui));
  EXPECT_EQ(text, "0123456789.-, ");
  std::string empty;
  EXPECT_TRUE(CheckDigits(empty, ui));
  EXPECT_EQ(ui.beeps, 0);
  EXPECT_TRUE(ui.messages.empty());
}

TEST(NumberEntryCheckDigits, RemovesTheFirstOffendingCharacterWithAMessage) {
  RecordingUserInterface ui;
  std::string text = "1a";
  EXPECT_FALSE(CheckDigits(text, ui));
  EXPECT_EQ(text, "1");
  EXPECT_EQ(ui.beeps, 1);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "a   is not allowed. Must be a digit.");
  EXPECT_EQ(ui.messages[0].title, kProgramTitle);
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::Exclamation);
}

TEST(NumberEntryCheckDigits, OneCharacterPerCallUntilTheTextPasses) {
  RecordingUserInterface ui;
  std::string text = "x1+2y";
  EXPECT_FALSE(CheckDigits(text, ui));
  EXPECT_EQ(text, "1+2y");
  EXPECT_EQ(ui.LastText(), "x   is not allowed. Must be a digit.");
  EXPECT_FALSE(CheckDigits(text, ui));
  EXPECT_EQ(text, "12y");
  EXPECT_EQ(ui.LastText(), "+   is not allowed. Must be a digit.");
  EXPECT_FALSE(CheckDigits(text, ui));
  EXPECT_EQ(text, "12");
  EXPECT_TRUE(CheckDigits(text, ui));
  EXPECT_EQ(ui.beeps, 3);
  EXPECT_EQ(ui.messages.size(), 3u);
}

TEST(NumberEntryCheckDigits, MultiByteCharactersAreShownAndRemovedWhole) {
  RecordingUserInterface ui;
  std::string text =
      "2\xC3\xA9"
      "5";  // "2é5"
  EXPECT_FALSE(CheckDigits(text, ui));
  EXPECT_EQ(text, "25");
  EXPECT_EQ(ui.LastText(), "\xC3\xA9   is not allowed. Must be a digit.");

  std::string euro =
      "\xE2\x82\xAC"
      "1";  // "€1"
  EXPECT_FALSE(CheckDigits(euro, ui));
  EXPECT_EQ(euro, "1");
  EXPECT_EQ(ui.LastText(), "\xE2\x82\xAC   is not allowed. Must be a digit.");

  // A stray continuation byte is one character of its own.
  std::string broken =
      "1\xA9"
      "2";
  EXPECT_FALSE(CheckDigits(broken, ui));
  EXPECT_EQ(broken, "12");
}

TEST(NumberEntryParseNumber, ReadsTypedNumbers) {
  EXPECT_EQ(ParseNumber("0,25"), 0.25);
  EXPECT_EQ(ParseNumber("0.25"), 0.25);
  EXPECT_EQ(ParseNumber("12abc"), 12.0);
  EXPECT_EQ(ParseNumber(""), 0.0);
  EXPECT_EQ(ParseNumber("-"), 0.0);
  EXPECT_EQ(ParseNumber("."), 0.0);
  EXPECT_EQ(ParseNumber("abc"), 0.0);
  EXPECT_EQ(ParseNumber("-1.5"), -1.5);
  EXPECT_EQ(ParseNumber("+3"), 3.0);
  EXPECT_EQ(ParseNumber(".5"), 0.5);
  EXPECT_EQ(ParseNumber("-,5"), -0.5);
  EXPECT_EQ(ParseNumber("7."), 7.0);
  EXPECT_EQ(ParseNumber("0.1"), 0.1);
}

TEST(NumberEntryParseNumber, SkipsBlanksEverywhere) {
  EXPECT_EQ(ParseNumber("   42"), 42.0);
  EXPECT_EQ(ParseNumber("1 000"), 1000.0);
  EXPECT_EQ(ParseNumber(" - 2 , 5 "), -2.5);
  EXPECT_EQ(ParseNumber("\t3\n"), 3.0);
  EXPECT_EQ(ParseNumber("    "), 0.0);
}

TEST(NumberEntryParseNumber, StopsAtTheFirstCharacterThatCannotContinue) {
  EXPECT_EQ(ParseNumber("1.2.3"), 1.2);
  EXPECT_EQ(ParseNumber("1,2,3"), 1.2);  // both commas become points
  EXPECT_EQ(ParseNumber("5-3"), 5.0);
  EXPECT_EQ(ParseNumber("--5"), 0.0);
  EXPECT_EQ(ParseNumber("0x10"), 0.0);
  EXPECT_EQ(ParseNumber("12%"), 12.0);
}

TEST(NumberEntryParseNumber, ReadsExponents) {
  EXPECT_EQ(ParseNumber("1E3"), 1000.0);
  EXPECT_EQ(ParseNumber("1e3"), 1000.0);
  EXPECT_EQ(ParseNumber("1D3"), 1000.0);
  EXPECT_EQ(ParseNumber("2,5E-2"), 0.025);
  EXPECT_EQ(ParseNumber("1 E + 2"), 100.0);
  EXPECT_EQ(ParseNumber("1E"), 1.0);
  EXPECT_EQ(ParseNumber("1E-"), 1.0);
  EXPECT_EQ(ParseNumber("1Ex"), 1.0);
  EXPECT_EQ(ParseNumber("E3"), 0.0);
  EXPECT_EQ(ParseNumber("1.5E-07"), 1.5e-7);
}

TEST(NumberEntryParseNumber, OutOfRangeMagnitudesNeverThrow) {
  EXPECT_TRUE(std::isinf(ParseNumber("1E999")));
  EXPECT_GT(ParseNumber("1E999"), 0.0);
  EXPECT_LT(ParseNumber("-1E999"), 0.0);
  EXPECT_TRUE(std::isinf(ParseNumber("1E99999999999999999999")));
  EXPECT_EQ(ParseNumber("1E-999"), 0.0);
  EXPECT_EQ(ParseNumber("0.0001E-400"), 0.0);
  EXPECT_EQ(ParseNumber("0E999"), 0.0);
  EXPECT_FALSE(std::signbit(ParseNumber("-0")));
}

TEST(NumberEntryWellFormed, OneNumberWholeOrNothing) {
  const struct {
    const char* text;
    bool wellFormed;
  } rows[] = {{"", true},      {"  ", true},     {"2.5", true},   {"2,5", true},   {"-0.5", true},
              {" - 3 ", true}, {"1 000", true},  {".5", true},    {"5.", true},    {"2.5.3", false},
              {"3-", false},   {"7,5,3", false}, {"2.5,3", false}, {"--3", false}, {"-", false},
              {".", false},    {",", false},     {"1e5", false},  {"+3", false},   {"1.Æ0", false}};
  for (const auto& r : rows) EXPECT_EQ(IsWellFormedNumber(r.text), r.wellFormed) << '"' << r.text << '"';
}

TEST(NumberEntryText, RemoveAcceleratorRemovesOnlyTheFirstAmpersand) {
  EXPECT_EQ(RemoveAccelerator("Sample Size &2 / Sample Size 1"), "Sample Size 2 / Sample Size 1");
  EXPECT_EQ(RemoveAccelerator("&P-value"), "P-value");
  EXPECT_EQ(RemoveAccelerator("A && B"), "A & B");
  EXPECT_EQ(RemoveAccelerator("&Mean &1"), "Mean &1");
  EXPECT_EQ(RemoveAccelerator("Power"), "Power");
  EXPECT_EQ(RemoveAccelerator(""), "");
}

TEST(NumberEntryText, ReplaceTextOverwritesEveryOccurrence) {
  EXPECT_EQ(ReplaceText("1,5;2,5", ',', '.'), "1.5;2.5");
  EXPECT_EQ(ReplaceText("abc", 'x', 'y'), "abc");
  EXPECT_EQ(ReplaceText("", ',', '.'), "");
}

}  // namespace
}  // namespace pelmora
