// pelmora-cli with interim analyses: the design in --json and in the text,
// the published constants, batch keys, and the flags it refuses.
#include <gtest/gtest.h>

#include <cmath>

#include "cli/cli.h"
#include "cli/cli_run.h"

namespace pelmora {
namespace {

using testing::RunWith;
using testing::With;

const std::vector<std::string> kUnpaired = {"--test", "0", "--mode", "2=2", "--power", "0.8", "--set", "Mean 1*=0",
                                            "--set", "Mean 2*=0.5", "--set", "Standard Deviation*=1", "--set",
                                            "Sample Size 2 / Sample Size 1=1", "--unknown", "Sample Size 1"};

TEST(CliSequential, PublishedConstantsAndTheDesignInJson) {
  // Jennison and Turnbull (2000), tables 2.1, 2.3 and 2.4: two-sided alpha
  // 0.05, five analyses: Pocock C 2.413, R 1.229; O'Brien-Fleming final
  // bound 2.040, R 1.028.
  struct Row {
    const char* boundary;
    double first, last, inflation;
  };
  for (const Row& r : {Row{"Pocock", 2.413, 2.413, 1.229}, Row{"O'Brien-Fleming", 2.040 * std::sqrt(5.0), 2.040, 1.028}}) {
    SCOPED_TRACE(r.boundary);
    const testing::CliRun run = RunWith(With(kUnpaired, {"--interims", "4", "--boundary", r.boundary, "--json"}));
    ASSERT_EQ(run.status, 0) << run.err;
    const cli::JsonValue v = testing::ReadJsonText(run.out);
    const cli::JsonValue* seq = v.Member("sequential");
    ASSERT_TRUE(seq != nullptr && seq->type == cli::JsonValue::Type::Object);
    EXPECT_EQ(seq->Member("boundary")->text, r.boundary);
    EXPECT_NEAR(std::stod(seq->Member("inflation")->text), r.inflation, 1e-3);
    const auto& looks = seq->Member("looks")->items;
    ASSERT_EQ(looks.size(), 5u);
    EXPECT_NEAR(std::stod(looks.front().Member("efficacy_z")->text), r.first, 2e-3);
    EXPECT_NEAR(std::stod(looks.back().Member("efficacy_z")->text), r.last, 1e-3);
    EXPECT_EQ(looks.front().Member("futility_z")->type, cli::JsonValue::Type::Null);
    EXPECT_NEAR(std::stod(looks.back().Member("cumulative_alpha")->text), 0.05, 1e-6);
  }
  // Without interim analyses the member is null.
  const testing::CliRun fixed = RunWith(With(kUnpaired, {"--json"}));
  EXPECT_EQ(testing::ReadJsonText(fixed.out).Member("sequential")->type, cli::JsonValue::Type::Null);
}

TEST(CliSequential, TheTextShowsEachLookAndBatchKeysGiveTheSameDesign) {
  const testing::CliRun run = RunWith(With(kUnpaired, {"--interims", "2"}));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("Sample Size 1:                 64.858"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\n2     0.6667    44, 44  2.4544"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Inflation factor: 1.0174"), std::string::npos) << run.out;

  const std::string request =
      "{\"test\": 0, \"power\": 0.8, \"modes\": {\"2\": 2}, \"set\": {\"Mean 2*\": 0.5}, \"unknown\": \"Sample Size 1\", "
      "\"interims\": 1, \"boundary\": \"Pocock Spending\", \"futility\": \"Kim-DeMets Spending\", "
      "\"futility_parameter\": 2, \"binding\": true, \"fractions\": \"0.4 1\"}\n";
  const testing::CliRun batch = RunWith({"--batch"}, request);
  const cli::JsonValue v = testing::ReadJsonText(batch.out);
  ASSERT_EQ(v.Member("status")->text, "solved") << batch.out;
  const cli::JsonValue* seq = v.Member("sequential");
  EXPECT_EQ(seq->Member("boundary")->text, "Pocock Spending");
  const auto& looks = seq->Member("looks")->items;
  ASSERT_EQ(looks.size(), 2u);
  EXPECT_EQ(looks[0].Member("fraction")->text, "0.4");
  EXPECT_EQ(looks[0].Member("futility_z")->type, cli::JsonValue::Type::Number);
}

TEST(CliSequential, BadFlagsAreRefusedAndNothingIsCalculated) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> rows = {
      {{"--interims", "6"}, "--interims \"6\": the number of interim analyses is a whole number from 0 to 5"},
      {{"--boundary", "Pocock"}, "--boundary needs interim analyses"},
      {{"--interims", "2", "--boundary", "Fleming"}, "--boundary \"Fleming\": not a family"},
      {{"--interims", "2", "--fractions", "0.5 0.4 1"}, "--fractions: The information fractions must rise"},
      {{"--interims", "2", "--fractions", "0.5 1"}, "--fractions: The information fractions must be 3 values"},
      {{"--interims", "2", "--boundary", "Wang-Tsiatis", "--boundary-parameter", "0.9"}, "--boundary-parameter: "},
      {{"--interims", "2", "--boundary", "Pocock", "--boundary-parameter", "1"}, "Pocock has no parameter"},
      {{"--interims", "2", "--binding"}, "--binding needs futility bounds"},
      {{"--interims", "2", "--futility", "Pocock"}, "--futility \"Pocock\": not a family"},
  };
  for (const auto& [more, message] : rows) {
    const testing::CliRun run = RunWith(With(kUnpaired, more));
    EXPECT_EQ(run.status, 1) << message;
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;
  }
  // Interim analyses need planning by power.
  const testing::CliRun run = RunWith({"--test", "0", "--interims", "2"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("planned by power"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace pelmora
