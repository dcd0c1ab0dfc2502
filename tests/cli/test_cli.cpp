// pelmora-cli run in-process: exit statuses, the values it prints, the naming
// of parameters and the usage errors.  Reference values are computed with
// scipy 1.10 (Debian's python3-scipy); the program's t distribution is a
// single-precision continued fraction, good to about 1e-5 in P, and solved
// sample sizes agree to a few hundredths.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace pelmora {
namespace {

struct CliRun {
  int status;
  std::string out;
  std::string err;
};

CliRun RunWith(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = RunCli(args, out, err);
  return {status, out.str(), err.str()};
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
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

// A strict recognizer of one JSON value (RFC 8259), enough to tell that the
// output parses.
class JsonChecker {
 public:
  static bool Valid(const std::string& text) {
    JsonChecker c{text};
    c.Blank();
    if (!c.Value()) return false;
    c.Blank();
    return c.i_ == text.size();
  }

 private:
  explicit JsonChecker(const std::string& t) : t_(t) {}
  bool At(char c) const { return i_ < t_.size() && t_[i_] == c; }
  bool Eat(char c) {
    if (!At(c)) return false;
    ++i_;
    return true;
  }
  void Blank() {
    while (i_ < t_.size() && (t_[i_] == ' ' || t_[i_] == '\n' || t_[i_] == '\t' || t_[i_] == '\r')) ++i_;
  }
  bool Digits() {
    const std::size_t start = i_;
    while (i_ < t_.size() && std::isdigit(static_cast<unsigned char>(t_[i_]))) ++i_;
    return i_ > start;
  }
  bool Word(const char* w) {
    const std::string s(w);
    if (t_.compare(i_, s.size(), s) != 0) return false;
    i_ += s.size();
    return true;
  }
  bool Number() {
    Eat('-');
    if (Eat('0')) {
    } else if (!Digits()) {
      return false;
    }
    if (Eat('.') && !Digits()) return false;
    if (Eat('e') || Eat('E')) {
      if (!Eat('+')) Eat('-');
      if (!Digits()) return false;
    }
    return true;
  }
  bool String() {
    if (!Eat('"')) return false;
    while (i_ < t_.size() && t_[i_] != '"') {
      const auto c = static_cast<unsigned char>(t_[i_++]);
      if (c < 0x20) return false;
      if (c != '\\') continue;
      if (i_ >= t_.size()) return false;
      const char e = t_[i_++];
      if (e == 'u') {
        for (int k = 0; k < 4; ++k)
          if (i_ >= t_.size() || !std::isxdigit(static_cast<unsigned char>(t_[i_++]))) return false;
      } else if (std::string("\"\\/bfnrt").find(e) == std::string::npos) {
        return false;
      }
    }
    return Eat('"');
  }
  template <class F>
  bool Sequence(char close, F&& item) {
    Blank();
    if (Eat(close)) return true;
    do {
      Blank();
      if (!item()) return false;
      Blank();
    } while (Eat(','));
    return Eat(close);
  }
  bool Value() {
    if (At('"')) return String();
    if (Eat('{'))
      return Sequence('}', [&] {
        if (!String()) return false;
        Blank();
        if (!Eat(':')) return false;
        Blank();
        return Value();
      });
    if (Eat('[')) return Sequence(']', [&] { return Value(); });
    if (Word("true") || Word("false") || Word("null")) return true;
    return Number();
  }

  const std::string& t_;
  std::size_t i_ = 0;
};

// The text after `key` in the JSON output, up to the next "," or "}".
std::string JsonField(const std::string& json, const std::string& key) {
  const auto at = json.find(key);
  if (at == std::string::npos) return "<missing " + key + ">";
  const auto start = at + key.size();
  return json.substr(start, json.find_first_of(",}", start) - start);
}

// 2 * scipy.stats.t.sf(0.1 / (1.2 * sqrt(2 / 30)), 58)
constexpr double kDefaultUnpairedP = 0.7480462707633917;
// scipy.optimize.brentq(lambda n: 2*t.sf(0.1/(1.2*sqrt(2/n)), 2*n-2) - 0.05, 3, 1e5)
constexpr double kDefaultUnpairedN1 = 1107.5512562622869;

TEST(Cli, SolvesTheDefaultUnpairedTest) {
  const CliRun p = RunWith({"--test", "0", "--set", "Sample Size 1=30", "--unknown", "P-value", "--json"});
  ASSERT_EQ(p.status, kExitSolved) << p.err;
  EXPECT_TRUE(JsonChecker::Valid(p.out)) << p.out;
  EXPECT_EQ(JsonField(p.out, "\"description\": "), "\"Student's unpaired t-test. 2-sided.\"");
  const std::string unknown = p.out.substr(p.out.find("\"unknown\": "));
  EXPECT_EQ(JsonField(unknown, "\"id\": "), "0");
  EXPECT_EQ(JsonField(unknown, "\"caption\": "), "\"P-value\"");
  EXPECT_NEAR(std::strtod(JsonField(unknown, "\"value\": ").c_str(), nullptr), kDefaultUnpairedP, 2e-5);
  // Values in shortest round-trip form, texts as typed; position 1 is left out.
  EXPECT_NE(
      p.out.find(
          "{\"position\": 3, \"id\": 86, \"caption\": \"Mean 1*\", \"text\": \"0.30\", \"value\": 0.3}"),
      std::string::npos)
      << p.out;
  EXPECT_EQ(p.out.find("\"position\": 1,"), std::string::npos);
  EXPECT_NE(p.out.find("\"messages\": []}"), std::string::npos);

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
  ASSERT_EQ(lines.size(), 2u + 7u) << n.out;  // description, rule, positions 0 and 2..7
  EXPECT_EQ(lines[0], "Student's unpaired t-test. 2-sided.");
  EXPECT_EQ(lines[1], std::string(lines[1].size(), '-'));
  EXPECT_EQ(lines[2], "P-value:                       0.05");
  // The window's text of the result: one decimal from 1000 on.
  EXPECT_EQ(lines[7], "Sample Size 1:                 1107.5");
  const CliRun j = RunWith({"--test", "0", "--mode", "2=2", "--unknown", "Sample Size 1", "--json"});
  ASSERT_EQ(j.status, kExitSolved) << j.err;
  EXPECT_TRUE(JsonChecker::Valid(j.out)) << j.out;
  const std::string solved = j.out.substr(j.out.find("\"unknown\": "));
  EXPECT_EQ(JsonField(solved, "\"text\": "), "\"1107.5\"");
  EXPECT_NEAR(std::strtod(JsonField(solved, "\"value\": ").c_str(), nullptr), kDefaultUnpairedN1, 0.05);
  EXPECT_EQ(lines[8], "Sample Size 2 / Sample Size 1: 1.0");
}

TEST(Cli, NotCalculableAndRejected) {
  // The paired one-sided test with the estimate on the wrong side: no sample
  // size makes it significant.
  const CliRun none = RunWith({"--test", "Student's paired t-test", "--tails", "1", "--set",
                               "Mean of Difference=-0,3", "--unknown", "Sample Size", "--json"});
  EXPECT_EQ(none.status, kExitNotCalculable) << none.err;
  EXPECT_TRUE(JsonChecker::Valid(none.out)) << none.out;
  EXPECT_NE(none.out.find("\"caption\": \"Sample Size\", \"value\": null, \"text\": \"-\""),
            std::string::npos)
      << none.out;
  EXPECT_NE(none.out.find("\"text\": \"-0,3\", \"value\": -0.3"), std::string::npos) << none.out;

  // A check of the module: the window's message, nothing on the output.
  const CliRun rejected = RunWith({"--test", "0", "--tails", "3", "--set", "6=0.5", "--set", "7=0.4"});
  EXPECT_EQ(rejected.status, kExitRejected);
  EXPECT_EQ(rejected.err, "H0: Left Equivalence Limit has to be less than or equal to 0.4\n");
  EXPECT_EQ(rejected.out, "");

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
  };
  for (const Case& c : cases) {
    const CliRun r = RunWith(c.args);
    EXPECT_EQ(r.status, kExitUsage) << c.args.back();
    EXPECT_NE(r.err.find(c.mentions), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
}

TEST(Cli, RangeAsCsvAndText) {
  const std::vector<std::string> range = {
      "--test",         "0",         "--table",      "--x", "Standard Deviation=0.5:1.5:0.5", "--z",
      "Mean 2=0.5 0.6", "--unknown", "Sample Size 1"};
  std::vector<std::string> csv = range;
  csv.push_back("--csv");
  const CliRun c = RunWith(csv);
  ASSERT_EQ(c.status, kExitSolved) << c.err;
  const std::vector<std::string> rows = Lines(c.out);
  ASSERT_EQ(rows.size(), 4u) << c.out;
  EXPECT_EQ(rows[0], "Standard Deviation*,Mean 2*=0.5,Mean 2*=0.6");
  for (std::size_t i = 1; i < rows.size(); ++i) EXPECT_EQ(Fields(rows[i]).size(), 3u) << rows[i];
  EXPECT_EQ(Fields(rows[1])[0], "0.5");
  EXPECT_EQ(Fields(rows[3])[0], "1.5");
  // Standard deviation 0.5, second size 30, differences 0.2 and 0.3:
  // scipy.optimize.brentq(lambda n: 2*t.sf(0.2/(0.5*sqrt(1/n+1/30)), n+28) - 0.05, 3, 1e5)
  EXPECT_NEAR(std::strtod(Fields(rows[1])[1].c_str(), nullptr), 130.1647856281193, 0.05);
  // scipy.optimize.brentq(lambda n: 2*t.sf(0.3/(0.5*sqrt(1/n+1/30)), n+28) - 0.05, 3, 1e5)
  EXPECT_NEAR(std::strtod(Fields(rows[1])[2].c_str(), nullptr), 18.012031541214768, 0.05);
  // From a standard deviation of 1 on, no first size is enough.
  EXPECT_EQ(rows[2], "1,,");

  const CliRun t = RunWith(range);
  ASSERT_EQ(t.status, kExitSolved) << t.err;
  const std::vector<std::string> lines = Lines(t.out);
  EXPECT_EQ(lines[0], "Student's unpaired t-test. 2-sided.");
  EXPECT_EQ(lines[1], "Sample Size 1 as a function of Standard Deviation* and Mean 2*.");
  EXPECT_NE(t.out.find("      0.50 "), std::string::npos) << t.out;
  EXPECT_NE(t.out.find("\n      1.50                    -          -\n"), std::string::npos) << t.out;

  // The engine's range validation.
  const CliRun zero = RunWith({"--test", "0", "--table", "--x", "Standard Deviation=0.5:1.5:0"});
  EXPECT_EQ(zero.status, kExitRejected);
  EXPECT_EQ(zero.err, "Xstep must be # 0\n");
  EXPECT_EQ(zero.out, "");
}

TEST(Cli, RangeWithoutCalculablePoint) {
  // Every estimate on the wrong side of a one-sided paired test.
  const CliRun r = RunWith({"--test", "1", "--tails", "1", "--unknown", "Sample Size", "--table", "--x",
                            "Mean of Difference=-0.5:-0.1:0.2", "--csv"});
  EXPECT_EQ(r.status, kExitNotCalculable);
  EXPECT_NE(r.err.find("Can't Be Calculated For Any x-value"), std::string::npos);
  const std::vector<std::string> rows = Lines(r.out);
  ASSERT_EQ(rows.size(), 4u) << r.out;
  EXPECT_EQ(rows[1], "-0.5,");
}

TEST(Cli, JsonQuoting) {
  EXPECT_EQ(JsonQuote("a\"b\\c"), "\"a\\\"b\\\\c\"");
  EXPECT_EQ(JsonQuote("line\r\nnext\t\x01"), "\"line\\r\\nnext\\t\\u0001\"");
  EXPECT_EQ(JsonQuote("\xC2\xB2 ok"), "\"\xC2\xB2 ok\"");
  EXPECT_TRUE(JsonChecker::Valid("{\"a\": [1, -2.5e-07, null, \"x\"]}"));
  EXPECT_FALSE(JsonChecker::Valid("{\"a\": 0.1.2}"));
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

}  // namespace
}  // namespace pelmora

namespace pelmora {
namespace {

TEST(Cli, ThePowerOfATestPlannedByPowerIsAParameter) {
  // The test of a finite-population mean is planned by power, listed as a row.
  std::ostringstream out, err;
  const int status = RunCli({"--distribution", "Finite Population", "--samples", "1", "--set", "Power=0.9",
                             "--unknown", "Sample Size", "--json"},
                            out, err);
  EXPECT_EQ(status, kExitSolved) << err.str();
  EXPECT_NE(out.str().find("\"caption\": \"Power\", \"text\": \"0.9\""), std::string::npos) << out.str();
}

}  // namespace
}  // namespace pelmora
