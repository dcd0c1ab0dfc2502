// --simulate: the simulated power and level of planned designs against
// their exact values, reproducibility over threads, and the refusals.
#include <cmath>
#include <regex>
#include <sstream>

#include "cli/cli_run.h"

namespace pelmora::testing {
namespace {

const std::vector<std::string> kTTest = {"--test", "0", "--mode", "2=2", "--power", "0.8", "--set", "Mean 1*=0",
                                         "--set", "Mean 2*=0.5", "--set", "Standard Deviation*=1", "--set",
                                         "Sample Size 2 / Sample Size 1=1", "--unknown", "Sample Size 1"};
const std::vector<std::string> kFisher = {"--test", "4", "--mode", "2=2", "--power", "0.8", "--set",
                                          "Proportion 1*=0.5", "--set", "Proportion 2*=0.7", "--set",
                                          "Sample Size 2 / Sample Size 1=1", "--unknown", "Sample Size 1"};

double Number(const cli::JsonValue& v, const std::string& key, const std::string& inner = "") {
  const cli::JsonValue* m = v.Member("simulation");
  if (m) m = m->Member(key);
  if (m && !inner.empty()) m = m->Member(inner);
  EXPECT_TRUE(m && m->type == cli::JsonValue::Type::Number) << key << " " << inner;
  return m && m->type == cli::JsonValue::Type::Number ? std::stod(m->text) : std::nan("");
}

// The estimate of `key` lies within `se` standard errors of `exact`.
void ExpectNear(const cli::JsonValue& v, const std::string& key, double exact, double studies, double se) {
  const double estimate = Number(v, key, "estimate");
  EXPECT_LE(std::fabs(estimate - exact), se * std::sqrt(exact * (1 - exact) / studies)) << key << " " << estimate;
}

TEST(CliSimulation, TTestAndFisherReachTheirExactPowerAndLevel) {
  // The t-test at 64 and 64: noncentral t power 0.8015 (the achieved power
  // of the design); 200,000 studies each way.
  const CliRun t = RunWith(With(kTTest, {"--simulate", "200000", "--json"}));
  ASSERT_EQ(t.status, 0) << t.err;
  const cli::JsonValue tj = ReadJsonText(t.out);
  ExpectNear(tj, "power", 0.8015, 2e5, 4);
  ExpectNear(tj, "level", 0.05, 2e5, 4);
  EXPECT_NEAR(Number(tj, "analytic_power"), 0.8015, 5e-5);
  EXPECT_EQ(Number(tj, "expected_total", "h1"), 128);
  // Fisher's exact test at 102 and 102 (the size planned for 80% power),
  // two-sided 0.05: the probabilities of two binomial counts summed over the
  // tables it rejects, computed outside the program as
  //   sum(binom.pmf(x1, 102, p1) * binom.pmf(x2, 102, p2) for x1 in range(103)
  //       for x2 in range(103)
  //       if fisher_exact([[x1, 102 - x1], [x2, 102 - x2]])[1] <= 0.05)
  // with scipy.stats.
  const double kFisherPower = 0.8061479101754528;  // p1 = 0.5, p2 = 0.7
  const double kFisherLevel = 0.04205139678025945;  // p1 = p2 = 0.5
  const CliRun f = RunWith(With(kFisher, {"--simulate", "100000", "--json"}));
  ASSERT_EQ(f.status, 0) << f.err;
  const cli::JsonValue fj = ReadJsonText(f.out);
  ExpectNear(fj, "power", kFisherPower, 1e5, 4);
  ExpectNear(fj, "level", kFisherLevel, 1e5, 4);
  // The calculation's exact power is the same sum, and the design recruits
  // its whole sizes.
  EXPECT_NEAR(Number(fj, "analytic_power"), kFisherPower, 1e-6);
  EXPECT_EQ(Number(fj, "expected_total", "h1"), 204);
  EXPECT_EQ(Number(fj, "expected_total", "h0"), 204);
}

TEST(CliSimulation, OtherDataAndDropoutRunWithTheirOwnResults) {
  const CliRun t3 = RunWith(With(kTTest, {"--simulate", "20000", "--data", "t3", "--json"}));
  ASSERT_EQ(t3.status, 0) << t3.err;
  const cli::JsonValue v = ReadJsonText(t3.out);
  EXPECT_GT(Number(v, "power", "estimate"), 0.75);
  EXPECT_LT(Number(v, "level", "estimate"), 0.06);
  // A fifth drop out: 80 are recruited per group, about 64 remain.
  const CliRun d = RunWith(With(kTTest, {"--simulate", "20000", "--dropout", "0.2", "--json"}));
  ASSERT_EQ(d.status, 0) << d.err;
  const cli::JsonValue dj = ReadJsonText(d.out);
  EXPECT_EQ(Number(dj, "expected_total", "h1"), 160);
  ExpectNear(dj, "power", 0.80, 2e4, 5);
  const CliRun text = RunWith(With(kTTest, {"--simulate", "1000"}));
  EXPECT_NE(text.out.find("Simulated power: "), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("The simulation agrees with the calculation"), std::string::npos) << text.out;
  // Data with heavier tails than the normal's give the t-test more power
  // (about 0.83): the verdict blames the data, not the calculation.
  const CliRun t3text = RunWith(With(kTTest, {"--simulate", "20000", "--data", "t3"}));
  EXPECT_NE(t3text.out.find("The planned analysis differs from the calculation by 0.0"), std::string::npos)
      << t3text.out;
  EXPECT_NE(t3text.out.find("standard errors): the data of the chosen model are not those the calculation assumes"),
            std::string::npos)
      << t3text.out;
}

TEST(CliSimulation, TheSameSeedGivesTheSameNumbersWithAnyThreads) {
  auto run = [](const std::string& threads, const std::string& seed) {
    const CliRun r = RunWith(With(kTTest, {"--simulate", "5000", "--threads", threads, "--seed", seed, "--json"}));
    EXPECT_EQ(r.status, 0) << r.err;
    return std::regex_replace(r.out, std::regex("\"seconds\": [^}]*"), "");
  };
  const std::string one = run("1", "7");
  EXPECT_EQ(run("2", "7"), one);
  EXPECT_EQ(run("8", "7"), one);
  EXPECT_NE(run("2", "8"), one);
}

TEST(CliSimulation, RefusesWhatCannotBeSimulated) {
  const struct {
    std::vector<std::string> more;
    int status;
    const char* says;
  } rows[] = {
      {{"--simulate", "99"}, 1, "from 100 to 10000000"},
      {{"--simulate", "10000001"}, 1, "from 100 to 10000000"},
      {{"--simulate", "1000", "--dropout", "0.95"}, 1, "from 0 to 0.9"},
      {{"--seed", "3"}, 1, "--seed needs --simulate"},
  };
  for (const auto& row : rows) {
    const CliRun r = RunWith(With(kTTest, row.more));
    EXPECT_EQ(r.status, row.status) << row.says;
    EXPECT_NE(r.err.find(row.says), std::string::npos) << r.err;
  }
  const CliRun counts = RunWith(With(kFisher, {"--simulate", "1000", "--data", "t3"}));
  EXPECT_EQ(counts.status, 2);
  EXPECT_NE(counts.err.find("is not offered by"), std::string::npos) << counts.err;
  // The rank-sum test of ordered categories has no model of its categories to draw from.
  const CliRun ordered = RunWith({"--test", "12", "--option", "Ordered Categories", "--simulate", "1000"});
  EXPECT_EQ(ordered.status, 2);
  EXPECT_NE(ordered.err.find("is not available as a Monte Carlo simulation"), std::string::npos) << ordered.err;
}

// A request of --batch with "simulate" answers as the flags do: the member
// "simulation" of the --json output, and the refusals with "rejected".
TEST(CliSimulation, BatchRequestsSimulateAsTheFlagsDo) {
  const std::string design =
      R"({"test": 0, "modes": {"2": 2}, "power": 0.8, "set": {"Mean 1*": 0, "Mean 2*": 0.5, )"
      R"("Standard Deviation*": 1, "Sample Size 2 / Sample Size 1": 1}, "unknown": "Sample Size 1", )";
  const struct {
    std::string simulate;
    std::string status;
    const char* says;
  } rows[] = {
      {R"({"studies": 2000, "seed": 7, "threads": 2, "data": "t3", "dropout": 0.2})", "solved", ""},
      {R"({"studies": 99})", "rejected", "from 100 to 10000000"},
      {R"({"studies": 20000000})", "rejected", "from 100 to 10000000"},
      {R"({"studies": 1000, "dropout": 0.95})", "rejected", "from 0 to 0.9"},
      {R"({"studies": 1000, "data": "gamma"})", "rejected", "expected normal, log-normal, t3 or uniform"},
      {R"({"studies": 1000, "colour": 1})", "usage", "unknown key"},
  };
  std::string input;
  for (const auto& row : rows) input += design + R"("simulate": )" + row.simulate + "}\n";
  // Fisher's exact test simulates counts of its own.
  input +=
      R"({"test": 4, "modes": {"2": 2}, "power": 0.8, "set": {"Proportion 1*": 0.5, "Proportion 2*": 0.7}, )"
      R"("unknown": "Sample Size 1", "simulate": {"studies": 1000, "data": "uniform"}})"
      "\n";
  const CliRun batch = RunWith({"--batch"}, input);
  ASSERT_EQ(batch.status, 0) << batch.err;
  std::istringstream results(batch.out);
  std::string line;
  for (const auto& row : rows) {
    ASSERT_TRUE(std::getline(results, line));
    const cli::JsonValue v = ReadJsonText(line);
    EXPECT_EQ(v.Member("status")->text, row.status) << line;
    EXPECT_NE(v.Member("message")->text.find(row.says), std::string::npos) << line;
  }
  // The first is the JSON of the same flags.
  std::istringstream again(batch.out);
  std::getline(again, line);
  const CliRun single = RunWith(With(kTTest, {"--simulate", "2000", "--seed", "7", "--threads", "2", "--data",
                                              "t3", "--dropout", "0.2", "--json"}));
  const auto withoutTime = [](const std::string& text) {
    return std::regex_replace(text, std::regex("\"seconds\": [^}]*"), "");
  };
  EXPECT_NE(withoutTime(line).find(withoutTime(single.out.substr(1, single.out.size() - 3))),
            std::string::npos)
      << line << "\n"
      << single.out;
  EXPECT_EQ(Number(ReadJsonText(line), "studies"), 2000);
  ASSERT_TRUE(std::getline(results, line));
  const cli::JsonValue fisher = ReadJsonText(line);
  EXPECT_EQ(fisher.Member("status")->text, "rejected") << line;
  EXPECT_NE(fisher.Member("message")->text.find("is not offered by"), std::string::npos) << line;
}

}  // namespace
}  // namespace pelmora::testing
