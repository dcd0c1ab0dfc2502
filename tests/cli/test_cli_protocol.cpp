// pelmora-cli's paragraph for the protocol and its sizes to recruit for an
// expected dropout, in the text output and in --json.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/cli_run.h"

namespace pelmora {
namespace {

using testing::ReadJsonText;
using testing::RunWith;
using testing::With;

// The unpaired t-test planned for power 0.8, means 0 and 0.5, SD 1, equal
// groups: 64 per group (brentq(power(n) - 0.8) = 63.765610, power(64) =
// 0.8014596 with the noncentral t of scipy).
const std::vector<std::string> kPlanned = {"--test", "0", "--option", "Plan by Power", "--mode", "2=2",
                                           "--set", "86=0", "--set", "87=0.5", "--set", "111=1",
                                           "--set", "5=1", "--unknown", "4"};

const char* const kStatement =
    "A sample size of 64 per group (128 in all) gives a power of 80.1% to detect a difference in means of 0.5 "
    "(means 0 and 0.5, common standard deviation 1; standardised effect d = 0.50) with Student's unpaired t-test "
    "at a two-sided significance level of 0.05.";

std::vector<double> Numbers(const cli::JsonValue& array) {
  std::vector<double> out;
  for (const cli::JsonValue& v : array.items) out.push_back(std::stod(v.text));
  return out;
}

TEST(CliProtocol, TheStatementAndTheSizesToRecruit) {
  const testing::CliRun text = RunWith(kPlanned);
  ASSERT_EQ(text.status, kExitSolved) << text.err;
  EXPECT_TRUE(text.out.ends_with(std::string("Standardised effect: d = 0.50\n\n") + kStatement + "\n")) << text.out;

  const testing::CliRun json = RunWith(With(kPlanned, {"--json"}));
  ASSERT_EQ(json.status, kExitSolved) << json.err;
  const cli::JsonValue plain = ReadJsonText(json.out);
  ASSERT_NE(plain.Member("statement"), nullptr);
  EXPECT_EQ(plain.Member("statement")->text, kStatement);
  // Without a dropout "whole" is as it always was.
  const cli::JsonValue* whole = plain.Member("whole");
  ASSERT_NE(whole, nullptr);
  EXPECT_EQ(whole->Member("recruit"), nullptr);
  EXPECT_EQ(whole->Member("recruit_total"), nullptr);

  // A dropout of 0.2: 64 / 0.8 = 80 per group.
  const testing::CliRun dropout = RunWith(With(kPlanned, {"--dropout", "0.2", "--json"}));
  ASSERT_EQ(dropout.status, kExitSolved) << dropout.err;
  const cli::JsonValue v = ReadJsonText(dropout.out);
  whole = v.Member("whole");
  ASSERT_NE(whole, nullptr);
  ASSERT_NE(whole->Member("recruit"), nullptr);
  EXPECT_EQ(Numbers(*whole->Member("recruit")), (std::vector<double>{80, 80}));
  EXPECT_EQ(whole->Member("recruit_total")->text, "160");
  EXPECT_EQ(v.Member("statement")->text,
            std::string(kStatement) + " To allow for an expected dropout of 20%, 80 per group (160 in all) are to be "
                                      "recruited.");
  const testing::CliRun line = RunWith(With(kPlanned, {"--dropout", "0.2"}));
  EXPECT_NE(line.out.find("Power of this design: 0.8000; at the whole sample sizes 64 and 64 (128 in all): 0.8015; "
                          "to recruit for an expected dropout of 0.2: 80 and 80 (160 in all)\n"),
            std::string::npos)
      << line.out;

  // An interval: 9 whole (norm.isf(0.025)^2 * 0.3^2 / 0.2^2 = 8.643), 9 / 0.8 -> 12.
  const testing::CliRun interval = RunWith({"--distribution", "0", "--kind", "interval", "--samples", "1",
                                            "--set", "Lower Limit=0.1", "--unknown", "Sample Size", "--dropout",
                                            "0.2", "--json"});
  ASSERT_EQ(interval.status, kExitSolved) << interval.err;
  const cli::JsonValue i = ReadJsonText(interval.out);
  EXPECT_EQ(Numbers(*i.Member("whole")->Member("sizes")), (std::vector<double>{9}));
  EXPECT_EQ(Numbers(*i.Member("whole")->Member("recruit")), (std::vector<double>{12}));
  EXPECT_EQ(i.Member("statement")->text,
            "A sample size of 9 gives a 95% two-sided confidence interval for the mean (standard deviation known) of "
            "the normal distribution with a lower limit of 0.1 (assumed mean 0.3, standard deviation 0.3). To allow "
            "for an expected dropout of 20%, 12 are to be recruited.");
}

class CliWhole : public testing::CliFolderTest {};

TEST_F(CliWhole, TablesOfSampleSizesShowThemWhole) {
  // The first sample size over the standard deviation for two second means;
  // at SD 1 and mean 0.5 63.77 per group (see above): 64, 128 in all.
  const std::vector<std::string> table = With(kPlanned, {"--table", "--x", "Standard Deviation=0.8:1.2:0.2", "--z",
                                                         "Mean 2=0.5 0.6"});
  const testing::CliRun plain = RunWith(table);
  ASSERT_EQ(plain.status, kExitSolved) << plain.err;
  EXPECT_EQ(plain.out.find("(128)"), std::string::npos);
  const testing::CliRun whole = RunWith(With(table, {"--whole"}));
  ASSERT_EQ(whole.status, kExitSolved) << whole.err;
  EXPECT_NE(whole.out.find("               1.0    64 (128)    45 (90)\r\n"), std::string::npos) << whole.out;
  const testing::CliRun csv = RunWith(With(table, {"--whole", "--csv"}));
  ASSERT_EQ(csv.status, kExitSolved) << csv.err;
  EXPECT_NE(csv.out.find("Standard Deviation*,Mean 2* = 0.5,\"Mean 2* = 0.5, in all\",Mean 2* = 0.6,\"Mean 2* = 0.6, "
                         "in all\"\r\n0.8,42,84,29,58\r\n1,64,128,45,90\r\n"),
            std::string::npos)
      << csv.out;
  // A saved table keeps the choice; one without it writes no word of it.
  const std::string saved = File("whole.dim"), other = File("plain.dim");
  ASSERT_EQ(RunWith(With(table, {"--whole", "--save", saved})).status, kExitSolved);
  ASSERT_EQ(RunWith(With(table, {"--save", other})).status, kExitSolved);
  EXPECT_NE(Contents(saved).find("whole sizes=1"), std::string::npos);
  EXPECT_EQ(Contents(other).find("whole sizes"), std::string::npos);
  const testing::CliRun reopened = RunWith({saved, "--csv"});
  ASSERT_EQ(reopened.status, kExitSolved) << reopened.err;
  EXPECT_NE(reopened.out.find("1,64,128,45,90\r\n"), std::string::npos) << reopened.out;

  const testing::CliRun usage = RunWith(With(kPlanned, {"--whole"}));
  EXPECT_EQ(usage.status, kExitUsage);
  EXPECT_NE(usage.err.find("--whole needs --table"), std::string::npos) << usage.err;
}

}  // namespace
}  // namespace pelmora
