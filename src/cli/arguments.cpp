#include "cli/arguments.h"

#include <algorithm>
#include <iterator>
#include <map>

#include "cli/typed_number.h"
#include "format/number_entry.h"
#include "session/catalogue.h"
#include "session/user_interface.h"
#include "session/typed_text.h"

namespace pelmora::cli {

void Usage(std::string message) { throw UsageError{std::move(message)}; }


std::string Lower(std::string_view text) {
  std::string r(text);
  for (char& c : r) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return r;
}

std::string Trim(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(' ') - first + 1));
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// A non-negative whole number written with digits only.
bool ParseIndex(std::string_view text, int& value) {
  if (text.empty() || text.size() > 9) return false;
  if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) return false;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return true;
}


// A typed number checked as the value boxes check it, and refused where a
// double cannot hold it as written; a usage error names the argument and
// carries the window's message.
void CheckTypedNumber(const std::string& flag, const std::string& argument, std::string value) {
  RecordingUserInterface quiet;
  if (!CheckDigits(value, quiet))
    Usage(flag + " " + Quoted(argument) + ": malformed number: " + quiet.LastText());
  // "2.5.3", "3-" or "7,5,3" would be read as their first number.
  if (!IsWellFormedNumber(value))
    Usage(flag + " " + Quoted(argument) + ": " + Quoted(value) + " is not a number");
  if (const std::string fault = RangeFault(value); !fault.empty())
    Usage(flag + " " + Quoted(argument) + ": " + Quoted(value) + " is out of range: " + fault);
}

// NAME=VALUE split at the last "=" (a caption may hold "=", a value never does).
std::pair<std::string, std::string> SplitAssignment(const std::string& flag, const std::string& argument,
                                                    const char* shape) {
  const auto eq = argument.rfind('=');
  if (eq == std::string::npos || eq == 0) Usage(flag + " " + Quoted(argument) + ": expected " + shape);
  return {argument.substr(0, eq), argument.substr(eq + 1)};
}

namespace {

struct FlagRule {
  std::string_view name;
  bool takesValue;
  bool repeatable;
};

constexpr FlagRule kFlags[] = {
    {"--test", true, false},       {"--distribution", true, false},
    {"--parameter", true, false},  {"--kind", true, false},
    {"--samples", true, false},    {"--tails", true, false},
    {"--left-tail", false, false}, {"--option", true, true},
    {"--mode", true, true},        {"--set", true, true},
    {"--unknown", true, false},    {"--json", false, false},
    {"--describe", false, false},  {"--list", false, false},
    {"--table", false, false},     {"--x", true, false},
    {"--z", true, false},          {"--csv", false, false},
    {"--whole", false, false},
    {"--columns", true, false},    {"--decimals", true, false},
    {"--graph", true, false},      {"--graph-size", true, false}, {"--graph-dpi", true, false},
    {"--font", true, false},       {"--font-size", true, false},
    {"--rtf", false, false},       {"--save", true, false},
    {"--help", false, false},      {"--batch", false, false},
    {"--power", true, false},      {"--interims", true, false},
    {"--boundary", true, false},   {"--boundary-parameter", true, false},
    {"--futility", true, false},   {"--futility-parameter", true, false},
    {"--binding", false, false},   {"--fractions", true, false},
    {"--simulate", true, false},
    {"--seed", true, false},       {"--threads", true, false},
    {"--data", true, false},       {"--dropout", true, false},
};
// ---- The command line ------------------------------------------------------




int ParseChoice(const std::string& flag, const std::string& value, int count) {
  int n = 0;
  if (!ParseIndex(value, n) || n < 1 || n > count) {
    std::string allowed;
    for (int k = 1; k <= count; ++k)
      allowed += (k > 1 ? (k == count ? " or " : ", ") : "") + std::to_string(k);
    Usage(flag + " " + Quoted(value) + ": expected " + allowed);
  }
  return n;
}

int ParseKind(const std::string& value) {
  const std::string k = Lower(value);
  for (int kind = 0; kind < 3; ++kind)
    if (k == kKindWords[kind]) return kind;
  Usage("--kind " + Quoted(value) + ": expected test, estimate or interval");
}

std::pair<int, int> ParseMode(const std::string& value) {
  const auto [g, m] = SplitAssignment("--mode", value, "G=M");
  int group = 0, form = 0;
  if (!ParseIndex(g, group) || group >= kGroupCount)
    Usage("--mode " + Quoted(value) + ": the group must be an id from 0 to " +
          std::to_string(kGroupCount - 1));
  if (!ParseIndex(m, form) || form > 2) Usage("--mode " + Quoted(value) + ": the form must be 0, 1 or 2");
  return {group, form};
}

Assignment ParseSet(const std::string& value) {
  auto [name, text] = SplitAssignment("--set", value, "NAME=VALUE");
  // "-" is a value box's "no value": the checks refuse it by the
  // parameter's caption, as they refuse it in a window.
  if (Trim(text) == "-")
    text = "-";
  else
    CheckTypedNumber("--set", value, text);
  return {value, name, text};
}

Range ParseRange(const std::string& value) {
  auto [name, text] = SplitAssignment("--x", value, "NAME=MIN:MAX:STEP");
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t c = 0; c <= text.size(); ++c) {
    if (c < text.size() && text[c] != ':') continue;
    parts.push_back(text.substr(start, c - start));
    start = c + 1;
  }
  if (parts.size() != 3 ||
      std::any_of(parts.begin(), parts.end(), [](const std::string& p) { return Trim(p).empty(); }))
    Usage("--x " + Quoted(value) + ": expected NAME=MIN:MAX:STEP");
  for (const std::string& p : parts) CheckTypedNumber("--x", value, p);
  return {value, name, parts[0], parts[1], parts[2]};
}

std::int16_t ParseColumns(const std::string& value) {
  int n = 0;
  if (!ParseIndex(value, n) || n < 1 || n > kMaxColumns)
    Usage("--columns " + Quoted(value) + ": expected a whole number from 1 to " +
          std::to_string(kMaxColumns));
  return static_cast<std::int16_t>(n);
}

std::int16_t ParseDecimals(const std::string& value) {
  if (Lower(value) == "auto") return kAutomaticDecimals;
  int n = 0;
  if (!ParseIndex(value, n) || n > kMaxDecimals)
    Usage("--decimals " + Quoted(value) + ": expected 0 to " + std::to_string(kMaxDecimals) + " or auto");
  return static_cast<std::int16_t>(n);
}

std::pair<int, int> ParseGraphSize(const std::string& value) {
  const auto x = Lower(value).find('x');
  int w = 0, h = 0;
  if (x == std::string::npos || !ParseIndex(value.substr(0, x), w) || !ParseIndex(value.substr(x + 1), h) ||
      std::min(w, h) < kMinGraphSide || std::max(w, h) > kMaxGraphSide)
    Usage("--graph-size " + Quoted(value) + ": expected WxH in pixels, each from " +
          std::to_string(kMinGraphSide) + " to " + std::to_string(kMaxGraphSide));
  return {w, h};
}

int ParseGraphDpi(const std::string& value) {
  int n = 0;
  if (!ParseIndex(value, n) || n < kMinGraphDpi || n > kMaxGraphDpi)
    Usage("--graph-dpi " + Quoted(value) + ": expected dots per inch from " + std::to_string(kMinGraphDpi) +
          " to " + std::to_string(kMaxGraphDpi));
  return n;
}

double ParseFontSize(const std::string& value) {
  // Digits with at most one decimal point.
  const bool digits =
      !value.empty() && std::count(value.begin(), value.end(), '.') <= 1 &&
      std::all_of(value.begin(), value.end(), [](char c) { return c == '.' || (c >= '0' && c <= '9'); });
  const double size = digits && value != "." ? ParseNumber(value) : 0;
  if (size < 1 || size > kMaxFontSize)
    Usage("--font-size " + Quoted(value) + ": expected a size in points from 1 to " +
          std::to_string(static_cast<int>(kMaxFontSize)));
  return size;
}

Assignment ParseZ(const std::string& value) {
  auto [name, text] = SplitAssignment("--z", value, "NAME=\"V1 V2 ...\"");
  // One blank between values, as the engine reads them; each one number.
  std::string collapsed;
  for (char c : Trim(text))
    if (c != ' ' || collapsed.empty() || collapsed.back() != ' ') collapsed += c;
  for (std::size_t start = 0; start < collapsed.size();) {
    const std::size_t end = std::min(collapsed.find(' ', start), collapsed.size());
    CheckTypedNumber("--z", value, collapsed.substr(start, end - start));
    start = end + 1;
  }
  return {value, name, collapsed};
}

// The graph file's type, by its extension, must be one this build can write.
void CheckGraphFile(const std::string& path) {
#ifdef PELMORA_CLI_GRAPH
  const auto dot = path.find_last_of('.');
  const auto slash = path.find_last_of("/\\");
  const std::string extension =
      dot == std::string::npos || (slash != std::string::npos && dot < slash) ? "" : Lower(path.substr(dot));
  if (extension != ".png" && extension != ".svg" && extension != ".pdf")
    Usage("--graph " + Quoted(path) + ": the file name must end in .png, .svg or .pdf");
#ifndef PELMORA_CLI_GRAPH_SVG
  if (extension == ".svg") Usage("--graph " + Quoted(path) + ": this build cannot write SVG files");
#endif
#else
  Usage("--graph " + Quoted(path) + ": this build cannot draw graphs (it was built without Qt)");
#endif
}

// Stores one argument (its value already taken) in the request.
void Store(Request& r, const std::string& name, const std::string& value) {
  if (name == "--test") r.test = value;
  if (name == "--distribution") r.distribution = value;
  if (name == "--parameter") r.parameter = value;
  if (name == "--kind") r.kind = ParseKind(value);
  if (name == "--samples") r.samples = ParseChoice(name, value, 2);
  if (name == "--tails") r.tails = ParseChoice(name, value, 3);
  if (name == "--left-tail") r.leftTail = true;
  if (name == "--option") r.options.push_back(value);
  if (name == "--mode") r.modes.push_back(ParseMode(value));
  if (name == "--set") r.sets.push_back(ParseSet(value));
  if (name == "--power") {
    CheckTypedNumber("--power", value, value);
    r.power = true;
    r.sets.push_back({"--power " + value, "Power", value});
  }
  if (name == "--unknown") r.unknown = value;
  if (name == "--json") r.json = true;
  if (name == "--describe") r.describe = true;
  if (name == "--list") r.list = true;
  if (name == "--table") r.table = true;
  if (name == "--x") r.x = ParseRange(value);
  if (name == "--z") r.z = ParseZ(value);
  if (name == "--csv") r.csv = true;
  if (name == "--whole") r.whole = true;
  if (name == "--columns") r.columns = ParseColumns(value);
  if (name == "--decimals") r.decimals = ParseDecimals(value);
  if (name == "--graph") r.graph = value;
  if (name == "--graph-size") r.graphSize = ParseGraphSize(value);
  if (name == "--graph-dpi") r.graphDpi = ParseGraphDpi(value);
  if (name == "--font") r.font = value;
  if (name == "--font-size") r.fontSize = ParseFontSize(value);
  if (name == "--rtf") r.rtf = true;
  if (name == "--save") r.save = value;
  if (name == "--help") r.help = true;
  if (name == "--batch") r.batch = true;
  StoreSequentialFlag(r.sequential, name, value);
  if (name == "--simulate") r.simulate = ParseStudyCount(value);
  if (name == "--seed") r.seed = ParseSeed(value);
  if (name == "--threads") r.threads = ParseThreads(value);
  if (name == "--data") r.data = ParseDataModel(value);
  if (name == "--dropout") r.dropout = ParseDropout(value);
}

}  // namespace

bool IsPlanByPower(std::string_view option) {
  return Lower(Trim(RemoveAccelerator(std::string(option)))) == Lower(kPlanByPowerCaption);
}

bool IsSettingsFileName(std::string_view name) {
  return name.size() > 4 && Lower(name.substr(name.size() - 4)) == ".dim";
}

namespace {

// The flags that choose the procedure and its options; a settings file
// brings its own.
std::vector<std::string_view> SelectionFlagsGiven(const Request& r) {
  std::vector<std::string_view> given;
  if (r.test) given.push_back("--test");
  if (r.distribution) given.push_back("--distribution");
  if (r.parameter) given.push_back("--parameter");
  if (r.kind) given.push_back("--kind");
  if (r.samples) given.push_back("--samples");
  if (r.tails) given.push_back("--tails");
  if (r.leftTail) given.push_back("--left-tail");
  if (!r.options.empty()) given.push_back("--option");
  if (r.power) given.push_back("--power");
  if (!r.modes.empty()) given.push_back("--mode");
  if (!r.sequential.first.empty()) given.push_back(r.sequential.first);
  return given;
}

// The checks that hold whatever the result is: a single solve or a range.
void CheckOutputFlags(const Request& r) {
  if (r.json && r.describe) Usage("--json, --describe and --table or --graph exclude each other");
  if (r.rtf && (r.json || r.describe)) Usage("--rtf, --json and --describe exclude each other");
  if (r.rtf && r.csv) Usage("--rtf and --csv exclude each other");
  if (r.save && r.describe) Usage("--save needs a calculation; --describe calculates nothing");
  if (r.save && !IsSettingsFileName(*r.save))
    Usage("--save " + Quoted(*r.save) + ": the name of a settings file ends in .dim");
  if (r.graph) CheckGraphFile(*r.graph);
  if (r.font && Trim(*r.font).empty()) Usage("--font needs a font name");
}

}  // namespace

void CheckCombination(const Request& r, bool xFromFile) {
  CheckOutputFlags(r);
  CheckSimulationFlags(r);
  const bool range = r.table || r.graph;
  if (r.describe && range) Usage("--json, --describe and --table or --graph exclude each other");
  if (r.json && r.graph && !r.table)
    Usage("--json needs a printed result: --graph alone prints nothing (give --table too)");
  if (r.csv && !r.table) Usage("--csv needs --table");
  if (r.whole && !r.table) Usage("--whole needs --table");
  if (r.csv && r.json) Usage("--json and --csv exclude each other");
  for (const auto& [given, flag] :
       {std::pair{r.columns.has_value(), "--columns"}, std::pair{r.decimals.has_value(), "--decimals"}}) {
    if (given && !r.table) Usage(std::string(flag) + " needs --table");
    if (given && (r.csv || r.json))
      Usage(std::string(flag) + " applies to the table text, not to " + (r.csv ? "--csv" : "--json"));
  }
  if (r.rtf && r.graph && !r.table)
    Usage("--rtf needs a printed result: --graph alone prints nothing (give --table too)");
  if (r.graphSize && !r.graph) Usage("--graph-size needs --graph");
  if (r.graphDpi && !r.graph) Usage("--graph-dpi needs --graph");
  for (const auto& [given, flag] :
       {std::pair{r.font.has_value(), "--font"}, std::pair{r.fontSize.has_value(), "--font-size"}})
    if (given && !r.graph && !r.rtf) Usage(std::string(flag) + " needs --graph or --rtf");
  if (r.x && !range) Usage("--x needs --table or --graph");
  if (r.z && !range) Usage("--z needs --table or --graph");
  if (range && !r.x && !xFromFile)
    Usage(std::string(r.table ? "--table" : "--graph") + " needs --x NAME=MIN:MAX:STEP");
}

Request ParseArguments(const std::vector<std::string>& args) {
  Request r;
  std::map<std::string_view, int> seen;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.rfind("--", 0) != 0) {
      if (!IsSettingsFileName(arg))
        Usage("unexpected argument " + Quoted(arg) + " (a settings file's name ends in .dim; see --help)");
      if (r.file) Usage("only one settings file can be opened: " + Quoted(*r.file) + " and " + Quoted(arg));
      r.file = arg;
      continue;
    }
    const auto eq = arg.find('=');
    const std::string name = arg.substr(0, eq);
    const auto rule =
        std::find_if(std::begin(kFlags), std::end(kFlags), [&](const FlagRule& f) { return f.name == name; });
    if (rule == std::end(kFlags)) Usage("unknown argument " + Quoted(name) + " (see --help)");
    if (++seen[rule->name] > 1 && !rule->repeatable) Usage(name + " is given more than once");
    std::string value;
    if (rule->takesValue) {
      if (eq != std::string::npos) {
        value = arg.substr(eq + 1);
      } else if (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) {
        value = args[++i];
      } else {
        Usage(name + " needs a value (see --help)");
      }
    } else if (eq != std::string::npos) {
      Usage(name + " takes no value");
    }

    Store(r, name, value);
  }

  if (r.help) return r;
  for (const auto& [given, flag] : {std::pair{r.list, "--list"}, std::pair{r.batch, "--batch"}})
    if (given && args.size() > 1) Usage(std::string(flag) + " takes no other argument");
  if (r.list || r.batch) return r;
  if (r.file) {
    // What the file holds (a calculation or a range) is known once it is
    // read; the rest is checked then.
    const auto selection = SelectionFlagsGiven(r);
    if (!selection.empty())
      Usage(std::string(selection.front()) + " cannot be given with a settings file: the file " +
            Quoted(*r.file) + " chooses the procedure and its options");
    CheckOutputFlags(r);
    return r;
  }
  if (r.test && r.distribution) Usage("--test and --distribution exclude each other");
  if (!r.test && !r.distribution)
    Usage("no procedure chosen: give --test or --distribution (see --list), or a settings file");
  if (r.test && r.parameter) Usage("--parameter applies to a sample distribution only");
  if (r.test && r.kind) Usage("--kind applies to a sample distribution only");
  CheckCombination(r, false);
  return r;
}

}  // namespace pelmora::cli
