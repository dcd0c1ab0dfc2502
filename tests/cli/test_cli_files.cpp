// pelmora-cli with settings files and rich text, run in-process: a calculation
// saved with --save and opened again gives the same result, values beside a
// file take the place of the file's, a file that cannot be opened is refused
// with the reader's message and its own status, --save and --graph respect
// the user's files, and --rtf prints the document that Copy puts on the
// clipboard.  Reference values are computed with scipy 1.10 (Debian's
// python3-scipy).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/cli_run.h"
#include "session/settings_file.h"

namespace pelmora {
namespace {

using testing::CliRun;
using testing::RunWith;
using testing::With;

// The number after `key` in a JSON text.
double JsonNumberAfter(const std::string& json, const std::string& key) {
  const auto at = json.find(key);
  return at == std::string::npos ? -1e300 : std::strtod(json.c_str() + at + key.size(), nullptr);
}

class CliFiles : public testing::CliFolderTest {
 protected:
  static void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
  }
  // The record of a settings file as the program reads it.
  static std::optional<WindowSettings> Record(const std::string& path) {
    RecordingUserInterface quiet;
    Session s(quiet);
    return ReadSettingsFile(s, path);
  }

  // Saves with the direct call and opens the file with `opened` beside it:
  // both print the same.
  void ExpectSameAfterReopening(const std::vector<std::string>& direct,
                                const std::vector<std::string>& opened, const std::string& name) {
    const std::string file = File(name);
    const CliRun first = RunWith(direct);
    const CliRun saved = RunWith(With(direct, {"--save", file}));
    ASSERT_EQ(saved.status, first.status) << saved.err;
    EXPECT_EQ(saved.out, first.out);
    EXPECT_EQ(saved.err, first.err);
    ASSERT_EQ(Contents(file).size(), kSettingsRecordLength);
    const CliRun again = RunWith(With({file}, opened));
    EXPECT_EQ(again.status, first.status) << again.err;
    EXPECT_EQ(again.out, first.out);
    EXPECT_EQ(again.err, first.err);
  }
};

// ---- Saving and opening again -------------------------------------------------

// The unpaired t-test with equal sample sizes, Mean 2 = 0.7 and standard
// deviation 1.1, solved for the first sample size:
// scipy.optimize.brentq(lambda n: 2*t.sf(0.4/(1.1*sqrt(2/n)), 2*n-2) - 0.05, 2.01, 1e5)
constexpr double kEqualSizes = 59.32654870406237;
// Sample sizes 50 and 30, standard deviation 1.2, Mean 2 = 0.4, solved for
// Mean 1 below it:
// scipy.optimize.brentq(lambda m: 2*t.sf((0.4-m)/(1.2*sqrt(1/50+1/30)), 78) - 0.05, -5, 0.39)
constexpr double kMean1 = -0.15171972372502743;

TEST_F(CliFiles, ASavedTTestOpensToTheSameResult) {
  const std::vector<std::string> equal = {"--test",    "0",
                                          "--mode",    "2=2",
                                          "--set",     "Mean 2=0.7",
                                          "--set",     "Standard Deviation=1,1",
                                          "--unknown", "Sample Size 1",
                                          "--json"};
  const CliRun direct = RunWith(equal);
  ASSERT_EQ(direct.status, kExitSolved) << direct.err;
  EXPECT_NEAR(JsonNumberAfter(direct.out, "\"value\": "), kEqualSizes, 0.01) << direct.out;
  ExpectSameAfterReopening(equal, {"--json"}, "equal.dim");
  // The text output of the same file.
  const std::vector<std::string> text(equal.begin(), equal.end() - 1);
  ExpectSameAfterReopening(text, {}, "equal-text.dim");

  // The record holds the window's settings as Save As writes them: the
  // first Calculation window, the values as typed and the result's text.
  const auto r = Record(File("equal.dim"));
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->kind, 0);
  EXPECT_EQ(r->number, 1);
  EXPECT_EQ(r->title, "Calculation 1");
  EXPECT_EQ(r->TestName, "Student's unpaired t-test");
  EXPECT_EQ(r->IntParMode[2], 2);
  EXPECT_EQ(r->UnknownPosition, 6);
  EXPECT_EQ(r->valueTexts[4], "0.7");
  EXPECT_EQ(r->valueTexts[5], "1,1");
  EXPECT_EQ(r->valueTexts[6], "59.327");

  // Mean 1 stands where the x and z roles of a new list are: they move to
  // the first free positions, so that the file keeps three roles apart.
  const std::vector<std::string> mean = {"--test",    "0",      "--set", "Sample Size 1=50",
                                         "--unknown", "Mean 1", "--json"};
  const CliRun m = RunWith(mean);
  ASSERT_EQ(m.status, kExitSolved) << m.err;
  EXPECT_NEAR(JsonNumberAfter(m.out, "\"value\": "), kMean1, 2e-5) << m.out;
  ExpectSameAfterReopening(mean, {"--json"}, "mean.dim");
  const auto roles = Record(File("mean.dim"));
  ASSERT_TRUE(roles.has_value());
  EXPECT_EQ(roles->UnknownPosition, 3);
  EXPECT_EQ(roles->XPosition, 2);
  EXPECT_EQ(roles->ZPosition, 0);
}

// The normal distribution, the mean with the standard deviation unknown, one
// sample, a confidence interval whose lower limit 0.1 lies 0.2 below the
// mean 0.3, standard deviation 0.9:
// scipy.optimize.brentq(lambda n: t.ppf(0.975, n-1)*0.9/sqrt(n) - 0.2, 2, 1e5)
// The program's t quantile is the expansion of Abramowitz and Stegun 26.7.5,
// 2e-4 above scipy's at 79 degrees of freedom, so its n is about 0.04 larger.
constexpr double kIntervalSize = 80.22134351327719;

TEST_F(CliFiles, ASavedDistributionKeepsItsParameterChoiceAndKind) {
  const std::vector<std::string> interval = {"--distribution", "Normal Distribution",
                                             "--parameter",    "mean (std.dev. unknown)",
                                             "--kind",         "interval",
                                             "--samples",      "1",
                                             "--set",          "Lower Limit=0.1",
                                             "--set",          "Standard Deviation=0.9",
                                             "--unknown",      "Sample Size",
                                             "--json"};
  const CliRun direct = RunWith(interval);
  ASSERT_EQ(direct.status, kExitSolved) << direct.err;
  EXPECT_NEAR(JsonNumberAfter(direct.out, "\"value\": "), kIntervalSize, 0.05) << direct.out;
  EXPECT_NE(direct.out.find("Conf. Interval for Mean (Std.Dev. unknown)"), std::string::npos) << direct.out;
  ExpectSameAfterReopening(interval, {"--json"}, "interval.dim");
  const auto r = Record(File("interval.dim"));
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->IsTestProcedure, 0);
  EXPECT_EQ(r->DistributionName, "Normal Distribution");
  EXPECT_EQ(r->ParameterChoice, 1);
  EXPECT_EQ(r->ProcedureKind, 2);
  EXPECT_EQ(r->SampleCount, 1);
}

// Sample Size 1 of the unpaired test over the standard deviation 0.5, 1.0,
// 1.5 for Mean 2 = 0.5 and 0.6.
const std::vector<std::string> kRange = {
    "--test",        "0",      "--x", "Standard Deviation=0.5:1.5:0.5", "--z", "Mean 2=0.5 0.6", "--unknown",
    "Sample Size 1", "--table"};

TEST_F(CliFiles, ASavedTableOpensToTheSameTable) {
  ExpectSameAfterReopening(With(kRange, {"--csv"}), {"--csv"}, "csv.dim");
  ExpectSameAfterReopening(With(kRange, {"--columns", "1", "--decimals", "3"}), {}, "text.dim");
  // The table window's record: its x range, z values, heading lines,
  // columns and decimals.
  const auto r = Record(File("text.dim"));
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->kind, 1);
  EXPECT_EQ(r->title, "Table 1");
  EXPECT_EQ(r->xId, 111);
  EXPECT_EQ(r->xMin, "0.5");
  EXPECT_EQ(r->xMax, "1.5");
  EXPECT_EQ(r->xStep, "0.5");
  EXPECT_EQ(r->zId, 87);
  EXPECT_EQ(r->zValues, "0.5 0.6");
  EXPECT_EQ(r->TableColumns, 1);
  EXPECT_EQ(r->TableDecimals, 3);
  EXPECT_EQ(r->lastHeading, 3);
  EXPECT_EQ(r->headings[1], "Sample Size 1 as a function of Standard Deviation* and Mean 2*.");
}

// The same with standard deviation 1.5, solved for the P-value at the
// Mean 1 found above:
// 2 * scipy.stats.t.sf((0.4 + 0.15172) / (1.5 * sqrt(1/50 + 1/30)), 78)
constexpr double kPAfterMean1 = 0.11527705583465524;

TEST_F(CliFiles, ValuesBesideAFileTakeThePlaceOfTheFilesValues) {
  const std::string table = File("table.dim");
  ASSERT_EQ(RunWith(With(kRange, {"--csv", "--save", table})).status, kExitSolved);
  // The same as the direct call with those values.
  const CliRun mean = RunWith({table, "--set", "Mean 1=0.2", "--csv"});
  EXPECT_EQ(mean.status, kExitSolved) << mean.err;
  EXPECT_EQ(mean.out, RunWith(With(kRange, {"--set", "Mean 1=0.2", "--csv"})).out);
  const CliRun layout = RunWith({table, "--columns", "1", "--decimals", "2"});
  EXPECT_EQ(layout.status, kExitSolved) << layout.err;
  EXPECT_EQ(layout.out, RunWith(With(kRange, {"--columns", "1", "--decimals", "2"})).out);
  const CliRun x =
      RunWith({table, "--x", "Standard Deviation=0.4:0.6:0.1", "--z", "Mean 2=0.6 0.7", "--csv"});
  EXPECT_EQ(x.status, kExitSolved) << x.err;
  EXPECT_EQ(x.out, RunWith({"--test", "0", "--x", "Standard Deviation=0.4:0.6:0.1", "--z", "Mean 2=0.6 0.7",
                            "--unknown", "Sample Size 1", "--table", "--csv"})
                       .out);
  // Another unknown needs the axes apart from it.
  const CliRun clash = RunWith({table, "--unknown", "Mean 2", "--csv"});
  EXPECT_EQ(clash.status, kExitUsage);
  EXPECT_EQ(clash.err,
            "pelmora-cli: --unknown \"Mean 2\": it is the z parameter of \"" + table + "\"; give --z too\n");
  EXPECT_EQ(clash.out, "");
  const CliRun p = RunWith({table, "--unknown", "P-value", "--set", "Sample Size 1=40", "--csv"});
  EXPECT_EQ(p.status, kExitSolved) << p.err;
  EXPECT_EQ(p.out, RunWith({"--test", "0", "--x", "Standard Deviation=0.5:1.5:0.5", "--z", "Mean 2=0.5 0.6",
                            "--unknown", "P-value", "--set", "Sample Size 1=40", "--table", "--csv"})
                       .out);

  // A saved calculation with another value and unknown beside it, saved
  // again: Mean 1 is now the text of its result.
  const std::string calc = File("calc.dim");
  const std::string again = File("again.dim");
  ASSERT_EQ(
      RunWith({"--test", "0", "--set", "Sample Size 1=50", "--unknown", "Mean 1", "--save", calc}).status,
      kExitSolved);
  const CliRun changed =
      RunWith({calc, "--set", "Standard Deviation=1.5", "--unknown", "P-value", "--json", "--save", again});
  EXPECT_EQ(changed.status, kExitSolved) << changed.err;
  EXPECT_NEAR(JsonNumberAfter(changed.out, "\"value\": "), kPAfterMean1, 2e-5) << changed.out;
  EXPECT_EQ(RunWith({again, "--json"}).out, changed.out);
  EXPECT_EQ(RunWith({"--test", "0", "--set", "Sample Size 1=50", "--set", "Mean 1=-0.15172", "--set",
                     "Standard Deviation=1.5", "--json"})
                .out,
            changed.out);
}

// ---- Files that are not opened, saves that fail -------------------------------

TEST_F(CliFiles, AFileThatCannotBeOpenedIsRefused) {
  const std::string shortFile = File("short.dim");
  Write(shortFile, std::string(100, 'x'));
  const CliRun s = RunWith({shortFile, "--json"});
  EXPECT_EQ(s.status, kExitFileRefused);
  EXPECT_EQ(s.err,
            "The file \"short.dim\" cannot be opened: it is not a settings file of this program "
            "(it is 100 bytes long, a settings file is 1352).\n");
  EXPECT_EQ(s.out, "");

  const CliRun missing = RunWith({File("missing.dim")});
  EXPECT_EQ(missing.status, kExitFileRefused);
  EXPECT_EQ(missing.err, "The file \"missing.dim\" cannot be opened: it does not exist.\n");
  EXPECT_EQ(missing.out, "");

  // A Monte Carlo window's record: a saved calculation with kind 3.
  const std::string monte = File("Monte1.DIM");
  ASSERT_EQ(RunWith({"--test", "0", "--save", monte}).status, kExitSolved);
  std::string bytes = Contents(monte);
  bytes[0] = 3;
  Write(monte, bytes);
  // Its design is solved as a calculation, and saved again as a Monte Carlo window.
  const CliRun m = RunWith({monte, "--save", File("copy.dim")});
  EXPECT_EQ(m.status, kExitSolved) << m.err;
  EXPECT_EQ(m.out, RunWith({"--test", "0"}).out);
  EXPECT_EQ(Contents(File("copy.dim"))[0], 3);
  const CliRun simulated = RunWith({monte, "--simulate", "200", "--json"});
  EXPECT_EQ(simulated.status, kExitSolved) << simulated.err;
  EXPECT_NE(simulated.out.find("\"simulation\": {\"studies\": 200"), std::string::npos) << simulated.out;

  // A record without a parameter list opens no window.
  const std::string empty = File("empty.dim");
  const auto none = EncodeSettingsRecord(WindowSettings{});
  ASSERT_TRUE(none.has_value());
  Write(empty, std::string(none->begin(), none->end()));
  const CliRun e = RunWith({empty});
  EXPECT_EQ(e.status, kExitFileRefused);
  EXPECT_EQ(e.err, "The file \"empty.dim\" holds no parameter list, so no window was opened.\n");
  EXPECT_EQ(e.out, "");
}

TEST_F(CliFiles, FlagsBesideAFileMustFitIt) {
  const std::string calc = File("calc.dim");
  const std::string table = File("table.dim");
  ASSERT_EQ(RunWith({"--test", "0", "--save", calc}).status, kExitSolved);
  ASSERT_EQ(RunWith(With(kRange, {"--save", table})).status, kExitSolved);
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{calc, "--test", "1"},
       "--test cannot be given with a settings file: the file \"" + calc +
           "\" chooses the procedure and its options"},
      {{calc, "--option", "0"}, "--option cannot be given with a settings file"},
      {{calc, "--samples", "1"}, "--samples cannot be given with a settings file"},
      {{calc, "--table"},
       "--table applies to a Table or a Graph; the file \"" + calc +
           "\" holds the settings of a Calculation window"},
      {{calc, "--x", "Mean 1=0:1:0.5"}, "--x applies to a Table or a Graph"},
      {{calc, "--csv"}, "--csv applies to a Table or a Graph"},
      {{table, "--json"},
       "--json applies to a single calculation; the file \"" + table +
           "\" holds the settings of a Table window"},
      {{table, "--x", "Mean 1"}, "expected NAME=MIN:MAX:STEP"},
      {{table, "--x", "Sample Size 1=1:2:1"}, "x cannot be the unknown"},
      {{table, "--x", "Mean 2=0.5:0.7:0.1"}, "it is the z parameter of \"" + table + "\"; give --z too"},
      {{table, "--unknown", "Standard Deviation"},
       "it is the x parameter of \"" + table + "\"; give --x too"},
      {{table, "--describe", "--csv"}, "--csv needs --table"},
      {{table, "--rtf", "--csv"}, "--rtf and --csv exclude each other"},
      {{calc, table}, "only one settings file can be opened"},
      {{calc, "--save", File("x.txt")}, "the name of a settings file ends in .dim"},
      {{calc, "--describe", "--save", File("x.dim")}, "--save needs a calculation"},
      {{calc, "settings.txt"}, "unexpected argument \"settings.txt\""},
  };
  for (const Case& c : cases) {
    const CliRun r = RunWith(c.args);
    EXPECT_EQ(r.status, kExitUsage) << c.args.back();
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
  EXPECT_FALSE(std::filesystem::exists(File("x.dim")));
  // The file's parameter list with the values beside it.
  const CliRun d = RunWith({calc, "--set", "Mean 1=0.25", "--describe"});
  EXPECT_EQ(d.status, kExitSolved) << d.err;
  EXPECT_NE(d.out.find("3\t86\tMean 1*\t0.25\n"), std::string::npos) << d.out;
}

TEST_F(CliFiles, NothingIsSavedAfterARefusalAndAFailedSaveIsReported) {
  // A check rejects the values.
  const std::string rejected = File("rejected.dim");
  const CliRun r =
      RunWith({"--test", "0", "--tails", "3", "--set", "6=0.5", "--set", "7=0.4", "--save", rejected});
  EXPECT_EQ(r.status, kExitRejected);
  EXPECT_FALSE(std::filesystem::exists(rejected));

  // No point of the range can be calculated.
  const std::string nothing = File("nothing.dim");
  const CliRun n = RunWith({"--test", "1", "--tails", "1", "--unknown", "Sample Size", "--table", "--x",
                            "Mean of Difference=-0.5:-0.1:0.2", "--save", nothing});
  EXPECT_EQ(n.status, kExitNotCalculable);
  EXPECT_EQ(n.err, "Can't Be Calculated For Any x-value\npelmora-cli: --save: \"" + nothing +
                       "\" is not written: the window has no results\n");
  EXPECT_FALSE(std::filesystem::exists(nothing));

  // A single solve that is not calculable is saved: its settings are whole.
  const std::string dash = File("dash.dim");
  const CliRun none = RunWith({"--test", "0", "--unknown", "Sample Size 1", "--save", dash});
  EXPECT_EQ(none.status, kExitNotCalculable);
  ASSERT_TRUE(std::filesystem::exists(dash));
  EXPECT_EQ(RunWith({dash}).out, none.out);

  // A folder that does not exist: the result is printed, the save fails
  // with the system's reason.
  const CliRun lost = RunWith({"--test", "0", "--save", File("no-such-folder/lost.dim")});
  EXPECT_EQ(lost.status, kExitWriteFailed);
  EXPECT_EQ(lost.out, RunWith({"--test", "0"}).out);
  EXPECT_EQ(lost.err, "The file \"lost.dim\" cannot be written: no such file or directory.\n");
}

// --save (and --graph where this build draws) write as the windowed program
// saves, and a file to open must be a regular one holding numbers as typed.
// Each case makes its target in the folder; a write that succeeds changes
// nothing in the folder but the file written (the one behind a link), which
// holds the saved record in its earlier mode; a refusal changes nothing.
TEST_F(CliFiles, FilesAreTheUsersFiles) {
  const std::string saved = File("saved.dim");
  ASSERT_EQ(RunWith({"--test", "0", "--save", saved}).status, kExitSolved);
  const std::string original = Contents(saved);
  const std::filesystem::path folder = std::filesystem::path(saved).parent_path();
  auto made = [&](const std::string& name, std::filesystem::perms perms) {
    Write(File(name), "mine");
    std::filesystem::permissions(File(name), perms);
    return File(name);
  };
  // Every name in the folder with what it is: a file's contents and mode.
  auto snapshot = [&] {
    std::map<std::string, std::string> what;
    for (const auto& e : std::filesystem::directory_iterator(folder)) {
      struct stat st {};
      stat(e.path().c_str(), &st);
      what[e.path().filename().string()] =
          e.is_symlink() ? "link to " + std::filesystem::read_symlink(e.path()).string()
          : e.is_regular_file() ? Contents(e.path().string()) + " " + std::to_string(st.st_mode & 07777)
                                : "other";
    }
    return what;
  };
  const auto own = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;
  const std::vector<std::string> save = {"--test", "0", "--save"};
  struct Case {
    const char* what;
    std::function<std::string()> make;  // makes the file and names the target
    std::vector<std::string> args;      // the arguments before the target
    int status;
    std::string err;
  };
  const Case cases[] = {
      {"a read-only target", [&] { return made("target.dim", std::filesystem::perms::owner_read); }, save,
       kExitWriteFailed, "The file \"target.dim\" cannot be written: it is read-only (permission denied).\n"},
      {"a 600 file", [&] { return made("own.dim", own); }, save, kExitSolved, ""},
      {"a symbolic link",
       [&] {
         std::filesystem::create_symlink(made("behind.dim", own), File("link.dim"));
         return File("link.dim");
       },
       save, kExitSolved, ""},
      {"a stale temporary name",
       [&] {
         made("stale.dim.saving", own);
         return made("stale.dim", own);
       },
       save, kExitSolved, ""},
      {"a FIFO to open",
       [&] {
         mkfifo(File("pipe.dim").c_str(), 0600);
         return File("pipe.dim");
       },
       {}, kExitFileRefused,
       "The file \"pipe.dim\" cannot be opened: it is not a regular file (a named pipe, a device or a socket).\n"},
      {"a value text typing refuses",
       [&] {
         std::string bytes = original;
         bytes.replace(bytes.find("1.2"), 3, "1e5");  // the standard deviation
         Write(File("typed.dim"), bytes);
         return File("typed.dim");
       },
       {}, kExitFileRefused,
       "The file \"typed.dim\" cannot be opened: its value text of position 5 holds \"1e5\", which is not a number "
       "as it can be typed.\n"},
#ifdef PELMORA_CLI_GRAPH
      {"a read-only picture", [&] { return made("target.png", std::filesystem::perms::owner_read); },
       {"--test", "0", "--x", "Standard Deviation=0.5:1.5:0.5", "--z", "Mean 2=0.5 0.6", "--unknown", "P-value",
        "--graph"},
       kExitWriteFailed,
       "pelmora-cli: --graph: The file \"target.png\" cannot be written: it is read-only (permission denied).\n"},
#endif
  };
  for (const Case& c : cases) {
    const std::string target = c.make();
    std::map<std::string, std::string> expected = snapshot();
    const std::string behind = std::filesystem::weakly_canonical(target).filename().string();
    const CliRun r = RunWith(With(c.args, {target}));
    EXPECT_EQ(r.status, c.status) << c.what;
    EXPECT_EQ(r.err, c.err) << c.what;
    if (r.status == kExitSolved) expected[behind] = original + expected[behind].substr(4);  // after "mine"
    EXPECT_EQ(snapshot(), expected) << c.what;
  }
}

// ---- Rich text ------------------------------------------------------------------

constexpr const char* kDocumentStart =
    "{\\rtf0\\ansi{\\fonttbl\\f1\\fnil Arial;}{\\stylesheet {\\s0 Normal;}}{\\s0\\f1\\fs18";

// The words of a text, leaving out rules (two or more "-").
std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string w; in >> w;)
    if (w.size() < 2 || w.find_first_not_of('-') != std::string::npos) words.push_back(w);
  return words;
}

// The text of a rich-text document as unrtf shows it, without its own lines.
std::optional<std::string> UnrtfText(const std::string& path) {
  FILE* pipe = popen(("/usr/bin/unrtf --text '" + path + "' 2>/dev/null").c_str(), "r");
  if (pipe == nullptr) return std::nullopt;
  std::string text;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
  if (pclose(pipe) != 0) return std::nullopt;
  std::string kept;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (line.rfind("###", 0) != 0) kept += line + "\n";
  return kept;
}

TEST_F(CliFiles, RtfIsTheDocumentOfTheOutput) {
  const std::vector<std::string> single = {"--test", "0", "--set", "Sample Size 1=50", "--unknown", "Mean 1"};
  const CliRun plain = RunWith(single);
  const CliRun rtf = RunWith(With(single, {"--rtf"}));
  ASSERT_EQ(rtf.status, kExitSolved) << rtf.err;
  // The description, centred on the 67 characters of the output, follows
  // the size after the blank that ends the control word; the parameters
  // two to a line, the halves separated by a tab; an empty line and the
  // document's end.
  const std::string centring(16, ' ');
  EXPECT_EQ(
      rtf.out.rfind(std::string(kDocumentStart) + " " + centring + "Student's unpaired t-test. 2-sided." +
                        centring + "\\par " + std::string(67, '-') + "\\par P-value:",
                    0),
      0u)
      << rtf.out;
  EXPECT_NE(rtf.out.find("\\tab H0: Mean 2 - Mean 1: 0"), std::string::npos) << rtf.out;
  EXPECT_NE(rtf.out.find("\\par Mean 1*:             -0.15172"), std::string::npos) << rtf.out;
  EXPECT_EQ(rtf.out.substr(rtf.out.size() - 16), "\\par \\par \\par}}");

  // The font of --font and --font-size.
  const CliRun courier = RunWith(With(single, {"--rtf", "--font", "Courier New", "--font-size", "10"}));
  EXPECT_EQ(courier.out.rfind("{\\rtf0\\ansi{\\fonttbl\\f1\\fnil Courier New;}{\\stylesheet {\\s0 Normal;}}"
                              "{\\s0\\f1\\fs20 " +
                                  centring + "Student's",
                              0),
            0u)
      << courier.out;

  // The table of a file, as --table prints it.
  const std::string table = File("table.dim");
  ASSERT_EQ(RunWith(With(kRange, {"--save", table})).status, kExitSolved);
  const CliRun tableRtf = RunWith({table, "--rtf"});
  ASSERT_EQ(tableRtf.status, kExitSolved) << tableRtf.err;
  EXPECT_EQ(tableRtf.out.rfind(kDocumentStart, 0), 0u) << tableRtf.out;
  EXPECT_EQ(RunWith(With(kRange, {"--rtf"})).out, tableRtf.out);

  // What a reader of rich text shows holds the words of the plain output.
  if (!std::filesystem::exists("/usr/bin/unrtf")) GTEST_SKIP() << "unrtf is not installed";
  const std::string single_rtf = File("single.rtf");
  Write(single_rtf, rtf.out);
  const auto shown = UnrtfText(single_rtf);
  ASSERT_TRUE(shown.has_value());
  EXPECT_EQ(Words(*shown), Words(plain.out)) << *shown;
  const std::string table_rtf = File("table.rtf");
  Write(table_rtf, tableRtf.out);
  const auto shownTable = UnrtfText(table_rtf);
  ASSERT_TRUE(shownTable.has_value());
  EXPECT_EQ(Words(*shownTable), Words(RunWith({table}).out)) << *shownTable;
}

#ifdef PELMORA_CLI_GRAPH

TEST_F(CliFiles, ASavedGraphIsDrawnAgainAndPrintsItsTable) {
  const std::vector<std::string> curves = {"--test",    "0",
                                           "--mode",    "2=2",
                                           "--x",       "Standard Deviation*=0.5:1.5:0.1",
                                           "--z",       "Mean 2=0.5 0.6 0.7",
                                           "--unknown", "Sample Size 1"};
  const std::string first = File("first.png");
  const std::string graph = File("graph.dim");
  const CliRun saved = RunWith(With(curves, {"--graph", first, "--font-size", "12", "--save", graph}));
  ASSERT_EQ(saved.status, kExitSolved) << saved.err;
  EXPECT_EQ(saved.out, "");
  const auto r = Record(graph);
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->kind, 2);
  EXPECT_EQ(r->title, "Graph 1");
  EXPECT_EQ(r->graphTexts[1], "Standard Deviation*");
  EXPECT_EQ(r->graphTexts[2], "Sample Size 1");
  EXPECT_EQ(r->graphTexts[3], "Mean 2*");
  EXPECT_EQ(r->fontSize, "12");
  // A graph is headed without the line that names y, x and z.
  EXPECT_EQ(r->headings[1].find("as a function of"), std::string::npos) << r->headings[1];

  // Drawn again from the file: the same picture.
  const std::string second = File("second.png");
  const CliRun again = RunWith({graph, "--graph", second});
  ASSERT_EQ(again.status, kExitSolved) << again.err;
  EXPECT_EQ(again.out, "");
  ASSERT_FALSE(Contents(first).empty());
  EXPECT_EQ(Contents(second), Contents(first));
  // Without --graph the file prints its table, headed as a table.
  const CliRun table = RunWith({graph});
  EXPECT_EQ(table.status, kExitSolved) << table.err;
  EXPECT_EQ(table.out, RunWith(With(curves, {"--table"})).out);
  const CliRun both = RunWith({graph, "--graph", File("both.png"), "--table", "--csv"});
  EXPECT_EQ(both.status, kExitSolved) << both.err;
  EXPECT_EQ(both.out, RunWith(With(curves, {"--table", "--csv"})).out);

  // A Graph window keeps whole points.
  const CliRun half =
      RunWith(With(curves, {"--graph", File("half.png"), "--font-size", "9.5", "--save", graph}));
  EXPECT_EQ(half.status, kExitUsage);
  EXPECT_NE(half.err.find("--font-size 9.5: a settings file keeps the graph's font size in whole points"),
            std::string::npos)
      << half.err;
  EXPECT_EQ(RunWith(With(curves, {"--graph", File("half.png"), "--font-size", "9.5"})).status, kExitSolved);
  // A graph alone prints nothing to write as rich text.
  const CliRun rtf = RunWith({graph, "--graph", File("rtf.png"), "--rtf"});
  EXPECT_EQ(rtf.status, kExitUsage);
  EXPECT_NE(rtf.err.find("--rtf needs a printed result"), std::string::npos) << rtf.err;
  EXPECT_FALSE(std::filesystem::exists(File("rtf.png")));
}

#endif

TEST(CliFilesText, HelpNamesTheFilesAndTheirStatus) {
  const std::string& help = CliHelpText();
  EXPECT_NE(help.find("       pelmora-cli FILE.dim [values] [action] [--save FILE.dim]\n"),
            std::string::npos);
  EXPECT_NE(help.find("  --save FILE.dim "), std::string::npos);
  EXPECT_NE(help.find("  --rtf "), std::string::npos);
  EXPECT_NE(help.find("  5  the settings file cannot be opened"), std::string::npos);
  EXPECT_NE(help.find("the settings file of --save cannot be written"), std::string::npos);
  EXPECT_EQ(kExitFileRefused, 5);
}

}  // namespace
}  // namespace pelmora
