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

TEST(CliBatch, AFailedLineIsAnsweredAndTheNextOneToo) {
  struct Case {
    std::string line;
    std::string message;
  };
  const std::vector<Case> cases = {
      {R"({"id": 1, "test": 0, "set": {"Mean 2": 0.5})",
       "malformed JSON: unexpected end of the line at character 44"},
      {R"([1, 2])", "a request must be a JSON object, not an array"},
      {R"({"id": 1, "test": 0, "colour": 1})", "unknown key \"colour\""},
      {R"({"id": 1, "test": 0, "left_tail": 1})", "\"left_tail\" must be true or false, not a number"},
      {R"({"id": 1, "test": 0, "set": {"Mean 2": [1]}})",
       "the value of \"Mean 2\" must be a number or a string"},
      {R"({"id": 1, "test": 0, "table": {"y": "Mean 1=0:1:0.5"}})", "unknown key \"y\" in \"table\""},
      {R"({"id": 1, "test": 0, "set": {"Mean 2": 0.5}, "json": true})", "unknown key \"json\""},
      {R"({"id": [1], "test": 0})", "\"id\" must be a number or a string, not an array"},
  };
  const std::string next = R"({"id": "next", "test": 0, "unknown": "P-value"})";
  for (const Case& c : cases) {
    const CliRun r = RunWith({"--batch"}, c.line + "\r\n" + next);
    EXPECT_EQ(r.status, kExitSolved) << c.line;
    std::istringstream lines(r.out);
    std::string failed, answered, rest;
    ASSERT_TRUE(std::getline(lines, failed) && std::getline(lines, answered)) << r.out;
    EXPECT_FALSE(std::getline(lines, rest));
    const cli::JsonValue f = ReadJsonText(failed);
    EXPECT_EQ(f.Member("status")->text, "usage") << failed;
    EXPECT_NE(f.Member("message")->text.find(c.message), std::string::npos) << failed;
    EXPECT_EQ(f.Member("description"), nullptr) << failed;
    EXPECT_EQ(answered.rfind(R"({"id": "next", "status": "solved", "message": "", "description": )", 0), 0u)
        << answered;
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
