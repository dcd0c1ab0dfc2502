// The output text of results: padding to a measured width, the rich-text
// document (checked byte for byte and, where unrtf is installed, read back by
// a real RTF reader), the Calculation window's output and the table as text.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "output/output_text.h"
#include "session/session.h"
#include "session/user_interface.h"
#include "support/planning_fixture.h"

namespace pelmora {
namespace {

const MeasureText kPerCharacter = [](std::string_view t) { return static_cast<double>(t.size()); };

// Digits twice as wide as every other character.
const MeasureText kWideDigits = [](std::string_view t) {
  double w = 0;
  for (char ch : t) w += (ch >= '0' && ch <= '9') ? 2 : 1;
  return w;
};

std::string Blanks(std::size_t n) { return std::string(n, ' '); }
std::string Dashes(std::size_t n) { return std::string(n, '-'); }

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\r\n";
  return text;
}

// ---- Padding ---------------------------------------------------------------

TEST(PadToWidth, AddsOnTheRightOnTheLeftOrOnBothSides) {
  EXPECT_EQ(PadToWidth(kPerCharacter, "abcdef", "ab", " ", kPadRight), "ab    ");
  EXPECT_EQ(PadToWidth(kPerCharacter, "abcdef", "ab", " ", kPadLeft), "    ab");
  // Five blanks in turns from the right: three right, two left.
  EXPECT_EQ(PadToWidth(kPerCharacter, "abcdefg", "ab", " ", kPadBothSides), "  ab   ");
  EXPECT_EQ(PadToWidth(kPerCharacter, "abcdef", "ab", " ", kPadBothSides), "  ab  ");
  // An unknown mode adds on the right.
  EXPECT_EQ(PadToWidth(kPerCharacter, "abcd", "ab", " ", 7), "ab  ");
}

TEST(PadToWidth, AlwaysAddsAtLeastOnce) {
  EXPECT_EQ(PadToWidth(kPerCharacter, "ab", "abc", " ", kPadRight), "abc ");
  EXPECT_EQ(PadToWidth(kPerCharacter, "ab", "abc", " ", kPadLeft), " abc");
  EXPECT_EQ(PadToWidth(kPerCharacter, "abc", "abc", " ", kPadBothSides), "abc ");
  EXPECT_EQ(PadToWidth(kPerCharacter, "", "", "-", kPadRight), "-");
}

TEST(PadToWidth, AWidePadMayPassTheReference) {
  EXPECT_EQ(PadToWidth(kPerCharacter, "abcde", "", "-=", kPadRight), "-=-=-=");
  EXPECT_EQ(PadToMeasuredWidth(kPerCharacter, 4.5, "x", "-", kPadRight), "x----");
}

TEST(PadToWidth, MeasuresInTheTargetsFont) {
  // "1" is two wide; five one-wide blanks reach seven.
  EXPECT_EQ(PadToWidth(kWideDigits, "abcdefg", "1", " ", kPadBothSides), "  1   ");
  // Blanks are one wide, so "12" (4) needs three to reach "0.5 " + "ab" (7).
  EXPECT_EQ(PadToWidth(kWideDigits, "0.5ab", "12", " ", kPadRight), "12   ");
}

TEST(PadToWidth, APadWithoutWidthIsAddedOnceAndTheLoopEnds) {
  const MeasureText blanksHaveNoWidth = [](std::string_view t) {
    double w = 0;
    for (char ch : t) w += ch == ' ' ? 0 : 1;
    return w;
  };
  EXPECT_EQ(PadToWidth(blanksHaveNoWidth, "abcdef", "ab", " ", kPadRight), "ab ");
  EXPECT_EQ(PadToWidth(blanksHaveNoWidth, "abcdef", "ab", " ", kPadBothSides), "ab ");
  EXPECT_EQ(PadToWidth(blanksHaveNoWidth, "abcdef", "ab", " ", kPadLeft), " ab");
  EXPECT_EQ(PadToWidth(kPerCharacter, "abcdef", "ab", "", kPadRight), "ab");
  // A width that is no number ends the loop as well.
  EXPECT_EQ(PadToMeasuredWidth(kPerCharacter, std::nan(""), "ab", " ", kPadRight), "ab ");
}

// ---- Rich text -------------------------------------------------------------

constexpr const char* kDocumentHead =
    "{\\rtf0\\ansi{\\fonttbl\\f1\\fnil Arial;}{\\stylesheet {\\s0 Normal;}}";

TEST(RichText, TwoLinesInArialTenAreTheDocumentedDocument) {
  EXPECT_EQ(RichTextOf("A\r\nB\r\n", "Arial", 10, false),
            "{\\rtf0\\ansi{\\fonttbl\\f1\\fnil Arial;}{\\stylesheet {\\s0 Normal;}}"
            "{\\s0\\f1\\fs20A\\par B\\par \\par}}");
}

TEST(RichText, BoldIsDelimitedFromTheText) {
  // "\b" directly followed by "A" would be read as the control word "\bA":
  // the blank ends "\b" and is not shown.
  EXPECT_EQ(RichTextOf("A\r\nB\r\n", "Arial", 10, true),
            std::string(kDocumentHead) + "{\\s0\\f1\\fs20\\b A\\par B\\par \\par}}");
  EXPECT_EQ(RichTextOf("9 steps\r\n", "Arial", 10, true),
            std::string(kDocumentHead) + "{\\s0\\f1\\fs20\\b 9 steps\\par \\par}}");
  EXPECT_EQ(RichTextOf("", "Arial", 10, true), std::string(kDocumentHead) + "{\\s0\\f1\\fs20\\b \\par}}");
}

TEST(RichText, ATextThatWouldRunIntoTheSizeIsDelimited) {
  const std::string body = std::string(kDocumentHead) + "{\\s0\\f1\\fs18";
  // A digit would lengthen the size ("\fs189"), a blank would be eaten.
  EXPECT_EQ(RichTextOf("9 steps\r\n", "Arial", 9, false), body + " 9 steps\\par \\par}}");
  EXPECT_EQ(RichTextOf("   Centred   \r\n", "Arial", 9, false), body + "    Centred   \\par \\par}}");
  // A letter, a sign, a point or an escape ends the size by itself.
  EXPECT_EQ(RichTextOf("x\r\n", "Arial", 9, false), body + "x\\par \\par}}");
  EXPECT_EQ(RichTextOf("-5\r\n", "Arial", 9, false), body + "-5\\par \\par}}");
  EXPECT_EQ(RichTextOf(".5\r\n", "Arial", 9, false), body + ".5\\par \\par}}");
  EXPECT_EQ(RichTextOf("{x}", "Arial", 9, false), body + "\\{x\\}\\par}}");
  EXPECT_EQ(RichTextOf("", "Arial", 9, false), body + "\\par}}");
}

TEST(RichText, TheOutputFontGivesNameSizeAndBold) {
  EXPECT_EQ(RichTextOf("A\r\nB\r\n", OutputFont{"Arial", "10", 0}),
            RichTextOf("A\r\nB\r\n", "Arial", 10, false));
  EXPECT_EQ(RichTextOf("A\r\n", OutputFont{"Arial", "10", 1}), RichTextOf("A\r\n", "Arial", 10, true));
  EXPECT_EQ(RichTextOf("A\r\n", OutputFont{"Arial", "10", kTrue}), RichTextOf("A\r\n", "Arial", 10, true));
  EXPECT_EQ(RichTextOf("A", OutputFont{}),
            "{\\rtf0\\ansi{\\fonttbl\\f1\\fnil Arial;}{\\stylesheet {\\s0 Normal;}}{\\s0\\f1\\fs18A\\par}}");
  EXPECT_EQ(HalfPointsOfFontSize("10"), 20);
  EXPECT_EQ(HalfPointsOfFontSize(" 12 "), 24);
  EXPECT_EQ(HalfPointsOfFontSize("9,5"), 19);
  EXPECT_EQ(HalfPointsOfFontSize(""), 18);
  EXPECT_EQ(HalfPointsOfFontSize("-4"), 18);
  EXPECT_EQ(HalfPointsOfFontSize("1E400"), 18);
  EXPECT_NE(RichTextOf("A", OutputFont{"Times New Roman", "9,5", 0}).find("Times New Roman;}"),
            std::string::npos);
  EXPECT_NE(RichTextOf("A", OutputFont{"Times New Roman", "9,5", 0}).find("\\fs19A"), std::string::npos);
}

TEST(RichText, BracesBackslashesAndControlCharactersAreEscaped) {
  EXPECT_EQ(EscapeRichText("Plain text, (a) = 0.05; 100% [x]"), "Plain text, (a) = 0.05; 100% [x]");
  EXPECT_EQ(EscapeRichText("{n} \\ x"), "\\{n\\} \\\\ x");
  EXPECT_EQ(EscapeRichText("a\tb"), "a\\tab b");
  EXPECT_EQ(EscapeRichText("a\r\nb\nc\rd"), "a\\par b\\par c\\par d");
  EXPECT_EQ(EscapeRichText(std::string("a\x01z\x7f", 4)), "a\\'01z\\'7f");
  EXPECT_EQ(EscapeRichText("\\par"), "\\\\par");
}

TEST(RichText, NonAsciiCharactersAreSigned16BitUnicodeEscapes) {
  EXPECT_EQ(EscapeRichText("Gr\xC3\xB6\xC3\x9F"
                           "e"),
            "Gr\\u246?\\u223?e");                           // Größe
  EXPECT_EQ(EscapeRichText("\xC2\xB5"), "\\u181?");         // µ
  EXPECT_EQ(EscapeRichText("\xE2\x82\xAC"), "\\u8364?");    // € U+20AC
  EXPECT_EQ(EscapeRichText("\xEC\x95\x88"), "\\u-15032?");  // U+C548 = 50504 - 65536
  EXPECT_EQ(EscapeRichText("\xEF\xBF\xBD"), "\\u-3?");      // U+FFFD
  // U+1F600 is the surrogate pair D83D DE00 (55357 and 56832 less 65536).
  EXPECT_EQ(EscapeRichText("\xF0\x9F\x98\x80"), "\\u-10179?\\u-8704?");
  // U+10000, the first character beyond 16 bits: D800 DC00.
  EXPECT_EQ(EscapeRichText("\xF0\x90\x80\x80"), "\\u-10240?\\u-9216?");
}

TEST(RichText, BytesThatAreNoUtf8BecomeTheReplacementCharacter) {
  EXPECT_EQ(EscapeRichText("a\xFF"
                           "b"),
            "a\\u-3?b");
  EXPECT_EQ(EscapeRichText("a\x80"
                           "b"),
            "a\\u-3?b");                                            // stray continuation byte
  EXPECT_EQ(EscapeRichText("a\xC3"), "a\\u-3?");                    // cut short
  EXPECT_EQ(EscapeRichText("\xC0\xAF"), "\\u-3?\\u-3?");            // overlong "/"
  EXPECT_EQ(EscapeRichText("\xED\xA0\x80"), "\\u-3?\\u-3?\\u-3?");  // a surrogate
}

TEST(RichText, TheFontNameIsEscapedLikeTheText) {
  EXPECT_EQ(RichTextOf("A", "Gr\xC3\xB6{x};y", 10, false),
            "{\\rtf0\\ansi{\\fonttbl\\f1\\fnil Gr\\u246?\\{x\\}\\'3by;}{\\stylesheet {\\s0 Normal;}}"
            "{\\s0\\f1\\fs20A\\par}}");
}

// ---- Read back by a real RTF reader ----------------------------------------

constexpr const char* kUnrtf = "/usr/bin/unrtf";

// What unrtf shows of a document in the given mode ("text" or "html").
std::string ReadWithUnrtf(const std::string& document, const std::string& mode) {
  // The test runner runs tests side by side: each process names its own files.
  static int serial = 0;
  const std::filesystem::path file =
      std::filesystem::path(::testing::TempDir()) /
      ("pelmora_rtf_" + std::to_string(::getpid()) + "_" + std::to_string(++serial) + ".rtf");
  {
    std::ofstream out(file, std::ios::binary);
    out << document;
  }
  const std::string command = std::string(kUnrtf) + " --" + mode + " '" + file.string() + "' 2>/dev/null";
  std::string shown;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) shown.append(buffer, n);
    ::pclose(pipe);
  }
  std::filesystem::remove(file);
  return shown;
}

// The words of the text unrtf shows, after its own header.  unrtf writes runs
// of blanks as one and a tab as a break, so the words are what can be
// compared; a character it cannot write in text mode shows as the "?" that
// follows its "\uN".
std::vector<std::string> VisibleWords(const std::string& document) {
  std::string shown = ReadWithUnrtf(document, "text");
  const std::string bodyStart = "-----------------\n";
  const std::size_t at = shown.find(bodyStart);
  shown = at == std::string::npos ? std::string() : shown.substr(at + bodyStart.size());
  std::istringstream in(shown);
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

using Words = std::vector<std::string>;

class RichTextReadBack : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(kUnrtf)) GTEST_SKIP() << "unrtf is not installed";
  }
};

TEST_F(RichTextReadBack, TheTwoLineDocumentsShowBothLines) {
  EXPECT_EQ(VisibleWords(RichTextOf("A\r\nB\r\n", "Arial", 10, false)), (Words{"A", "B"}));
  EXPECT_EQ(VisibleWords(RichTextOf("A\r\nB\r\n", "Arial", 10, true)), (Words{"A", "B"}));
}

TEST_F(RichTextReadBack, ATextStartingWithADigitOrABlankKeepsIt) {
  EXPECT_EQ(VisibleWords(RichTextOf("9 steps\r\n", "Arial", 10, false)), (Words{"9", "steps"}));
  EXPECT_EQ(VisibleWords(RichTextOf("9 steps\r\n", "Arial", 10, true)), (Words{"9", "steps"}));
  EXPECT_EQ(VisibleWords(RichTextOf("-5 and 0.5\r\n", "Arial", 10, false)), (Words{"-5", "and", "0.5"}));
  EXPECT_EQ(VisibleWords(RichTextOf("  Centred  \r\nx\r\n", "Arial", 10, false)), (Words{"Centred", "x"}));
}

TEST_F(RichTextReadBack, BracesBackslashesAndNonAsciiCharactersSurvive) {
  const std::string title =
      "Size {n} \\ Gr\xC3\xB6\xC3\x9F"
      "e \xC2\xB5 \xF0\x9F\x98\x80\r\nnext\r\n";
  for (bool bold : {false, true}) {
    // Text mode writes the fallback "?" of each "\uN?"; nothing else is lost.
    EXPECT_EQ(VisibleWords(RichTextOf(title, "Arial", 10, bold)),
              (Words{"Size", "{n}", "\\", "Gr??e", "?", "??", "next"}));
  }
  // HTML mode writes the characters themselves.
  const std::string html =
      ReadWithUnrtf(RichTextOf("Gr\xC3\xB6\xC3\x9F \xC2\xB5 \xE2\x82\xAC\r\n", "Arial", 10, false), "html");
  EXPECT_NE(html.find("Gr&ouml;&szlig;"), std::string::npos) << html;
  EXPECT_NE(html.find("&micro;"), std::string::npos) << html;
  EXPECT_NE(html.find("&euro;"), std::string::npos) << html;
}

TEST_F(RichTextReadBack, ATabSeparatesTheHalvesOfALine) {
  EXPECT_EQ(VisibleWords(RichTextOf("P-value: 0.05\tN: 30\r\n", "Arial", 9, false)),
            (Words{"P-value:", "0.05", "N:", "30"}));
}

// ---- The Calculation window's output ---------------------------------------

class CalculationOutputTest : public testing::PlanningTest {
 protected:
  void Choose(Procedure test, int tails) {
    s.OptionState.fill(0);
    d.Select(test);
    d.SetTailCount(tails);
    d.ApplyOptions();
  }
  // Student's unpaired t-test, two-sided, with its start-up values and the
  // P-value solved:
  // 2 * scipy.stats.t.sf(0.1 / (1.2 * sqrt(2 / 30)), 58) = 0.748046
  void SolveUnpairedPValue() {
    Choose(Procedure::UnpairedT, 2);
    ASSERT_NEAR(Solve(0), 0.748046, 2e-5);
  }
};

TEST_F(CalculationOutputTest, EntriesFollowTheValueBoxes) {
  SolveUnpairedPValue();
  EXPECT_EQ(CalculationEntries(s), (std::vector<CalculationEntry>{{"P-value", "0.74805"},
                                                                  {"H0: Mean 2 - Mean 1", "0"},
                                                                  {"Mean 1*", "0.30"},
                                                                  {"Mean 2*", "0.40"},
                                                                  {"Standard Deviation*", "1.2"},
                                                                  {"Sample Size 1", "30"},
                                                                  {"Sample Size 2", "30"}}));
  EXPECT_EQ(CalculationHeadings(s), (std::vector<std::string>{"Student's unpaired t-test. 2-sided."}));
}

TEST_F(CalculationOutputTest, TheLayoutPlacesLabelsAndValuesInColumns) {
  SolveUnpairedPValue();
  const CalculationOutput o = LayoutCalculationOutput(s, kPerCharacter);
  // Widest label "H0: Mean 2 - Mean 1: " (21), widest value "0.74805" (7).
  EXPECT_DOUBLE_EQ(o.labelWidth, 21);
  EXPECT_DOUBLE_EQ(o.valueWidth, 7);
  EXPECT_DOUBLE_EQ(o.halfGap, 9);
  EXPECT_DOUBLE_EQ(o.rightHalfLeft, 37);
  EXPECT_DOUBLE_EQ(o.width, 65);
  ASSERT_EQ(o.headingLines.size(), 1u);
  EXPECT_EQ(o.headingLines[0].pieces[0], (TablePiece{"Student's unpaired t-test. 2-sided.", 15}));
  EXPECT_DOUBLE_EQ(o.ruleLeft, 0);
  EXPECT_DOUBLE_EQ(o.ruleRight, 65);
  EXPECT_DOUBLE_EQ(o.ruleTop, 1);
  ASSERT_EQ(o.lines.size(), 4u);
  const CalculationOutputLine& first = o.lines[0];
  EXPECT_DOUBLE_EQ(first.top, 1.5);
  EXPECT_EQ(first.leftLabel, (TablePiece{"P-value: ", 0}));
  EXPECT_EQ(first.leftValue, (TablePiece{"0.74805", 21}));
  EXPECT_TRUE(first.hasRight);
  EXPECT_EQ(first.rightLabel, (TablePiece{"H0: Mean 2 - Mean 1: ", 37}));
  EXPECT_EQ(first.rightValue, (TablePiece{"0", 58}));
  EXPECT_EQ(o.lines[2].leftLabel.text, "Standard Deviation*: ");
  EXPECT_EQ(o.lines[2].rightLabel.text, "Sample Size 1: ");
  const CalculationOutputLine& last = o.lines[3];
  EXPECT_DOUBLE_EQ(last.top, 4.5);
  EXPECT_EQ(last.leftLabel, (TablePiece{"Sample Size 2: ", 0}));
  EXPECT_EQ(last.leftValue, (TablePiece{"30", 21}));
  EXPECT_FALSE(last.hasRight);
  EXPECT_DOUBLE_EQ(o.closingRuleTop, 5.5);
  // Below the rule, the power of the solved design and its standardised
  // effect, d = (0.40 - 0.30) / 1.2.
  // Then an empty line and the paragraph for the protocol in five lines.
  ASSERT_EQ(o.remarkLines.size(), 2u + 1u + 5u);
  EXPECT_EQ(o.remarkLines[1].pieces.front().text, "Standardised effect: d = 0.08");
  EXPECT_EQ(o.remarkLines[2].pieces.front().text, "");
  EXPECT_EQ(o.remarkLines[3].pieces.front().text, "A sample size of 30 per group (60 in all) makes an assumed");
  EXPECT_DOUBLE_EQ(o.remarkLines[7].top, 13);
  EXPECT_DOUBLE_EQ(o.heightInLines, 14);
}

TEST_F(CalculationOutputTest, TheOutputAsText) {
  SolveUnpairedPValue();
  // Labels padded to 21, values to 7 (the widest value gets its one blank).
  EXPECT_EQ(
      CalculationOutputText(s, kPerCharacter),
      Lines({Blanks(15) + "Student's unpaired t-test. 2-sided." + Blanks(15), Dashes(65),
             "P-value:" + Blanks(13) + "0.74805 " + "\t" + "H0: Mean 2 - Mean 1: 0" + Blanks(6),
             "Mean 1*:" + Blanks(13) + "0.30   " + "\t" + "Mean 2*:" + Blanks(13) + "0.40   ",
             "Standard Deviation*: 1.2    " + std::string("\t") + "Sample Size 1:" + Blanks(7) + "30     ",
             // at alpha = 0.74805: c = scipy.stats.t.isf(0.74805 / 2, 58), delta = 0.1 / (1.2 * sqrt(2 / 30)),
             // scipy.stats.nct.sf(c, 58, delta) + scipy.stats.nct.cdf(-c, 58, delta) = 0.760403
             "Sample Size 2:" + Blanks(7) + "30     ", "Power of this design: 0.7604",
             "Standardised effect: d = 0.08", "", "A sample size of 30 per group (60 in all) makes an assumed",
             "difference in means of 0.1 (means 0.3 and 0.4, common standard",
             "deviation 1.2; standardised effect d = 0.08) just significant",
             "with Student's unpaired t-test at a two-sided significance level", "of 0.74805.", ""}));
}

TEST_F(CalculationOutputTest, AValueNotCalculableIsADash) {
  Choose(Procedure::UnpairedT, 2);
  // With 30 in group 2 no size of group 1 reaches P = 0.05 for a difference
  // of 0.1 in units of 1.2; even a million gives
  // 2 * scipy.stats.t.sf(0.1 / (1.2 * sqrt(1 / 1e6 + 1 / 30)), 1e6 + 28) = 0.648082
  EXPECT_EQ(Solve(4), kNoResult);
  const std::vector<CalculationEntry> entries = CalculationEntries(s);
  EXPECT_EQ(entries[5], (CalculationEntry{"Sample Size 1", "-"}));
  const CalculationOutput o = LayoutCalculationOutput(s, kPerCharacter);
  EXPECT_EQ(o.lines[2].rightValue.text, "-");
  EXPECT_NE(CalculationOutputText(s, kPerCharacter).find("\tSample Size 1:" + Blanks(7) + "-"),
            std::string::npos);
}

TEST_F(CalculationOutputTest, AnOddNumberOfBoxesLeavesTheLastLineWithoutRightHalf) {
  // Student's paired t-test, sample size solved:
  // scipy.optimize.brentq(lambda n: 2 * scipy.stats.t.sf(0.3 / (0.3 / sqrt(n)), n - 1) - 0.05, 2.5, 100)
  //   = 6.352717
  Choose(Procedure::PairedT, 2);
  ASSERT_NEAR(Solve(14), 6.352717, 1e-3);
  // Labels to "Standard Deviation of Difference*: " (35), values to "6.3527".
  EXPECT_EQ(CalculationOutputText(s, kPerCharacter),
            Lines({Blanks(29) + "Student's paired t-test. 2-sided." + Blanks(29), Dashes(91),
                   "P-value:" + Blanks(27) + "0.05  \tH0: Mean of Difference:" + Blanks(12) + "0     ",
                   "Mean of Difference*:" + Blanks(15) + "0.30  \tStandard Deviation of Difference*: 0.30  ",
                   "Sample Size:" + Blanks(23) + "6.3527 ",
                   // c = scipy.stats.t.isf(0.025, n - 1), scipy.stats.nct.sf(c, n - 1, sqrt(n))
                   // + scipy.stats.nct.cdf(-c, n - 1, sqrt(n)) = 0.541349 at n = 6.352717, 0.600497 at 7
                   "Power of this design: 0.5413; at the whole sample size 7: 0.6005",
                   "Standardised effect: d = 1.00", "",
                   "A sample size of 7 makes an assumed mean of difference of 0.3 (standard deviation of",
                   "difference 0.3; standardised effect d = 1.00) just significant with Student's paired t-test",
                   "at a two-sided significance level of 0.05.", ""}));
  const CalculationOutput o = LayoutCalculationOutput(s, kPerCharacter);
  ASSERT_EQ(o.lines.size(), 3u);
  EXPECT_FALSE(o.lines[2].hasRight);
  EXPECT_DOUBLE_EQ(o.width, 91);
}

TEST_F(CalculationOutputTest, AProportionalFontMeasuresTheColumns) {
  SolveUnpairedPValue();
  const CalculationOutput o = LayoutCalculationOutput(s, kWideDigits);
  // "H0: Mean 2 - Mean 1: " has three digits: 24; "0.74805" six: 13.
  EXPECT_DOUBLE_EQ(o.labelWidth, 24);
  EXPECT_DOUBLE_EQ(o.valueWidth, 13);
  EXPECT_DOUBLE_EQ(o.rightHalfLeft, 24 + 13 + 9);
  EXPECT_DOUBLE_EQ(o.lines[1].rightValue.left, 46 + 24);
  EXPECT_DOUBLE_EQ(o.width, 46 + 37);
  // In the text, "Sample Size 1:" (15 wide) gets nine blanks to reach 24,
  // "30" (4 wide) nine to reach 13.
  EXPECT_NE(
      CalculationOutputText(s, kWideDigits).find("\tSample Size 1:" + Blanks(9) + "30" + Blanks(9) + "\r\n"),
      std::string::npos);
}

TEST_F(CalculationOutputTest, AWideHeadingWidensTheOutput) {
  SolveUnpairedPValue();
  const std::string wide(70, 'h');
  const CalculationOutput o = LayoutCalculationOutput(s, {"short", wide}, kPerCharacter);
  EXPECT_DOUBLE_EQ(o.width, 70);
  EXPECT_DOUBLE_EQ(o.ruleRight, 70);
  EXPECT_DOUBLE_EQ(o.headingLines[0].pieces[0].left, 32.5);
  EXPECT_DOUBLE_EQ(o.headingLines[1].pieces[0].left, 0);
  EXPECT_DOUBLE_EQ(o.ruleTop, 2);
  // The widest heading gets its one blank; the rule is as wide as it.
  const std::string head = Lines({Blanks(32) + "short" + Blanks(33), wide + " ", Dashes(70)});
  EXPECT_EQ(CalculationOutputText(s, {"short", wide}, kPerCharacter).substr(0, head.size()), head);
}

// ---- The table as text -----------------------------------------------------

// Three z values in blocks of two; the second z value is not calculated at
// x = 0.5.
class TableOutputTest : public ::testing::Test {
 protected:
  TableOutputTest() : s(ui) {
    s.ParameterList[2] = 10;
    s.ParameterList[3] = 11;
    // Entries of short captions in place of ids 10 and 11.
    static const CatalogueConstants d{"&D"}, sd{"&S"};
    s.entry(10) = CatalogueEntry(d);
    s.entry(11) = CatalogueEntry(sd);
    s.XPosition = 2;
    s.ZPosition = 3;
    s.RangeHeadings = {"Unpaired t-test", "N as a function of D and S."};
    s.XValues = {0.5f, 1.0f};
    s.ZValues = {1, 2, 3};
    s.YValues = {{10, 20}, {kNotCalculated, 30.5f}, {40, 50}};
    s.YMin = 10;
    s.YMax = 50;
  }
  RecordingUserInterface ui;
  Session s;
};

TEST_F(TableOutputTest, TheTableAsTextLines) {
  std::int16_t decimals = 1;
  const std::string x05 = Blanks(7) + "0.5 " + Blanks(2);
  const std::string x10 = Blanks(7) + "1.0 " + Blanks(2);
  EXPECT_EQ(TableOutputText(s, decimals, 2, kPerCharacter, 2),
            Lines({Blanks(10) + "Unpaired t-test" + Blanks(10),
                   Blanks(4) + "N as a function of D and S." + Blanks(4),
                   Dashes(35),
                   "D" + Blanks(22) + "S",
                   Dashes(35),
                   Blanks(22) + "1 " + Blanks(9) + "2 ",
                   Dashes(35),
                   x05 + Blanks(6) + "10.0 " + Blanks(9) + "- ",
                   x10 + Blanks(6) + "20.0 " + Blanks(6) + "30.5 ",
                   "",
                   Dashes(35),
                   "",
                   "",
                   Dashes(24),
                   "D" + Blanks(17) + "S",
                   Dashes(24),
                   Blanks(22) + "3 ",
                   Dashes(24),
                   x05 + Blanks(6) + "40.0 ",
                   x10 + Blanks(6) + "50.0 ",
                   "",
                   Dashes(24),
                   "",
                   ""}));
  EXPECT_EQ(decimals, 1);
}

TEST_F(TableOutputTest, AutomaticDecimalsAreChosenAndKept) {
  std::int16_t decimals = -1;
  const std::string text = TableOutputText(s, decimals, 3, kPerCharacter, 2);
  // Two x values: the span 10 .. 50 in one step of 40, one decimal.
  EXPECT_EQ(decimals, 1);
  EXPECT_NE(text.find("\r\n" + Blanks(7) + "0.5 " + Blanks(8) + "10.0 " + Blanks(9) + "- " + Blanks(6) +
                      "40.0 \r\n"),
            std::string::npos)
      << text;
}

TEST(TextLineOfPieces, BlanksCarryEachPieceToItsPosition) {
  EXPECT_EQ(TextLineOfPieces({{"ab", 0}, {"cd", 5}}, kPerCharacter), "ab   cd");
  // A position between two blanks is not passed.
  EXPECT_EQ(TextLineOfPieces({{"ab", 0}, {"cd", 5.5}}, kPerCharacter), "ab   cd");
  // A piece left of the line's end follows directly.
  EXPECT_EQ(TextLineOfPieces({{"abcdef", 0}, {"gh", 3}}, kPerCharacter), "abcdefgh");
  EXPECT_EQ(TextLineOfPieces({{"x", 2}}, kPerCharacter), "  x");
  EXPECT_EQ(TextLineOfPieces({}, kPerCharacter), "");
  // Two-wide blanks stop short of a position they cannot reach exactly.
  const MeasureText wideBlanks = [](std::string_view t) {
    double w = 0;
    for (char ch : t) w += ch == ' ' ? 2 : 1;
    return w;
  };
  EXPECT_EQ(TextLineOfPieces({{"ab", 0}, {"cd", 5}}, wideBlanks), "ab cd");
  // Blanks without width add nothing and end.
  const MeasureText noBlanks = [](std::string_view t) {
    double w = 0;
    for (char ch : t) w += ch == ' ' ? 0 : 1;
    return w;
  };
  EXPECT_EQ(TextLineOfPieces({{"ab", 0}, {"cd", 5}}, noBlanks), "abcd");
}

TEST(TextLineOfPieces, RulesAreDashesFromLeftToRight) {
  EXPECT_EQ(RuleText(0, 5, kPerCharacter), "-----");
  EXPECT_EQ(RuleText(3, 10, kPerCharacter), "   -------");
  EXPECT_EQ(RuleText(0, 4.5, kPerCharacter), "-----");
}

}  // namespace
}  // namespace pelmora
