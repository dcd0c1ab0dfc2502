// pelmora-cli --batch run in-process: every result line is the --json output
// of the same single call with its id, status and message before it, and a
// request that fails does not stop the stream.
#include <gtest/gtest.h>

#include <algorithm>
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

struct Request {
  std::string line;                 // the request on the input
  std::vector<std::string> single;  // the same as flags, without --json
  std::string status;
};

const std::vector<Request> kRequests = {
    {R"({"id": 1, "test": 0, "set": {"Sample Size 1": 30}, "unknown": "P-value"})",
     {"--test", "0", "--set", "Sample Size 1=30", "--unknown", "P-value"},
     "solved"},
    // Options by caption, forms, tails; numbers with an exponent.
    {R"({"id": 2, "test": "Student's unpaired t-test", "tails": 1, "options": ["Unequal Std.Deviations"],
         "modes": {"33": 1}, "set": {"Mean 2": 5e-1}, "unknown": "Sample Size 1", "left_tail": false})",
     {"--test", "Student's unpaired t-test", "--tails", "1", "--option", "Unequal Std.Deviations", "--mode",
      "33=1", "--set", "Mean 2=0.5", "--unknown", "Sample Size 1"},
     "solved"},
    {R"({"id": "interval", "distribution": 4, "parameter": 0, "kind": "interval", "samples": 1,
         "set": {"Lower Limit": "0,4"}, "unknown": "Sample Size"})",
     {"--distribution", "4", "--parameter", "0", "--kind", "interval", "--samples", "1", "--set",
      "Lower Limit=0,4", "--unknown", "Sample Size"},
     "solved"},
    {R"({"id": 4, "test": 0, "unknown": "Sample Size 1",
         "table": {"x": "Standard Deviation=0.5:1.5:0.5", "z": "Mean 2=0.5 0.6"}})",
     {"--test", "0", "--unknown", "Sample Size 1", "--table", "--x", "Standard Deviation=0.5:1.5:0.5", "--z",
      "Mean 2=0.5 0.6"},
     "solved"},
    {R"({"id": 5, "test": 1, "tails": 1, "set": {"Mean of Difference": -0.3}, "unknown": "Sample Size"})",
     {"--test", "1", "--tails", "1", "--set", "Mean of Difference=-0.3", "--unknown", "Sample Size"},
     "not calculable"},
    {R"({"id": 6, "test": 0, "tails": 3, "set": {"6": 0.5, "7": 0.4}})",
     {"--test", "0", "--tails", "3", "--set", "6=0.5", "--set", "7=0.4"},
     "rejected"},
    {R"({"id": "no value", "test": 0, "set": {"Mean 1*": "-"}})",
     {"--test", "0", "--set", "Mean 1*=-"},
     "rejected"},
    {R"({"id": 7, "test": 0, "set": {"Sample Size 9": 3}})",
     {"--test", "0", "--set", "Sample Size 9=3"},
     "usage"},
    {R"({"id": 8, "test": 1, "tails": 1, "unknown": "Sample Size",
         "table": {"x": "Mean of Difference=-0.5:-0.1:0.2"}})",
     {"--test", "1", "--tails", "1", "--unknown", "Sample Size", "--table", "--x",
      "Mean of Difference=-0.5:-0.1:0.2"},
     "not calculable"},
};

TEST(CliBatch, EachResultIsTheJsonOfTheSameSingleCall) {
  std::string input;
  for (Request r : kRequests) {
    std::erase(r.line, '\n');
    input += r.line + "\n\n";  // blank lines are passed over
  }
  const CliRun batch = RunWith({"--batch"}, input);
  ASSERT_EQ(batch.status, kExitSolved);
  EXPECT_EQ(batch.err, "");
  ASSERT_EQ(std::count(batch.out.begin(), batch.out.end(), '\n'), std::ssize(kRequests)) << batch.out;
  std::istringstream results(batch.out);
  for (const Request& r : kRequests) {
    std::string line;
    std::getline(results, line);
    const cli::JsonValue result = ReadJsonText(line);
    ASSERT_NE(result.Member("id"), nullptr) << line;
    EXPECT_EQ(result.Member("id")->text, ReadJsonText(r.line).Member("id")->text);

    // The message is what the single call writes to standard error, without
    // the program's name.
    const CliRun single = RunWith(testing::With(r.single, {"--json"}));
    const std::string message = result.Member("message")->text;
    std::string err = single.err;
    for (std::size_t at = 0; (at = err.find("pelmora-cli: ", at)) != std::string::npos;)
      err.erase(at, std::string_view("pelmora-cli: ").size());
    EXPECT_EQ(err, message.empty() ? "" : message + "\n");
    const std::string head = R"({"id": )" + line.substr(7, line.find(", \"status\"") - 7) +
                             R"(, "status": )" + JsonQuote(r.status) + R"(, "message": )" +
                             JsonQuote(message);
    EXPECT_EQ(line + "\n", head + (single.out.empty() ? "}\n" : ", " + single.out.substr(1))) << r.line;
  }
}

// A request of `keys` distinct keys in "set", none of them a parameter.
std::string ManyKeys(int keys) {
  std::string line = R"({"id": 1, "test": 0, "set": {)";
  for (int k = 0; k < keys; ++k) line += (k > 0 ? ", \"p" : "\"p") + std::to_string(k) + "\": 1";
  return line + "}}";
}

// A request padded with blanks to `length` bytes.
std::string Padded(std::string line, std::size_t length) {
  line.insert(line.size() - 1, length - line.size(), ' ');
  return line;
}

TEST(CliBatch, AFailedLineIsAnsweredAndTheNextOneToo) {
  struct Case {
    std::string line;
    std::string message;
    std::string id;  // as echoed; empty where the answer has none
  };
  const std::string tooLong = "the line is longer than 1048576 bytes (1 MiB), the limit of a request";
  const std::string beyond = " is out of range: beyond the largest magnitude a number can have";
  const std::string closer = " is out of range: closer to 0 than 2.2250738585072014e-308";
  const std::vector<Case> cases = {
      {R"({"id": 1, "test": 0, "set": {"Mean 2": 0.5})",
       "malformed JSON: unexpected end of the line at character 44", ""},
      {R"([1, 2])", "a request must be a JSON object, not an array", ""},
      {R"({"id": 1, "test": 0, "colour": 1})", "unknown key \"colour\"", "1"},
      {R"({"id": 1, "test": 0, "left_tail": 1})", "\"left_tail\" must be true or false, not a number", "1"},
      {R"({"id": 1, "test": 0, "set": {"Mean 2": [1]}})",
       "the value of \"Mean 2\" must be a number or a string", "1"},
      {R"({"id": 1, "test": 0, "table": {"y": "Mean 1=0:1:0.5"}})", "unknown key \"y\" in \"table\"", "1"},
      {R"({"id": 1, "test": 0, "set": {"Mean 2": 0.5}, "json": true})", "unknown key \"json\"", "1"},
      {R"({"id": [1], "test": 0})", "\"id\" must be a number or a string, not an array", ""},
      // Numbers that a double would hold as an infinity, as 0 or with fewer
      // digits than written.
      {R"({"id": 1, "test": 0, "set": {"Mean 1*": 1e309}, "unknown": "P-value"})",
       "the value of \"Mean 1*\": 1e309" + beyond, "1"},
      {R"({"id": 1, "test": 0, "set": {"Mean 1*": -1e309}})", "the value of \"Mean 1*\": -1e309" + beyond, "1"},
      {R"({"id": 1, "test": 0, "set": {"Mean 1*": 2e308}})", "the value of \"Mean 1*\": 2e308" + beyond, "1"},
      {R"({"id": 1, "test": 0, "set": {"Mean 1*": 1e400}})", "the value of \"Mean 1*\": 1e400" + beyond, "1"},
      {R"({"id": 1, "test": 0, "unknown": 1e-400})", "\"unknown\": 1e-400" + closer, "1"},
      {R"({"id": 1, "test": 0, "set": {"Mean 1*": 3e-320}})", "the value of \"Mean 1*\": 3e-320" + closer, "1"},
      {R"({"id": 1, "test": 1e999, "set": {}})", "\"test\": 1e999" + beyond, "1"},
      // Lines at and beyond the limit, and a request of 200,000 keys beyond it.
      {Padded(R"({"id": 1, "test": 0, "colour": 1})", 1 << 20), "unknown key \"colour\"", "1"},
      {Padded(R"({"id": 1, "test": 0, "colour": 1})", (1 << 20) + 1), tooLong, ""},
      {ManyKeys(200'000), tooLong, ""},
      {ManyKeys(70'000), "--set \"p0\": no listed parameter has this caption", "1"},
      // Text that is not UTF-8: a lone continuation byte, a surrogate.
      {"{\"id\": \"\x80\", \"test\": 0}", "malformed JSON: invalid UTF-8 in a string at character 9", ""},
      {"{\"id\": 1, \"set\": {\"Mean 1\xED\xA0\x80\": 1}}", "invalid UTF-8 in a string at character 26", ""},
      // One parameter by its id and its caption.
      {R"({"id": 1, "test": 0, "set": {"87": 0.5, "Mean 2*": 0.6}})",
       R"(--set "Mean 2*=0.6": Mean 2* (87) is set twice, also by --set "87=0.5")", "1"},
  };
  const std::string next = R"({"id": "next", "test": 0, "unknown": "P-value"})";
  for (const Case& c : cases) {
    const CliRun r = RunWith({"--batch"}, c.line + "\r\n" + next);
    const std::string shown = c.line.substr(0, 60);
    EXPECT_EQ(r.status, kExitSolved) << shown;
    // Every answer is ASCII here: no byte of the input is echoed raw.
    EXPECT_TRUE(std::all_of(r.out.begin(), r.out.end(), [](unsigned char b) { return b < 0x80; })) << shown;
    std::istringstream lines(r.out);
    std::string failed, answered, rest;
    ASSERT_TRUE(std::getline(lines, failed) && std::getline(lines, answered)) << r.out;
    EXPECT_FALSE(std::getline(lines, rest));
    const cli::JsonValue f = ReadJsonText(failed);
    EXPECT_EQ(f.Member("status")->text, "usage") << failed;
    EXPECT_NE(f.Member("message")->text.find(c.message), std::string::npos) << failed.substr(0, 300);
    EXPECT_EQ(f.Member("description"), nullptr) << shown;
    EXPECT_EQ(f.Member("id") ? f.Member("id")->text : "", c.id) << shown;
    EXPECT_EQ(answered.rfind(R"({"id": "next", "status": "solved", "message": "", "description": )", 0), 0u)
        << answered;
  }
}

TEST(CliBatch, NumbersAreReadAsWritten) {
  // 2^-1074, the smallest number below the full-precision range, is held
  // exactly: written out it is 5^1074 / 10^1074.
  std::string smallest = "1";
  for (int k = 0; k < 1074; ++k) {
    int carry = 0;
    for (auto d = smallest.rbegin(); d != smallest.rend(); ++d) {
      const int product = (*d - '0') * 5 + carry;
      *d = static_cast<char>('0' + product % 10);
      carry = product / 10;
    }
    if (carry > 0) smallest.insert(smallest.begin(), static_cast<char>('0' + carry));
  }
  const std::vector<std::pair<std::string, std::string>> numbers = {
      {"1.5e-3", "0.0015"},
      {"-25E+1", "-250"},
      {"0e400", "0"},
      {"1.7976931348623157e308", "17976931348623157" + std::string(292, '0')},
      {"2.2250738585072014e-308", "0." + std::string(307, '0') + "22250738585072014"},
      {smallest + "e-1074", "0." + std::string(1074 - smallest.size(), '0') + smallest},
  };
  for (const auto& [written, text] : numbers) {
    const CliRun r = RunWith({"--batch"}, R"({"test": 0, "set": {"Mean 1*": )" + written + "}}\n");
    const cli::JsonValue answer = ReadJsonText(r.out);
    EXPECT_NE(answer.Member("status")->text, "usage") << r.out.substr(0, 300);
    ASSERT_NE(answer.Member("parameters"), nullptr) << written;
    EXPECT_EQ(answer.Member("parameters")->items[2].Member("text")->text, text) << written;
  }
}

TEST(CliBatch, AnEmptyInputHasNoAnswer) {
  for (const char* input : {"", "\n", "  \r\n\t\n"}) {
    const CliRun r = RunWith({"--batch"}, input);
    EXPECT_EQ(r.status, kExitSolved);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
  }
}

}  // namespace
}  // namespace pelmora
