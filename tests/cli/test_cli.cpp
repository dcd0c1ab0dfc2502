// pelmora-cli run in-process: exit statuses, the values it prints, the naming
// of parameters and the usage errors.  Reference values are computed with
// scipy 1.10 (Debian's python3-scipy); the program's t distribution is a
// single-precision continued fraction, good to about 1e-5 in P, and solved
// sample sizes agree to a few hundredths.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/cli_run.h"

namespace pelmora {
namespace {

using testing::CliRun;
using testing::ReadJsonText;
using testing::RunWith;
using testing::With;

// The lines of a text without their CR.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(!line.empty() && line.back() == '\r' ? line.substr(0, line.size() - 1) : line);
  return lines;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields(1);
  for (char c : line) {
    if (c == ',')
      fields.emplace_back();
    else
      fields.back() += c;
  }
  return fields;
}

// A number of the JSON output.
double NumberOf(const cli::JsonValue* v) { return v ? std::strtod(v->text.c_str(), nullptr) : -1e300; }

// 2 * scipy.stats.t.sf(0.1 / (1.2 * sqrt(2 / 30)), 58)
constexpr double kDefaultUnpairedP = 0.7480462707633917;
// scipy.optimize.brentq(lambda n: 2*t.sf(0.1/(1.2*sqrt(2/n)), 2*n-2) - 0.05, 3, 1e5)
constexpr double kDefaultUnpairedN1 = 1107.5512562622869;

TEST(Cli, SolvesTheDefaultUnpairedTest) {
  const CliRun p = RunWith({"--test", "0", "--set", "Sample Size 1=30", "--unknown", "P-value", "--json"});
  ASSERT_EQ(p.status, kExitSolved) << p.err;
  const cli::JsonValue v = ReadJsonText(p.out);
  EXPECT_EQ(v.Member("description")->text, "Student's unpaired t-test. 2-sided.");
  const cli::JsonValue& unknown = *v.Member("unknown");
  EXPECT_EQ(unknown.Member("id")->text, "0");
  EXPECT_EQ(unknown.Member("caption")->text, "P-value");
  EXPECT_NEAR(NumberOf(unknown.Member("value")), kDefaultUnpairedP, 2e-5);
  // Values in shortest round-trip form, texts as typed; position 1 is left out.
  EXPECT_NE(
      p.out.find(
          "{\"position\": 3, \"id\": 86, \"caption\": \"Mean 1*\", \"text\": \"0.30\", \"value\": 0.3}"),
      std::string::npos)
      << p.out;
  EXPECT_EQ(v.Member("parameters")->items.size(), 7u);  // positions 0 and 2..7
  EXPECT_TRUE(v.Member("messages")->items.empty());

  // With the second sample size fixed at 30 no first sample size reaches
  // P = 0.05: as n1 grows the P-value falls only to
  // 2 * scipy.stats.norm.sf(0.1 / (1.2 * sqrt(1 / 30))) = 0.6481.
  const CliRun fixed = RunWith({"--test", "0", "--unknown", "Sample Size 1"});
  EXPECT_EQ(fixed.status, kExitNotCalculable) << fixed.err;
  EXPECT_NE(fixed.out.find("\nSample Size 1:       -\n"), std::string::npos) << fixed.out;

  // Equal sizes: the second as a ratio 1.0 of the first (its start-up text).
  const CliRun n = RunWith({"--test", "0", "--mode", "2=2", "--unknown", "Sample Size 1"});
  ASSERT_EQ(n.status, kExitSolved) << n.err;
  const std::vector<std::string> lines = Lines(n.out);
  // description, rule, positions 0 and 2..7, the power of the design and
  // its standardised effect, an empty line and the paragraph for the protocol
  ASSERT_EQ(lines.size(), 2u + 7u + 2u + 2u) << n.out;
  EXPECT_EQ(lines[0], "Student's unpaired t-test. 2-sided.");
  EXPECT_EQ(lines[1], std::string(lines[1].size(), '-'));
  EXPECT_EQ(lines[2], "P-value:                       0.05");
  // The window's text of the result: one decimal from 1000 on.
  EXPECT_EQ(lines[7], "Sample Size 1:                 1107.6");
  const CliRun j = RunWith({"--test", "0", "--mode", "2=2", "--unknown", "Sample Size 1", "--json"});
  ASSERT_EQ(j.status, kExitSolved) << j.err;
  const cli::JsonValue solved = *ReadJsonText(j.out).Member("unknown");
  EXPECT_EQ(solved.Member("text")->text, "1107.6");
  EXPECT_NEAR(NumberOf(solved.Member("value")), kDefaultUnpairedN1, 0.05);
  EXPECT_EQ(lines[8], "Sample Size 2 / Sample Size 1: 1.0");
  // The standardised effect beside the power: d = (0.40 - 0.30) / 1.2.
  EXPECT_EQ(lines[10], "Standardised effect: d = 0.08");
  const cli::JsonValue document = ReadJsonText(j.out);
  const cli::JsonValue* effect = document.Member("effect");
  ASSERT_NE(effect, nullptr) << j.out;
  EXPECT_EQ(effect->Member("name")->text, "d");
  EXPECT_NEAR(NumberOf(effect->Member("value")), 0.0833333, 1e-6);
}

TEST(Cli, PlansByPowerAndReportsTheWholeSizes) {
  // --power 0.8 and --option "Plan by Power" with --set Power=0.8 are one request.
  const std::vector<std::string> design = {"--test", "0", "--mode", "2=2", "--set", "Mean 1=0", "--set",
                                           "Mean 2=0.5", "--set", "Standard Deviation=1", "--set",
                                           "Sample Size 2 / Sample Size 1=1", "--unknown", "Sample Size 1", "--json"};
  std::vector<std::string> shorthand = design, spelled = design;
  shorthand.insert(shorthand.end(), {"--power", "0.8"});
  spelled.insert(spelled.end(), {"--option", "Plan by Power", "--set", "Power=0.8"});
  const CliRun j = RunWith(shorthand);
  ASSERT_EQ(j.status, kExitSolved) << j.err;
  EXPECT_EQ(RunWith(spelled).out, j.out);
  const cli::JsonValue v = ReadJsonText(j.out);
  // brentq(power(n) - 0.8) = 63.765610, power(64) = 0.8014596: power(n) = nct.sf(c, 2n - 2, 0.5 / sqrt(2 / n))
  // + nct.cdf(-c, 2n - 2, 0.5 / sqrt(2 / n)), c = t.isf(0.025, 2n - 2)
  EXPECT_NEAR(NumberOf(v.Member("unknown")->Member("value")), 63.765610, 1e-3);
  EXPECT_NEAR(NumberOf(v.Member("power")), 0.8, 1e-6);
  const cli::JsonValue& whole = *v.Member("whole");
  ASSERT_EQ(whole.Member("sizes")->items.size(), 2u);
  EXPECT_EQ(NumberOf(&whole.Member("sizes")->items[1]), 64);
  EXPECT_EQ(NumberOf(whole.Member("total")), 128);
  EXPECT_NEAR(NumberOf(whole.Member("power")), 0.8014596, 1e-4);
}

TEST(Cli, NotCalculableAndRejected) {
  // The paired one-sided test with the estimate on the wrong side: no sample
  // size makes it significant.
  const CliRun none = RunWith({"--test", "Student's paired t-test", "--tails", "1", "--set",
                               "Mean of Difference=-0,3", "--unknown", "Sample Size", "--json"});
  EXPECT_EQ(none.status, kExitNotCalculable) << none.err;
  ReadJsonText(none.out);
  EXPECT_NE(none.out.find("\"caption\": \"Sample Size\", \"value\": null, \"text\": \"-\""),
            std::string::npos)
      << none.out;
  EXPECT_NE(none.out.find("\"text\": \"-0,3\", \"value\": -0.3"), std::string::npos) << none.out;

  // A check of the module: the window's message, nothing on the output.
  const CliRun rejected = RunWith({"--test", "0", "--tails", "3", "--set", "6=0.5", "--set", "7=0.4"});
  EXPECT_EQ(rejected.status, kExitRejected);
  EXPECT_EQ(rejected.err, "H0: Left Equivalence Limit has to be less than or equal to 0.4\n");
  EXPECT_EQ(rejected.out, "");

  // A "-" is a value box's "no value": the check refuses it by the caption;
  // "--" stays a malformed number.
  const CliRun noValue = RunWith({"--test", "0", "--set", "Mean 1*= - "});
  EXPECT_EQ(noValue.status, kExitRejected) << noValue.err;
  EXPECT_EQ(noValue.err, "Mean 1* has no value\n");
  const CliRun malformed = RunWith({"--test", "0", "--set", "Mean 1*=--"});
  EXPECT_EQ(malformed.status, kExitUsage) << malformed.err;

  // A kind that the distribution does not define cannot be chosen.
  const CliRun undefined = RunWith({"--distribution", "Finite Population", "--kind", "estimate"});
  EXPECT_EQ(undefined.status, kExitUsage);
  EXPECT_NE(undefined.err.find("Point Estimate is not offered"), std::string::npos) << undefined.err;
}

TEST(Cli, NamesParametersByIdOrCaption) {
  const CliRun list = RunWith({"--test", "0", "--describe"});
  ASSERT_EQ(list.status, kExitSolved) << list.err;
  EXPECT_EQ(Lines(list.out)[5], "6\t4\tSample Size 1\t30");
  // Ids 39 and 164 share the caption of the listed id 4 and name it.
  for (const char* id : {"39", "164", "4"}) {
    const CliRun set = RunWith({"--test", "0", "--set", std::string(id) + "=40", "--describe"});
    ASSERT_EQ(set.status, kExitSolved) << set.err;
    EXPECT_EQ(Lines(set.out)[5], "6\t4\tSample Size 1\t40") << id;
  }
  // Captions: without "&", in any case, and the "*" marks may be left out.
  const CliRun caption =
      RunWith({"--test", "0", "--set", "MEAN 2=0.5", "--set", "mean 1*=0.25", "--describe"});
  ASSERT_EQ(caption.status, kExitSolved) << caption.err;
  EXPECT_EQ(Lines(caption.out)[2], "3\t86\tMean 1*\t0.25");
  EXPECT_EQ(Lines(caption.out)[3], "4\t87\tMean 2*\t0.5");

  // The options and forms reach the list.
  const CliRun unequal =
      RunWith({"--test", "0", "--option", "Unequal Std.Deviations", "--mode", "33=1", "--describe"});
  ASSERT_EQ(unequal.status, kExitSolved) << unequal.err;
  EXPECT_NE(unequal.out.find("\t231\tStd.Dev. 2* - Std.Dev. 1*\t"), std::string::npos) << unequal.out;
}

TEST(Cli, UsageErrorsNameTheArgument) {
  struct Case {
    std::vector<std::string> args;
    std::string mentions;
  };
  const std::vector<Case> cases = {
      {{"--test", "0", "--set", "Sample Size 9=3"}, "\"Sample Size 9\""},
      {{"--test", "0", "--set", "2=0.5"}, "id 2 (Standard Deviation) is not listed"},
      {{"--test", "0", "--option", "3"}, "--option \"3\": not offered"},
      {{"--test", "0", "--option", "Frobnicate"}, "no such option"},
      {{"--test", "0", "--option", "99"}, "option ids are 0 to 14"},
      {{"--test", "0", "--option", "0", "--option", "5"}, "cleared by a later option"},
      {{"--test", "0", "--mode", "21=1"}, "group 21 is not offered"},
      {{"--test", "0", "--set", "Sample Size 1=1a"}, "a   is not allowed. Must be a digit."},
      {{"--test", "0", "--set", "Mean 1*=1" + std::string(309, '0')}, "is out of range: beyond the largest"},
      {{"--test", "0", "--set", "Mean 1*=-0," + std::string(330, '0') + "1"}, "is out of range: closer to 0"},
      {{"--test", "0", "--set", "87=0.5", "--set", "Mean 2=0.6"},
       "--set \"Mean 2=0.6\": Mean 2* (87) is set twice, also by --set \"87=0.5\""},
      {{"--test", "0", "--power", "0.8", "--set", "Power=0.9"}, "is set twice, also by --power 0.8"},
      {{"--test", "0", "--unknown", "Power"}, "position 1"},
      {{"--test", "0", "--unknown", "1"}, "position 1"},
      {{"--test", "0", "--set"}, "--set needs a value"},
      {{"--test", "--json"}, "--test needs a value"},
      {{"--test", "3"}, "separator"},
      {{"--test", "99"}, "has no item 99"},
      {{"--test", "Student's t-test"}, "no such item"},
      {{"--test", "0", "--samples", "1"}, "--samples 1: not offered"},
      {{"--test", "0", "--tails", "4"}, "expected 1, 2 or 3"},
      {{"--test", "0", "--kind", "test"}, "sample distribution only"},
      {{"--test", "0", "--frobnicate"}, "unknown argument \"--frobnicate\""},
      {{"--test", "0", "--test", "1"}, "more than once"},
      {{"--describe"}, "no procedure chosen"},
      {{"--test", "0", "--table"}, "--table needs --x"},
      {{"--test", "0", "--table", "--x", "Mean 1=1:2"}, "expected NAME=MIN:MAX:STEP"},
      {{"--test", "0", "--table", "--x", "P-value=0.01:0.1:0.01"}, "cannot be the unknown"},
      {{"--test", "0", "--table", "--x", "Mean 1=0:1:0.5", "--z", "Mean 1=1"}, "cannot be the x parameter"},
      {{"--test", "0", "--x", "Mean 1=0:1:0.5"}, "--x needs --table or --graph"},
      {{"--test", "0", "--z", "Mean 1=1"}, "--z needs --table or --graph"},
      {{"--test", "0", "--csv"}, "--csv needs --table"},
      {{"--test", "0", "--columns", "2"}, "--columns needs --table"},
      {{"--test", "0", "--decimals", "2", "--json"}, "--decimals needs --table"},
      {{"--test", "0", "--table", "--x", "Mean 1=0:1:0.5", "--csv", "--decimals", "2"},
       "--decimals applies to the table text, not to --csv"},
      {{"--test", "0", "--table", "--x", "Mean 1=0:1:0.5", "--columns", "0"}, "from 1 to 10"},
      {{"--test", "0", "--table", "--x", "Mean 1=0:1:0.5", "--columns", "11"}, "from 1 to 10"},
      {{"--test", "0", "--table", "--x", "Mean 1=0:1:0.5", "--columns", "-1"}, "from 1 to 10"},
      {{"--test", "0", "--table", "--x", "Mean 1=0:1:0.5", "--decimals", "9"}, "expected 0 to 8 or auto"},
      {{"--test", "0", "--table", "--x", "Mean 1=0:1:0.5", "--decimals", "two"}, "expected 0 to 8 or auto"},
      {{"--test", "0", "--table", "--x", "Mean 1=0:1:0.5", "--describe"}, "exclude each other"},
      {{"--test", "0", "--table", "--x", "Mean 1=0:1:0.5", "--json", "--csv"}, "--json and --csv exclude"},
      {{"--test", "0", "--table", "--x", "Mean 1=0:1:0.5", "--json", "--columns", "2"}, "not to --json"},
      {{"--test", "0", "--graph-size", "400x300"}, "--graph-size needs --graph"},
      {{"--test", "0", "--font", "Arial"}, "--font needs --graph or --rtf"},
      {{"--test", "0", "--font-size", "9"}, "--font-size needs --graph or --rtf"},
      {{"--test", "0", "--rtf", "--json"}, "--rtf, --json and --describe exclude each other"},
      {{"--test", "0", "--rtf", "--describe"}, "--rtf, --json and --describe exclude each other"},
      {{"--test", "0", "--table", "--x", "Mean 1=0:1:0.5", "--csv", "--rtf"},
       "--rtf and --csv exclude each other"},
      {{"--test", "0", "--save", "calc.txt"},
       "--save \"calc.txt\": the name of a settings file ends in .dim"},
      {{"--test", "0", "--describe", "--save", "calc.dim"}, "--save needs a calculation"},
      {{"--test", "0", "settings"}, "unexpected argument \"settings\""},
      {{"calc.dim", "other.dim"}, "only one settings file can be opened"},
      {{"--batch", "--json"}, "--batch takes no other argument"},
  };
  for (const Case& c : cases) {
    const CliRun r = RunWith(c.args);
    EXPECT_EQ(r.status, kExitUsage) << c.args.back();
    EXPECT_NE(r.err.find(c.mentions), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

// ---- Ranges -------------------------------------------------------------------

// Sample Size 1 of the default unpaired test (Mean 1 = 0.3, second size 30)
// over the standard deviation 0.5, 1.0, 1.5 for Mean 2 = 0.5 and 0.6.
const std::vector<std::string> kSmallRange = {
    "--test",         "0",         "--x",          "Standard Deviation=0.5:1.5:0.5", "--z",
    "Mean 2=0.5 0.6", "--unknown", "Sample Size 1"};

// Standard deviation 0.5, second size 30, differences 0.2 and 0.3:
// scipy.optimize.brentq(lambda n: 2*t.sf(0.2/(0.5*sqrt(1/n+1/30)), n+28) - 0.05, 3, 1e5)
constexpr double kN1Sd05Diff02 = 130.1647856281193;
// scipy.optimize.brentq(lambda n: 2*t.sf(0.3/(0.5*sqrt(1/n+1/30)), n+28) - 0.05, 3, 1e5)
constexpr double kN1Sd05Diff03 = 18.012031541214768;

// The single solve of the same point, as the Calculation window shows it.
double SingleSolve(const std::string& mean2) {
  const CliRun r = RunWith({"--test", "0", "--set", "Standard Deviation=0.5", "--set", "Mean 2=" + mean2,
                            "--unknown", "Sample Size 1"});
  EXPECT_EQ(r.status, kExitSolved) << r.err;
  const std::string key = "\nSample Size 1:       ";
  const auto at = r.out.find(key);
  EXPECT_NE(at, std::string::npos) << r.out;
  return at == std::string::npos ? 0 : std::strtod(r.out.c_str() + at + key.size(), nullptr);
}

// The leading blanks that centre a heading on a table of the given width.
std::size_t CentringOf(const std::string& line, std::size_t width) {
  const std::size_t text = line.size() - line.find_first_not_of(' ');
  return (width - text) / 2;
}

TEST(CliRange, TheTableIsTheTableWindowsLayoutInCharacters) {
  const CliRun t = RunWith(With(kSmallRange, {"--table"}));
  ASSERT_EQ(t.status, kExitSolved) << t.err;
  // The points without a value, and why.
  EXPECT_EQ(
      t.err.rfind("pelmora-cli: 4 of 6 points have no value of Sample Size 1; most often (4): the P-value "
                  "stays between ",
                  0),
      0u)
      << t.err;
  // Every line ends in CR LF.
  EXPECT_EQ(std::count(t.out.begin(), t.out.end(), '\n'), std::count(t.out.begin(), t.out.end(), '\r'));
  const std::vector<std::string> lines = Lines(t.out);
  ASSERT_EQ(lines.size(), 4u + 12u) << t.out;
  // The headings, each centred on the widest line, the 63 characters of
  // line 1: line 0 has 35, so (63 - 35) / 2 = 14 blanks.
  EXPECT_EQ(lines[0], std::string(14, ' ') + "Student's unpaired t-test. 2-sided.");
  EXPECT_EQ(lines[1], "Sample Size 1 as a function of Standard Deviation* and Mean 2*.");
  ASSERT_EQ(lines[1].size(), 63u);
  for (int h = 2; h < 4; ++h)
    EXPECT_EQ(lines[h].find_first_not_of(' '), CentringOf(lines[h], 63)) << lines[h];
  EXPECT_NE(lines[2].find("    Mean 1*=.3"), std::string::npos) << lines[2];
  EXPECT_NE(lines[3].find("Sample Size 2=30"), std::string::npos) << lines[3];

  // The x column: the caption's 19 characters (wider than the x format
  // "#######0.0 ") and a blank; each result column is 11 characters (the
  // result format "#######0.0 ", chosen from (130.2 - 18.0) / 2 steps, and
  // the z format "#######0.0 "), so the block is 20 + 2 * 11 = 42 wide.  Cells
  // end at the right edge of their columns: x at 19, results at 31 and 42;
  // each format ends in a blank.  The z caption is centred over the 22
  // characters of results: 20 + (22 - 7) / 2 = 27.5, written from 27.
  const std::string rule(42, '-');
  const std::vector<std::string> table = {
      rule,
      "Standard Deviation*" + std::string(8, ' ') + "Mean 2*",
      rule,
      std::string(27, ' ') + "0.5" + std::string(8, ' ') + "0.6",
      rule,
      std::string(15, ' ') + "0.5" + std::string(7, ' ') + "130.2" + std::string(7, ' ') + "18.0",
      std::string(15, ' ') + "1.0" + std::string(11, ' ') + "-" + std::string(10, ' ') + "-",
      std::string(15, ' ') + "1.5" + std::string(11, ' ') + "-" + std::string(10, ' ') + "-",
      "",
      rule,
      "",
      "",
  };
  for (std::size_t i = 0; i < table.size(); ++i) EXPECT_EQ(lines[4 + i], table[i]) << "line " << 4 + i;
  // The cells are the solved sample sizes, to one decimal.
  EXPECT_NEAR(kN1Sd05Diff02, 130.2, 0.05);
  EXPECT_NEAR(kN1Sd05Diff03, 18.0, 0.05);

  // With two decimals a cell reads as the Calculation window shows the same
  // point.
  const CliRun two = RunWith(With(kSmallRange, {"--table", "--decimals", "2"}));
  ASSERT_EQ(two.status, kExitSolved) << two.err;
  EXPECT_NE(two.out.find("     0.5      130.16      18.01\r\n"), std::string::npos) << two.out;
  EXPECT_NEAR(SingleSolve("0.5"), 130.16, 1e-9);
  EXPECT_NEAR(SingleSolve("0.6"), 18.01, 0.005);  // the window shows 18.012
}

TEST(CliRange, CsvHasCommentedHeadingsAHeaderAndEmptyFieldsForGaps) {
  const CliRun c = RunWith(With(kSmallRange, {"--table", "--csv"}));
  ASSERT_EQ(c.status, kExitSolved) << c.err;
  EXPECT_EQ(std::count(c.out.begin(), c.out.end(), '\n'), std::count(c.out.begin(), c.out.end(), '\r'));
  EXPECT_EQ(c.out.find("\r\n"), c.out.find('\n') - 1);
  const std::vector<std::string> rows = Lines(c.out);
  ASSERT_EQ(rows.size(), 4u + 1u + 3u) << c.out;
  EXPECT_EQ(rows[0], "# Student's unpaired t-test. 2-sided.");
  EXPECT_EQ(rows[1], "# Sample Size 1 as a function of Standard Deviation* and Mean 2*.");
  EXPECT_EQ(rows[2].rfind("# P-value=.05", 0), 0u) << rows[2];
  EXPECT_EQ(rows[3].rfind("# ", 0), 0u) << rows[3];
  EXPECT_EQ(rows[4], "Standard Deviation*,Mean 2* = 0.5,Mean 2* = 0.6");
  const std::vector<std::string> first = Fields(rows[5]);
  ASSERT_EQ(first.size(), 3u) << rows[5];
  EXPECT_EQ(first[0], "0.5");
  const double n02 = std::strtod(first[1].c_str(), nullptr);
  const double n03 = std::strtod(first[2].c_str(), nullptr);
  EXPECT_NEAR(n02, kN1Sd05Diff02, 0.05);
  EXPECT_NEAR(n03, kN1Sd05Diff03, 0.05);
  // The single solves of the same points, shown to two decimals.
  EXPECT_NEAR(n02, SingleSolve("0.5"), 0.005);
  EXPECT_NEAR(n03, SingleSolve("0.6"), 0.005);
  // From a standard deviation of 1 on, no first size is enough: with the
  // second size at 30 the P-value falls only to
  // 2 * scipy.stats.norm.sf(0.2 / (1.0 * sqrt(1 / 30))) = 0.2713.
  EXPECT_EQ(rows[6], "1,,");
  EXPECT_EQ(rows[7], "1.5,,");
}

TEST(CliRange, TheTableAsJsonHoldsOneRowOfResultsPerZValue) {
  const CliRun j = RunWith(With(kSmallRange, {"--table", "--json"}));
  ASSERT_EQ(j.status, kExitSolved) << j.err;
  const cli::JsonValue t = ReadJsonText(j.out);
  EXPECT_EQ(t.Member("description")->text, "Student's unpaired t-test. 2-sided.");
  EXPECT_EQ(t.Member("headings")->items.at(1).text,
            "Sample Size 1 as a function of Standard Deviation* and Mean 2*.");
  EXPECT_EQ(t.Member("unknown")->Member("id")->text, "4");
  EXPECT_EQ(t.Member("x")->Member("caption")->text, "Standard Deviation*");
  EXPECT_EQ(t.Member("z")->Member("id")->text, "87");
  auto texts = [](const cli::JsonValue& array, const char* key = nullptr) {
    std::string r;
    for (const cli::JsonValue& v : array.items)
      r += (key ? v.Member(key)->text : v.type == cli::JsonValue::Type::Null ? "null" : v.text) + ";";
    return r;
  };
  EXPECT_EQ(texts(*t.Member("x")->Member("values")), "0.5;1;1.5;");
  EXPECT_EQ(texts(*t.Member("z")->Member("values")), "0.5;0.6;");
  const auto& results = t.Member("results")->items;
  ASSERT_EQ(results.size(), 2u) << j.out;
  EXPECT_NEAR(std::strtod(results[0].items.at(0).text.c_str(), nullptr), kN1Sd05Diff02, 0.05);
  EXPECT_NEAR(std::strtod(results[1].items.at(0).text.c_str(), nullptr), kN1Sd05Diff03, 0.05);
  EXPECT_EQ(texts(results[0]).substr(texts(results[0]).find(';')), ";null;null;");
  // The values held fixed: neither the unknown nor x nor z.
  EXPECT_EQ(texts(*t.Member("parameters"), "caption"), "P-value;H0: Mean 2 - Mean 1;Mean 1*;Sample Size 2;");
}

// Equal sample sizes (the second as the ratio 1 of the first), standard
// deviation 0.5, 0.6, 0.7, differences 0.2 to 0.6 in five z values.
// scipy.optimize.brentq(lambda n: 2*t.sf(d/(0.5*sqrt(2/n)), 2*n-2) - 0.05, 2.01, 1e5):
constexpr double kEqualSd05[5] = {49.24563421209746, 22.589303240532825, 13.279481646700255, 8.98985268296114,
                                  6.677257842500952};
// the same with 0.7 for 0.5:
constexpr double kEqualSd07[5] = {95.33486864951692, 43.05908831280781, 24.773440976135515,
                                  16.321132870880497, 11.74095054696768};

const std::vector<std::string> kFiveZ = {"--test",
                                         "0",
                                         "--mode",
                                         "2=2",
                                         "--table",
                                         "--x",
                                         "Standard Deviation=0.5:0.7:0.1",
                                         "--z",
                                         "Mean 2=0.5 0.6 0.7 0.8 0.9",
                                         "--unknown",
                                         "Sample Size 1"};

std::size_t CountLines(const std::vector<std::string>& lines, const std::string& line) {
  return static_cast<std::size_t>(std::count(lines.begin(), lines.end(), line));
}

TEST(CliRange, ColumnsSplitTheZValuesIntoBlocks) {
  const CliRun t = RunWith(With(kFiveZ, {"--columns", "2", "--decimals", "3"}));
  ASSERT_EQ(t.status, kExitSolved) << t.err;
  const std::vector<std::string> lines = Lines(t.out);
  // Three blocks of 2, 2 and 1 columns, each with its own headings: the two
  // full blocks 20 + 2 * 11 wide, the last 20 + 11.
  EXPECT_EQ(CountLines(lines, "Standard Deviation*" + std::string(8, ' ') + "Mean 2*"), 2u);
  EXPECT_EQ(CountLines(lines, "Standard Deviation*" + std::string(3, ' ') + "Mean 2*"), 1u);
  EXPECT_EQ(CountLines(lines, std::string(42, '-')), 2u * 4u);
  EXPECT_EQ(CountLines(lines, std::string(31, '-')), 4u);
  EXPECT_EQ(CountLines(lines, std::string(27, ' ') + "0.5" + std::string(8, ' ') + "0.6"), 1u);
  EXPECT_EQ(CountLines(lines, std::string(27, ' ') + "0.7" + std::string(8, ' ') + "0.8"), 1u);
  EXPECT_EQ(CountLines(lines, std::string(27, ' ') + "0.9"), 1u);
  // Per block: three rules with a caption and the z values between them, one
  // line per x, an empty line, the closing rule and two empty lines.
  ASSERT_EQ(lines.size(), 4u + 3u * (9u + 3u)) << t.out;

  // Three decimals: "#####0.000 ", the results to three places.
  const double threePlaces[5] = {49.246, 22.589, 13.279, 8.990, 6.677};
  for (std::size_t k = 0; k < 5; ++k) EXPECT_NEAR(threePlaces[k], kEqualSd05[k], 0.0005) << k;
  const std::string x05 = std::string(15, ' ') + "0.5";
  EXPECT_EQ(CountLines(lines, x05 + std::string(6, ' ') + "49.246" + std::string(5, ' ') + "22.589"), 1u);
  EXPECT_EQ(CountLines(lines, x05 + std::string(6, ' ') + "13.279" + std::string(6, ' ') + "8.990"), 1u);
  EXPECT_EQ(CountLines(lines, x05 + std::string(7, ' ') + "6.677"), 1u);
  // The row of 0.7 against the reference, cell by cell.
  const std::string x07 = std::string(15, ' ') + "0.7";
  std::vector<double> row07;
  for (const std::string& l : lines)
    if (l.rfind(x07, 0) == 0) {
      std::istringstream cells(l.substr(x07.size()));
      for (double v; cells >> v;) row07.push_back(v);
    }
  ASSERT_EQ(row07.size(), 5u) << t.out;
  for (std::size_t k = 0; k < 5; ++k) EXPECT_NEAR(row07[k], kEqualSd07[k], 0.0015) << k;

  // No decimals: "#########0", ten characters without the closing blank, so
  // a cell ends flush with its 11-character column.
  const CliRun none = RunWith(With(kFiveZ, {"--columns", "2", "--decimals", "0"}));
  ASSERT_EQ(none.status, kExitSolved) << none.err;
  const std::vector<std::string> whole = Lines(none.out);
  EXPECT_EQ(CountLines(whole, x05 + std::string(11, ' ') + "49" + std::string(9, ' ') + "23"), 1u);
  EXPECT_EQ(CountLines(whole, x05 + std::string(11, ' ') + "13" + std::string(10, ' ') + "9"), 1u);
  EXPECT_EQ(CountLines(whole, x05 + std::string(12, ' ') + "7"), 1u);
  const double wholeNumbers[5] = {49, 23, 13, 9, 7};
  for (std::size_t k = 0; k < 5; ++k) EXPECT_NEAR(wholeNumbers[k], kEqualSd05[k], 0.5) << k;

  // Automatic decimals (the default) and one block of all five columns.
  const CliRun automatic = RunWith(With(kFiveZ, {"--decimals", "auto"}));
  ASSERT_EQ(automatic.status, kExitSolved) << automatic.err;
  EXPECT_EQ(automatic.out, RunWith(kFiveZ).out);
  const std::vector<std::string> one = Lines(automatic.out);
  EXPECT_EQ(CountLines(one, std::string(20 + 5 * 11, '-')), 4u);
  // (95.33 - 6.68) / 2 steps >= 1: one decimal.
  EXPECT_EQ(CountLines(one, x05 + std::string(8, ' ') + "49.2" + std::string(7, ' ') + "22.6" +
                                std::string(7, ' ') + "13.3" + std::string(8, ' ') + "9.0" +
                                std::string(8, ' ') + "6.7"),
            1u)
      << automatic.out;
}

TEST(CliRange, ErrorsOfTheRange) {
  // The engine's range validation.
  const CliRun zero = RunWith({"--test", "0", "--table", "--x", "Standard Deviation=0.5:1.5:0"});
  EXPECT_EQ(zero.status, kExitRejected);
  EXPECT_EQ(zero.err, "Xstep must be # 0\n");
  EXPECT_EQ(zero.out, "");
  const CliRun many = RunWith({"--test", "0", "--table", "--x", "Standard Deviation=0:99:0.99"});
  EXPECT_EQ(many.status, kExitRejected);
  EXPECT_EQ(many.err, "Maximum number of steps is 100\n");

  // Every estimate on the wrong side of a one-sided paired test: the
  // engine's message, and nothing to print.
  for (const char* form : {"--csv", "--columns=3"}) {
    const CliRun r = RunWith({"--test", "1", "--tails", "1", "--unknown", "Sample Size", "--table", "--x",
                              "Mean of Difference=-0.5:-0.1:0.2", form});
    EXPECT_EQ(r.status, kExitNotCalculable) << form;
    EXPECT_EQ(r.err, "Can't Be Calculated For Any x-value\n") << form;
    EXPECT_EQ(r.out, "") << form;
  }
}

TEST(Cli, JsonQuotingAndReading) {
  EXPECT_EQ(JsonQuote("a\"b\\c"), "\"a\\\"b\\\\c\"");
  EXPECT_EQ(JsonQuote("line\r\nnext\t\x01"), "\"line\\r\\nnext\\t\\u0001\"");
  EXPECT_EQ(JsonQuote("\xC2\xB2 ok"), "\"\xC2\xB2 ok\"");
  // Bytes of no UTF-8 character (a stray, an overlong "/", a cut sequence).
  EXPECT_EQ(JsonQuote("\x80|\xC0\xAF|\xE2\x82"), "\"\\ufffd|\\ufffd\\ufffd|\\ufffd\\ufffd\"");
  for (const char* text : {"a\"b\\c/", "line\r\nnext\t\x01\b\f", "\xC2\xB2 ok"})
    EXPECT_EQ(ReadJsonText(JsonQuote(text)).text, text);
  // U+00E9 and U+1F600 (a surrogate pair) in UTF-8.
  EXPECT_EQ(ReadJsonText(R"("\u00e9\ud83d\ude00")").text, "\xC3\xA9\xF0\x9F\x98\x80");
  const cli::JsonValue v = ReadJsonText(R"( {"a": [1, -2.5e-07, null, true, "x"], "b": {}} )");
  ASSERT_EQ(v.Member("a")->items.size(), 5u);
  EXPECT_EQ(v.Member("a")->items[1].text, "-2.5e-07");
  EXPECT_TRUE(v.Member("a")->items[3].boolean);
  std::string error;
  for (const char* bad : {"{\"a\": 0.1.2}", "[1,]", "[01]", "{\"a\": 1, \"a\": 2}", "\"\\ud800\"",
                          "\"tab\there\"", "[1] [2]", "{'a': 1}", "-", "1.", ".5", "tru", ""})
    EXPECT_FALSE(cli::ReadJson(bad, error).has_value()) << bad;
}

TEST(Cli, ListsAndHelp) {
  const CliRun list = RunWith({"--list"});
  EXPECT_EQ(list.status, kExitSolved);
  EXPECT_NE(list.out.find("   0  Student's unpaired t-test\n"), std::string::npos);
  EXPECT_NE(list.out.find("  16  Bioequivalence test"), std::string::npos);
  EXPECT_EQ(list.out.find("  3  -"), std::string::npos);  // separators are not items
  EXPECT_NE(list.out.find("         3  regression coefficient\n"), std::string::npos);
  EXPECT_EQ(RunWith({"--list", "--test", "0"}).status, kExitUsage);

  const CliRun help = RunWith({"--test", "0", "--help"});
  EXPECT_EQ(help.status, kExitSolved);
  EXPECT_EQ(help.out, CliHelpText());
}

TEST(Cli, ThePowerOfATestPlannedByPowerIsAParameter) {
  // The test of a finite-population mean is planned by power, listed as a row.
  const CliRun r = RunWith({"--distribution", "Finite Population", "--samples", "1", "--set", "Power=0.9",
                            "--unknown", "Sample Size", "--json"});
  EXPECT_EQ(r.status, kExitSolved) << r.err;
  EXPECT_NE(r.out.find("\"caption\": \"Power\", \"text\": \"0.9\""), std::string::npos) << r.out;
}

}  // namespace
}  // namespace pelmora
