#include "cli/cli.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "engine/calculation.h"
#include "format/number_entry.h"
#include "output/output_text.h"
#include "output/table_export.h"
#include "output/table_layout.h"
#include "session/axis_roles.h"
#include "session/catalogue.h"
#include "session/dispatch.h"
#include "session/menus.h"
#include "session/session.h"
#include "session/settings_file.h"
#include "session/window_records.h"

#ifdef PELMORA_CLI_GRAPH
#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QSizeF>
#include <QtGlobal>

#include "views/graph_export.h"
#include "views/plot_xyz.h"
#endif

namespace pelmora {

void CliUserInterface::ShowMessage(const std::string& text, const std::string& /*title*/,
                                   MessageIcon /*icon*/) {
  messages_.push_back(text);
  *err_ << text << '\n';
}

Answer CliUserInterface::AskYesNoCancel(const std::string& text, const std::string& /*title*/) {
  messages_.push_back(text);
  *err_ << text << '\n';
  return Answer::No;
}

const std::string& CliHelpText() {
  static const std::string text =
      R"(Usage: pelmora-cli --test I | --distribution I [choices] [values] [action]
                   [--save FILE.dim]
       pelmora-cli FILE.dim [values] [action] [--save FILE.dim]
       pelmora-cli --list
       pelmora-cli --help

Plans a study with the Pelmora engine: chooses a procedure as the menus and
the options dialog do, sets the values of its parameters, and solves for the
one that is left.  Or opens the settings of a window saved in a settings
file and calculates them again.

Selection (exactly one):
  --test I             Test Procedures menu item: its index (0, 1, 2, 4, 5, 6,
                       7, 9, 10, 12, 13, 14, 16, 17, 18) or its caption without
                       "&" ("Student's unpaired t-test"; case does not matter)
  --distribution I     Sample Distributions menu item: its index (0, 1, 2, 4,
                       5, 6, 8, 10) or its caption without "&"
  --parameter K        parameter choice of the distribution: index (default 0)
                       or its text
  --kind KIND          test, estimate or interval (default test)

Choices of the options dialog, applied after --parameter and --kind, in
this order:
  --samples 1|2        number of samples
  --tails 1|2|3        one-sided, two-sided, two one-sided
  --left-tail          reject in the left tail (a test only)
  --option ID          tick option ID (0..14) or its caption without "&";
                       each is followed by the procedure's rebuild (repeatable)
  --mode G=M           interchangeable-parameter group G (0..36) takes form M
                       (0, 1 or 2) (repeatable)
  Then the parameter list is built.  A choice that the dialog does not offer
  for the selection, or that a later choice undoes, is a usage error.

Values:
  --set NAME=VALUE     value text of a listed parameter (repeatable).  NAME is
                       a catalogue id or a caption without "&"; a caption may
                       leave out its "*" marks; an id that the list does not
                       hold names the listed parameter with the same caption
                       ("Sample Size 1" is 4, 39 and 164).  VALUE holds only
                       "0123456789.-, " (a decimal comma reads as a point).
                       Unset parameters keep their start-up value texts.
  --unknown NAME       the parameter to solve (default: list position 0)
  Position 1 (Power in the tests) has no value box: it is never printed and
  can be neither set, solved nor stepped.
  A flag's value follows it as the next argument or after "=" ("--set=4=40").

Actions:
  (default)            solve once and print the description, a rule of "-"
                       and one "caption: value" line per parameter (captions
                       padded to one width), the unknown's value being the
                       result or "-"
  --json               solve once and print one JSON object:
                         {"description": str,
                          "unknown": {"id": int, "caption": str,
                                      "value": number|null, "text": str},
                          "parameters": [{"position": int, "id": int,
                                          "caption": str, "text": str,
                                          "value": number|null}],
                          "messages": [str]}
                       parameters: every list position but 1, the unknown
                       included; value null and text "-" where the unknown is
                       not calculable; numbers in shortest round-trip form
  --describe           print the parameter list, one parameter per line:
                       position, id, caption and value text, tab-separated
  --list               print the menus with their indices, the parameter
                       choices of each distribution, the options and the
                       interchangeable-parameter groups
  --table --x NAME=MIN:MAX:STEP [--z NAME="V1 V2 ..."]
                       (NAME as for --set) solve the unknown at every x step
                       (at most 100) for every z value (separated by
                       blanks); without --z, z is the first position other
                       than 0, 1, the unknown and x, at its current value.
                       Prints the table as the Table window lays it out:
                       the headings, each centred, then blocks of columns
                       (x column and one column per z value, each block
                       with its own rules and headings); a point that is
                       not calculable is "-"; lines end in CR LF
  --columns N          z columns per block of the table, 1 to 10 (default 10)
  --decimals D         decimals of the results, 0 to 8, or "auto" (the
                       default: chosen from the smallest and largest result)
  --csv                with --table: print comma-separated values instead:
                       "# " and each heading line, a header row (x caption,
                       then "caption = value" per z value), one row per x
                       with an empty field where a point is not calculable;
                       lines end in CR LF
  --graph FILE         with or without --table, and with its --x and --z:
                       draw the results as curves, one per z value, into
                       FILE, a PNG or SVG picture or a PDF page by its
                       extension (.png, .svg, .pdf).  The headings of a
                       graph stand above the plot; the axis titles are the
                       captions of x, the unknown and z; the axes are scaled
                       automatically.  Writes nothing on standard output
                       (but the table when --table is given too).  A build
                       without Qt cannot draw: there --graph is bad usage
  --graph-size WxH     the picture's size in pixels, each 100 to 5000
                       (default 800x500); a PDF page keeps its shape
  --rtf                print the rich-text document (RTF) that Copy puts on
                       the clipboard instead of the text: the calculation's
                       output (the description centred, a rule, the
                       parameters two to a line, the halves separated by a
                       tab) or, with --table, the table; laid out for a
                       fixed-pitch font, in the output font.  Not with
                       --json, --describe or --csv
  --font NAME          the font of the graph and of --rtf (default Arial)
  --font-size N        its size in points, 1 to 72 (default 9)
  --help               print this text

Settings files:
  FILE.dim             (an argument whose name ends in ".dim", in any case)
                       open the settings file as File > Open File... does:
                       it is read and checked, its procedure, options,
                       values and roles are restored, and the result is
                       calculated again.  The file chooses the procedure:
                       --test, --distribution, --parameter, --kind,
                       --samples, --tails, --left-tail, --option and --mode
                       are bad usage beside it.  A Calculation window's file
                       is solved once and printed as text, --json or --rtf;
                       the range of a Table or Graph window's file is solved
                       with the file's x range and z values and its table
                       printed (as text, --csv or --rtf) with the file's
                       columns and decimals, or, with --graph FILE, drawn
                       with the file's graph titles, axes and font (and
                       printed as well with --table).  The heading lines a
                       Table's file keeps head its table, those of a Graph's
                       file its graph, unless --set, --unknown, --x or --z
                       change what they describe.  Beside the file, --set,
                       --unknown, --x, --z, --columns and --decimals take
                       the place of the file's values (an --unknown on the
                       file's x or z needs --x or --z too); --x, --z,
                       --table, --graph, --csv, --columns, --decimals and
                       --graph-size are bad usage for a Calculation window's
                       file, --json for a Table's or a Graph's.  --describe
                       prints the file's parameter list.  A file that
                       cannot be opened is reported on standard error
                       (status 5): one that cannot be read, is no settings
                       file of this program, holds a Monte Carlo window,
                       holds no parameter list, or whose settings do not
                       fit the procedure they select
  --save FILE.dim      after the calculation, save the window's settings to
                       FILE.dim as Save As does: the selection, options,
                       values (the unknown's as calculated), roles, x range
                       and z values, and for a table or graph its heading
                       lines, columns, decimals and (--graph) axis titles
                       and font.  A single solve is saved as a Calculation
                       window, --table as a Table, --graph as a Graph; an
                       opened file keeps its kind.  Nothing is saved when
                       the values are rejected (status 2) or no point of a
                       range can be calculated.  A Graph window keeps its
                       font size in whole points: there --font-size with
                       --graph and --save must be a whole number

Exit status:
  0  solved (and the graph file written, the settings file saved)
  1  bad usage (the message names the argument), or an unexpected failure
  2  a check or the range validation rejected the values, or no procedure
     module serves the selection yet; the message is on standard error
  3  solved but not calculable: "-", or a range for which the engine reports
     "Can't Be Calculated For Any x-value" (nothing is printed nor drawn),
     or a graph with "Insufficient resolution in the X direction !" (or Y),
     which is not written
  4  the graph file cannot be written; the reason is on standard error.
     Also: the settings file of --save cannot be written (the result is
     printed all the same)
  5  the settings file cannot be opened; the reason is on standard error
  With status 1, 2 or 5 nothing is written to standard output nor saved.

The engine's messages are written to standard error, each on its own line,
and with --json are also listed under "messages".
)";
  return text;
}

std::string JsonQuote(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string r = "\"";
  for (char c : text) {
    const auto u = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        r += "\\\"";
        break;
      case '\\':
        r += "\\\\";
        break;
      case '\n':
        r += "\\n";
        break;
      case '\r':
        r += "\\r";
        break;
      case '\t':
        r += "\\t";
        break;
      case '\b':
        r += "\\b";
        break;
      case '\f':
        r += "\\f";
        break;
      default:
        if (u < 0x20) {
          r += "\\u00";
          r += kHex[u >> 4];
          r += kHex[u & 0xF];
        } else {
          r += c;
        }
    }
  }
  return r + "\"";
}

namespace {

constexpr const char* kNoModuleMessage = "No procedure module is available for this selection yet.";

struct UsageError {
  std::string message;
};

[[noreturn]] void Usage(std::string message) { throw UsageError{std::move(message)}; }

// ---- Small text helpers ----------------------------------------------------

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

// The number of characters of a UTF-8 text (its width in a fixed-pitch font).
std::size_t Width(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(
      text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::string PadRight(std::string text, std::size_t width) {
  const std::size_t w = Width(text);
  if (w < width) text.append(width - w, ' ');
  return text;
}

std::string PadLeft(std::string text, std::size_t width) {
  const std::size_t w = Width(text);
  if (w < width) text.insert(0, width - w, ' ');
  return text;
}

// A non-negative whole number written with digits only.
bool ParseIndex(std::string_view text, int& value) {
  if (text.empty() || text.size() > 9) return false;
  if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) return false;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return true;
}

// The shortest text that reads back as the same value.
template <typename T>
std::string Shortest(T value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string JsonNumber(double value) { return std::isfinite(value) ? Shortest(value) : std::string("null"); }

// A typed number checked as the value boxes check it; a usage error names the
// argument and carries the window's message.
void CheckTypedNumber(const std::string& flag, const std::string& argument, std::string value) {
  RecordingUserInterface quiet;
  if (!CheckDigits(value, quiet))
    Usage(flag + " " + Quoted(argument) + ": malformed number: " + quiet.LastText());
}

// NAME=VALUE split at the last "=" (a caption may hold "=", a value never does).
std::pair<std::string, std::string> SplitAssignment(const std::string& flag, const std::string& argument,
                                                    const char* shape) {
  const auto eq = argument.rfind('=');
  if (eq == std::string::npos || eq == 0) Usage(flag + " " + Quoted(argument) + ": expected " + shape);
  return {argument.substr(0, eq), argument.substr(eq + 1)};
}

// ---- The command line ------------------------------------------------------

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
    {"--columns", true, false},    {"--decimals", true, false},
    {"--graph", true, false},      {"--graph-size", true, false},
    {"--font", true, false},       {"--font-size", true, false},
    {"--rtf", false, false},       {"--save", true, false},
    {"--help", false, false},
};

struct Assignment {
  std::string argument;  // as given, for messages
  std::string name;
  std::string value;
};

struct Range {
  std::string argument;
  std::string name;
  std::string min, max, step;
};

constexpr const char* kKindWords[3] = {"test", "estimate", "interval"};

struct Request {
  std::optional<std::string> test, distribution, parameter, unknown;
  std::optional<int> kind, samples, tails;
  bool leftTail = false;
  std::vector<std::string> options;
  std::vector<std::pair<int, int>> modes;
  std::vector<Assignment> sets;
  bool json = false, describe = false, list = false, table = false, csv = false, help = false;
  std::optional<Range> x;
  std::optional<Assignment> z;
  std::optional<std::int16_t> columns, decimals;
  std::optional<std::string> graph, font;
  std::optional<std::pair<int, int>> graphSize;
  std::optional<double> fontSize;
  bool rtf = false;
  // The settings file opened (a positional argument) and the one saved.
  std::optional<std::string> file, save;
};

// The table's limits.  A new window's record starts with ten z columns per
// block and the decimals chosen from the results.
constexpr std::int16_t kMaxColumns = 10;
constexpr std::int16_t kAutomaticDecimals = -1;
constexpr std::int16_t kMaxDecimals = 8;
// The graph's defaults and limits, in pixels and points.
constexpr int kDefaultGraphWidth = 800;
constexpr int kDefaultGraphHeight = 500;
constexpr int kMinGraphSide = 100;
constexpr int kMaxGraphSide = 5000;
constexpr double kMaxFontSize = 72;

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
  CheckTypedNumber("--z", value, text);
  // One blank between values, as the engine reads them.
  std::string collapsed;
  for (char c : Trim(text))
    if (c != ' ' || collapsed.empty() || collapsed.back() != ' ') collapsed += c;
  return {value, name, collapsed};
}

// The graph file's type, by its extension, must be one this build can write.
void CheckGraphFile(const std::string& path) {
#ifdef PELMORA_CLI_GRAPH
  const GraphFileType type = GraphFileTypeOf(path);
  if (type == GraphFileType::Unknown)
    Usage("--graph " + Quoted(path) + ": the file name must end in .png, .svg or .pdf");
  if (!CanExportGraphAs(type)) Usage("--graph " + Quoted(path) + ": this build cannot write SVG files");
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
  if (name == "--unknown") r.unknown = value;
  if (name == "--json") r.json = true;
  if (name == "--describe") r.describe = true;
  if (name == "--list") r.list = true;
  if (name == "--table") r.table = true;
  if (name == "--x") r.x = ParseRange(value);
  if (name == "--z") r.z = ParseZ(value);
  if (name == "--csv") r.csv = true;
  if (name == "--columns") r.columns = ParseColumns(value);
  if (name == "--decimals") r.decimals = ParseDecimals(value);
  if (name == "--graph") r.graph = value;
  if (name == "--graph-size") r.graphSize = ParseGraphSize(value);
  if (name == "--font") r.font = value;
  if (name == "--font-size") r.fontSize = ParseFontSize(value);
  if (name == "--rtf") r.rtf = true;
  if (name == "--save") r.save = value;
  if (name == "--help") r.help = true;
}

// True for the name of a settings file: it ends in ".dim", in any case.
bool IsSettingsFileName(std::string_view name) {
  return name.size() > 4 && Lower(name.substr(name.size() - 4)) == ".dim";
}

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
  if (!r.modes.empty()) given.push_back("--mode");
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

// The checks of the flags together, once it is known whether the result is a
// single solve or a range.  `xFromFile`: a settings file gives the x range, so
// that --x is not needed.
void CheckCombination(const Request& r, bool xFromFile) {
  CheckOutputFlags(r);
  const bool range = r.table || r.graph;
  if (int(r.json) + int(r.describe) + int(range) > 1)
    Usage("--json, --describe and --table or --graph exclude each other");
  if (r.csv && !r.table) Usage("--csv needs --table");
  for (const auto& [given, flag] :
       {std::pair{r.columns.has_value(), "--columns"}, std::pair{r.decimals.has_value(), "--decimals"}}) {
    if (given && !r.table) Usage(std::string(flag) + " needs --table");
    if (given && r.csv) Usage(std::string(flag) + " applies to the table text, not to --csv");
  }
  if (r.rtf && r.graph && !r.table)
    Usage("--rtf needs a printed result: --graph alone prints nothing (give --table too)");
  if (r.graphSize && !r.graph) Usage("--graph-size needs --graph");
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
  if (r.list) {
    if (args.size() > 1) Usage("--list takes no other argument");
    return r;
  }
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

// ---- Selection -------------------------------------------------------------

int MenuIndex(const std::string& flag, const std::string& value, const std::vector<std::string>& captions,
              const std::string& menu) {
  int index = 0;
  if (ParseIndex(value, index)) {
    if (index >= static_cast<int>(captions.size()))
      Usage(flag + " " + value + ": the " + menu + " menu has no item " + value + " (see --list)");
    if (captions[static_cast<std::size_t>(index)] == "-")
      Usage(flag + " " + value + ": item " + value + " of the " + menu + " menu is a separator (see --list)");
    return index;
  }
  const std::string key = Lower(Trim(RemoveAccelerator(value)));
  for (std::size_t i = 0; i < captions.size(); ++i)
    if (captions[i] != "-" && Lower(RemoveAccelerator(captions[i])) == key) return static_cast<int>(i);
  Usage(flag + " " + Quoted(value) + ": no such item in the " + menu + " menu (see --list)");
}

std::string SelectionName(const Session& s) {
  return s.IsTestProcedure != kFalse ? s.TestName : s.DistributionName;
}

// The offered option ids, for messages.
std::string OfferedOptions(const Session& s) {
  if (s.OptionCount == 0) return "none";
  std::string r;
  for (int k = 0; k < s.OptionCount; ++k) {
    const int id = s.OptionId[static_cast<std::size_t>(k)];
    r += (k > 0 ? ", " : "") + std::to_string(id) + " " +
         Quoted(RemoveAccelerator(OptionCaptions()[static_cast<std::size_t>(id)]));
  }
  return r;
}

std::string OfferedGroups(const Session& s) {
  if (s.IntParRowCount == 0) return "none";
  std::string r;
  for (int k = 0; k < s.IntParRowCount; ++k) r += (k > 0 ? ", " : "") + std::to_string(s.IntParRowGroup[k]);
  return r;
}

bool OptionOffered(const Session& s, int id) {
  for (int k = 0; k < s.OptionCount; ++k)
    if (s.OptionId[static_cast<std::size_t>(k)] == id) return true;
  return false;
}

int OptionIdOf(const Session& s, const std::string& value) {
  int id = 0;
  if (ParseIndex(value, id)) {
    if (id >= kOptionCount)
      Usage("--option " + value + ": option ids are 0 to " + std::to_string(kOptionCount - 1) +
            " (see --list)");
    return id;
  }
  const std::string key = Lower(Trim(RemoveAccelerator(value)));
  int found = -1;
  for (int k = 0; k < kOptionCount; ++k) {
    if (Lower(RemoveAccelerator(OptionCaptions()[static_cast<std::size_t>(k)])) != key) continue;
    if (found < 0 || OptionOffered(s, k)) found = k;
  }
  if (found < 0) Usage("--option " + Quoted(value) + ": no such option (see --list)");
  return found;
}

// The index of a distribution's parameter choice, given by index or text.
int ParameterChoiceOf(const Session& s, const std::string& value) {
  const std::vector<std::string>& choices = ParameterChoicesOf(s.DistributionIndex);
  const int count = static_cast<int>(choices.size());
  int k = 0;
  if (ParseIndex(value, k)) {
    if (k >= count)
      Usage("--parameter " + value + ": " + s.DistributionName + " has the parameter choices 0 to " +
            std::to_string(count - 1) + " (see --list)");
    return k;
  }
  for (k = 0; k < count; ++k)
    if (Lower(choices[static_cast<std::size_t>(k)]) == Lower(Trim(value))) return k;
  Usage("--parameter " + Quoted(value) + ": not a parameter choice of " + s.DistributionName +
        " (see --list)");
}

// Ticks the options, each followed by the rebuild, then sets the forms.
void ApplyOptionsAndForms(Dispatcher& d, const Request& r) {
  Session& s = d.session();
  std::vector<std::pair<std::string, int>> ticked;
  for (const std::string& o : r.options) {
    const int id = OptionIdOf(s, o);
    if (!OptionOffered(s, id))
      Usage("--option " + Quoted(o) + ": not offered here; the options offered are " + OfferedOptions(s));
    d.SetOption(id, true);
    ticked.emplace_back(o, id);
  }
  for (const auto& [o, id] : ticked)
    if (!s.optionChecked(id))
      Usage("--option " + Quoted(o) + " was cleared by a later option: the two exclude each other");

  for (const auto& [g, m] : r.modes) {
    const std::string arg = "--mode " + std::to_string(g) + "=" + std::to_string(m);
    bool offered = false;
    for (int k = 0; k < s.IntParRowCount; ++k) offered = offered || s.IntParRowGroup[k] == g;
    if (!offered)
      Usage(arg + ": group " + std::to_string(g) + " is not offered here; offered: " + OfferedGroups(s));
    if (ParameterGroups()[static_cast<std::size_t>(g)].forms[static_cast<std::size_t>(m)].empty())
      Usage(arg + ": group " + std::to_string(g) + " has no form " + std::to_string(m));
    d.SetForm(g, m);
  }
}

// Chooses the procedure and its options as the menus and the options dialog
// do, then builds the parameter list.  Returns false when no module serves the
// selection.
bool ApplySelection(Dispatcher& d, const Request& r) {
  Session& s = d.session();
  if (r.test) {
    d.SelectTest(MenuIndex("--test", *r.test, TestMenuCaptions(), "Test Procedures"));
  } else {
    d.SelectDistribution(
        MenuIndex("--distribution", *r.distribution, DistributionMenuCaptions(), "Sample Distributions"));
  }
  std::optional<int> choice;
  if (r.parameter) choice = ParameterChoiceOf(s, *r.parameter);
  if (d.Module() == nullptr) return false;

  // As a user goes through the dialog: what is studied and how first, since
  // they decide which samples and tails are offered.
  const std::string name = SelectionName(s);
  if (choice) d.SetParameterChoice(*choice);
  if (r.kind) {
    if (!s.dialog.procedureEnabled[static_cast<std::size_t>(*r.kind)])
      Usage("--kind: " + std::string(kProcedureCaptions[*r.kind]) + " is not offered by " + name);
    d.SetProcedureKind(*r.kind);
  }
  if (r.samples) {
    if (!s.dialog.samplesEnabled[static_cast<std::size_t>(*r.samples - 1)])
      Usage("--samples " + std::to_string(*r.samples) + ": not offered by " + name);
    d.SetSampleCount(*r.samples);
  }
  if (r.tails) {
    if (!s.dialog.tailsEnabled[static_cast<std::size_t>(*r.tails - 1)])
      Usage("--tails " + std::to_string(*r.tails) + ": not offered by " + name);
    d.SetTailCount(*r.tails);
  }
  if (r.leftTail) d.SetRejectInLeftTail(true);

  ApplyOptionsAndForms(d, r);
  d.ApplyOptions();

  // A later choice may have moved an earlier one to its fallback.
  if (r.samples && s.SampleCount != *r.samples)
    Usage("--samples " + std::to_string(*r.samples) + ": not offered with the other choices");
  if (r.tails && s.TailCount != *r.tails)
    Usage("--tails " + std::to_string(*r.tails) + ": not offered with the other choices");
  if (r.kind && s.ProcedureKind != *r.kind) Usage("--kind: not offered with the other choices");
  if (choice && s.ParameterChoice != *choice) Usage("--parameter: not offered with the other choices");
  if (r.leftTail && s.ProcedureKind != 0) Usage("--left-tail applies to a test only");
  return true;
}

// ---- Parameters --------------------------------------------------------------

std::string CaptionAt(const Session& s, int p) { return RemoveAccelerator(s.entryAt(p).ParamCaption); }

std::string Unstarred(std::string_view text) {
  std::string r;
  for (char c : text)
    if (c != '*') r += c;
  return Lower(Trim(r));
}

std::string ListedParameters(const Session& s) {
  std::string r;
  for (int p = 0; p <= s.LastPosition; ++p) {
    if (p == 1) continue;
    r += (r.empty() ? "" : ", ") + Quoted(CaptionAt(s, p)) + " (" + std::to_string(s.ParameterList[p]) + ")";
  }
  return r;
}

// The list position a NAME stands for (an id or a caption), never position 1.
int ResolveParameter(const Session& s, const std::string& flag, const std::string& name) {
  const std::string shown = flag + " " + Quoted(name);
  std::vector<int> found;
  // Position 1 has no value box; a parameter listed there and again further
  // down (the power of a test planned by power) is the one further down.
  auto collect = [&](auto&& matches) {
    found.clear();
    for (int p = 0; p <= s.LastPosition; ++p)
      if (matches(p)) found.push_back(p);
    if (found.size() > 1 && found.front() == 1 &&
        s.ParameterList[static_cast<std::size_t>(found[1])] == s.ParameterList[1])
      found.erase(found.begin());
  };
  int id = 0;
  if (ParseIndex(Trim(name), id)) {
    if (id >= kCatalogueSize) Usage(shown + ": catalogue ids are 0 to " + std::to_string(kCatalogueSize - 1));
    collect([&](int p) { return s.ParameterList[p] == id; });
    const std::string caption = RemoveAccelerator(s.entry(id).ParamCaption);
    if (found.empty() && !caption.empty()) collect([&](int p) { return CaptionAt(s, p) == caption; });
    if (found.empty())
      Usage(shown + ": id " + std::to_string(id) + (caption.empty() ? "" : " (" + caption + ")") +
            " is not listed here; the parameters are " + ListedParameters(s));
  } else {
    const std::string key = Lower(Trim(RemoveAccelerator(name)));
    collect([&](int p) { return Lower(CaptionAt(s, p)) == key; });
    if (found.empty()) collect([&](int p) { return Unstarred(CaptionAt(s, p)) == Unstarred(key); });
    if (found.empty())
      Usage(shown + ": no listed parameter has this caption; the parameters are " + ListedParameters(s));
    if (found.size() > 1) {
      std::string ids;
      for (int p : found) ids += (ids.empty() ? "" : ", ") + std::to_string(s.ParameterList[p]);
      Usage(shown + ": the caption names several parameters; give one of the ids " + ids);
    }
  }
  const int p = found.front();
  if (p == 1)
    Usage(shown + ": " + CaptionAt(s, 1) +
          " stands at position 1, which has no value box; it can be neither set, "
          "solved nor stepped");
  return p;
}

// ---- Output ------------------------------------------------------------------

void WriteDescribe(const Session& s, std::ostream& out) {
  for (int p = 0; p <= s.LastPosition; ++p) {
    if (p == 1) continue;
    out << p << '\t' << s.ParameterList[p] << '\t' << CaptionAt(s, p) << '\t' << s.entryAt(p).ParamText
        << '\n';
  }
}

void WriteCalculationText(const Session& s, std::ostream& out) {
  std::size_t labelWidth = 0;
  for (int p = 0; p <= s.LastPosition; ++p)
    if (p != 1) labelWidth = std::max(labelWidth, Width(CaptionAt(s, p)) + 1);
  std::vector<std::string> lines;
  for (int p = 0; p <= s.LastPosition; ++p)
    if (p != 1) lines.push_back(PadRight(CaptionAt(s, p) + ":", labelWidth) + " " + s.entryAt(p).ParamText);
  std::size_t rule = Width(s.Description);
  for (const std::string& l : lines) rule = std::max(rule, Width(l));
  out << s.Description << '\n' << std::string(rule, '-') << '\n';
  for (const std::string& l : lines) out << l << '\n';
}

void WriteCalculationJson(const Session& s, bool solved, const std::vector<std::string>& messages,
                          std::ostream& out) {
  const int u = s.UnknownPosition;
  auto valueAt = [&](int p) { return p == u && !solved ? std::string("null") : JsonNumber(s.value(p)); };
  out << "{\"description\": " << JsonQuote(s.Description) << ", \"unknown\": {\"id\": " << s.ParameterList[u]
      << ", \"caption\": " << JsonQuote(CaptionAt(s, u)) << ", \"value\": " << valueAt(u)
      << ", \"text\": " << JsonQuote(s.entryAt(u).ParamText) << "}, \"parameters\": [";
  bool first = true;
  for (int p = 0; p <= s.LastPosition; ++p) {
    if (p == 1) continue;
    out << (first ? "" : ", ") << "{\"position\": " << p << ", \"id\": " << s.ParameterList[p]
        << ", \"caption\": " << JsonQuote(CaptionAt(s, p))
        << ", \"text\": " << JsonQuote(s.entryAt(p).ParamText) << ", \"value\": " << valueAt(p) << "}";
    first = false;
  }
  out << "], \"messages\": [";
  for (std::size_t i = 0; i < messages.size(); ++i) out << (i > 0 ? ", " : "") << JsonQuote(messages[i]);
  out << "]}\n";
}

void WriteList(std::ostream& out) {
  RecordingUserInterface quiet;
  Session s(quiet);
  Dispatcher d(s);
  auto marker = [&] { return d.Module() == nullptr ? "  (no module yet)" : ""; };
  auto index = [](std::size_t i) { return PadLeft(std::to_string(i), 4) + "  "; };
  out << "Test Procedures (--test):\n";
  const auto& tests = TestMenuCaptions();
  for (std::size_t i = 0; i < tests.size(); ++i) {
    if (!d.SelectTest(static_cast<int>(i))) continue;
    out << index(i) << RemoveAccelerator(tests[i]) << marker() << '\n';
  }
  out << "\nSample Distributions (--distribution), with their parameter choices (--parameter):\n";
  const auto& distributions = DistributionMenuCaptions();
  for (std::size_t i = 0; i < distributions.size(); ++i) {
    if (!d.SelectDistribution(static_cast<int>(i))) continue;
    out << index(i) << RemoveAccelerator(distributions[i]) << marker() << '\n';
    const auto& choices = ParameterChoicesOf(static_cast<int>(i));
    for (std::size_t k = 0; k < choices.size(); ++k) out << "      " << index(k) << choices[k] << '\n';
  }
  out << "\nOptions (--option):\n";
  for (std::size_t i = 0; i < OptionCaptions().size(); ++i)
    out << index(i) << RemoveAccelerator(OptionCaptions()[i]) << '\n';
  out << "\nInterchangeable-parameter groups and their forms (--mode G=M):\n";
  for (std::size_t g = 0; g < ParameterGroups().size(); ++g) {
    const ParameterGroup& group = ParameterGroups()[g];
    std::string line = index(g) + (group.rowLabel.empty() ? "" : group.rowLabel + ": ");
    for (std::size_t m = 0; m < group.forms.size(); ++m)
      if (!group.forms[m].empty()) line += (m > 0 ? ", " : "") + std::to_string(m) + " " + group.forms[m];
    out << line << '\n';
  }
}

// ---- The window the command line stands for --------------------------------

constexpr const char* kKindNames[3] = {"Calculation", "Table", "Graph"};

// A single solve stands for a Calculation window, --table for a Table and
// --graph for a Graph (which shows its table too).
WindowKind WindowKindOf(const Request& r) {
  return r.graph ? WindowKind::Graph : r.table ? WindowKind::Table : WindowKind::Calculation;
}

// The x and z roles off the unknown, off position 1 and off each other, moved
// to the first free positions with a value box where they are not, so that
// the roles a window record keeps are those a settings file may hold.
void KeepAxesApart(Session& s) {
  auto place = [&](std::int16_t& role, int other) {
    if (role != 1 && role <= s.LastPosition && role != s.UnknownPosition && role != other) return;
    for (int p = 0; p <= s.LastPosition; ++p) {
      if (p == 1 || p == s.UnknownPosition || p == other) continue;
      role = static_cast<std::int16_t>(p);
      return;
    }
  };
  place(s.XPosition, s.ZPosition);
  place(s.ZPosition, s.XPosition);
}

// The heading lines a window record keeps; none when every line is empty.
std::optional<std::vector<std::string>> KeptHeadings(const WindowSettings& w) {
  std::vector<std::string> lines = RecordHeadings(w);
  if (std::all_of(lines.begin(), lines.end(), [](const std::string& l) { return l.empty(); }))
    return std::nullopt;
  return lines;
}

// A settings file keeps the font size of a graph as whole points.
void CheckSavedFontSize(const Request& r, WindowKind kind) {
  if (r.save && r.graph && kind == WindowKind::Graph && r.fontSize && *r.fontSize != std::floor(*r.fontSize))
    Usage("--font-size " + Shortest(*r.fontSize) +
          ": a settings file keeps the graph's font size in whole points; give a whole number with --save");
}

// The checks of the flags beside a settings file that holds a window of
// `kind`, and the request they make: a Table or Graph prints its table unless
// --graph alone draws it.
Request FileRequest(const Request& r, WindowKind kind) {
  const std::string holds = "the file " + Quoted(*r.file) + " holds the settings of a " +
                            kKindNames[static_cast<int>(kind)] + " window";
  Request e = r;
  if (kind == WindowKind::Calculation) {
    for (const auto& [given, flag] :
         {std::pair{r.table, "--table"}, std::pair{r.graph.has_value(), "--graph"},
          std::pair{r.x.has_value(), "--x"}, std::pair{r.z.has_value(), "--z"}, std::pair{r.csv, "--csv"},
          std::pair{r.columns.has_value(), "--columns"}, std::pair{r.decimals.has_value(), "--decimals"},
          std::pair{r.graphSize.has_value(), "--graph-size"}})
      if (given) Usage(std::string(flag) + " applies to a Table or a Graph; " + holds);
    CheckCombination(e, false);
  } else {
    if (r.json) Usage("--json applies to a single calculation; " + holds);
    if (!r.describe && !r.graph) e.table = true;
    CheckCombination(e, true);
  }
  CheckSavedFontSize(e, kind);
  return e;
}

// ---- The actions ---------------------------------------------------------------

// The width of a text in a fixed-pitch font: one unit per character.
double CharacterWidth(std::string_view text) { return static_cast<double>(Width(text)); }

// The output font of --rtf: Arial 9 unless --font or --font-size say
// otherwise.
OutputFont OutputFontOf(const Request& r) {
  OutputFont font;
  if (r.font) font.name = *r.font;
  if (r.fontSize) font.size = Shortest(*r.fontSize);
  return font;
}

int Solve(Dispatcher& d, const Request& r, const CliUserInterface& ui, std::ostream& out) {
  Session& s = d.session();
  s.ResultsCurrent = false;
  const SingleOutcome outcome = CalculateSingle(d);
  if (outcome == SingleOutcome::Rejected) return kExitRejected;
  if (outcome != SingleOutcome::Solved && outcome != SingleOutcome::NotCalculable)
    throw std::logic_error("the calculation did not run");
  const bool solved = outcome == SingleOutcome::Solved;
  if (r.json)
    WriteCalculationJson(s, solved, ui.messages(), out);
  else if (r.rtf)
    out << RichTextOf(CalculationOutputText(s, CharacterWidth), OutputFontOf(r));
  else
    WriteCalculationText(s, out);
  return solved ? kExitSolved : kExitNotCalculable;
}

// The table as the record's columns and decimals lay it out, one measuring
// unit per character: as text, or as a rich-text document.
std::string TableText(const Session& s, const TableContent& content, const WindowSettings& record,
                      const Request& r) {
  if (!r.rtf) return TableFixedWidthText(content, record.TableDecimals, record.TableColumns);
  std::int16_t decimals = record.TableDecimals;
  return RichTextOf(TableOutputText(s, decimals, record.TableColumns, CharacterWidth, 1), OutputFontOf(r));
}

// The settings the graph is drawn with: the record's titles, axes and font,
// the axis titles following the roles, the font of --font and --font-size.  A
// Graph record keeps them.
WindowSettings GraphLook(const Session& s, const Request& r, WindowSettings& record) {
  WindowSettings look = record;
  TitleAxesByRoles(s, look);
  if (r.font) look.fontName = *r.font;
  if (r.fontSize) look.fontSize = Shortest(*r.fontSize);
  if (record.kind == static_cast<std::int16_t>(WindowKind::Graph)) {
    record.graphTexts = look.graphTexts;
    record.fontName = look.fontName;
    record.fontSize = look.fontSize;
  }
  return look;
}

#ifdef PELMORA_CLI_GRAPH
// A QGuiApplication for the drawing while the process has none, on the
// offscreen platform unless another one is named, so that no display is
// needed.  It and the platform setting are gone afterwards.
class DrawingApplication {
 public:
  DrawingApplication() {
    if (QCoreApplication::instance() != nullptr) return;
    // Qt's own notes (a missing runtime folder, font substitutions) would
    // only clutter the error stream of a script; its failures still pass.
    previousHandler_ = qInstallMessageHandler(DropNotes);
    handlerSet_ = true;
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
      qputenv("QT_QPA_PLATFORM", "offscreen");
      platformSet_ = true;
    }
    app_ = std::make_unique<QGuiApplication>(argc_, argv_);
  }
  ~DrawingApplication() {
    app_.reset();
    if (platformSet_) qunsetenv("QT_QPA_PLATFORM");
    if (handlerSet_) qInstallMessageHandler(previousHandler_);
  }
  DrawingApplication(const DrawingApplication&) = delete;
  DrawingApplication& operator=(const DrawingApplication&) = delete;

  // False when the process runs an application that cannot draw.
  bool CanDraw() const { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

 private:
  int argc_ = 1;
  char name_[12] = "pelmora-cli";
  char* argv_[2] = {name_, nullptr};
  bool platformSet_ = false;
  bool handlerSet_ = false;
  std::unique_ptr<QGuiApplication> app_;

  static inline QtMessageHandler previousHandler_ = nullptr;
  static void DropNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
      if (previousHandler_ != nullptr)
        previousHandler_(type, context, message);
      else
        std::fputs((message.toLocal8Bit() + '\n').constData(), stderr);
    }
  }
};

// Draws the range results into the file of --graph.
int DrawGraph(const WindowSettings& look, const Request& r, const TableContent& content, CliUserInterface& ui,
              std::ostream& err) {
  const GraphAppearance a = GraphAppearanceOf(look);
  const auto [width, height] = r.graphSize.value_or(std::pair{kDefaultGraphWidth, kDefaultGraphHeight});
  const QSize size(width, height);

  DrawingApplication app;
  if (!app.CanDraw()) {
    err << "pelmora-cli: --graph: the graph cannot be drawn in a process without a graphics application\n";
    return kExitWriteFailed;
  }
  {
    // An axis without width is reported as the Graph window reports it, and
    // there is nothing to draw.  The painter only lends the font's metrics.
    QImage probe(1, 1, QImage::Format_RGB32);
    QPainter painter(&probe);
    const PlotOutcome outcome =
        ArrangePlot(painter, PlotTarget{QRectF(QPointF(0, 0), QSizeF(size)), 0}, a, content).outcome;
    if (outcome == PlotOutcome::NoXResolution || outcome == PlotOutcome::NoYResolution) {
      ui.ShowMessage(outcome == PlotOutcome::NoXResolution ? kNoXResolution : kNoYResolution, kProgramTitle,
                     MessageIcon::Information);
      return kExitNotCalculable;
    }
  }
  std::string error;
  if (!ExportGraph(*r.graph, content, a, size, error)) {
    err << "pelmora-cli: --graph: " << error << '\n';
    return kExitWriteFailed;
  }
  return kExitSolved;
}
#endif

// The roles of a range given on the command line: x and its range from --x, z
// and its values from --z or the first position left.
void PlaceRangeRoles(Session& s, const Request& r) {
  const int x = ResolveParameter(s, "--x", r.x->name);
  if (x == s.UnknownPosition) Usage("--x " + Quoted(r.x->argument) + ": x cannot be the unknown");
  int z = -1;
  if (r.z) {
    z = ResolveParameter(s, "--z", r.z->name);
    if (z == s.UnknownPosition) Usage("--z " + Quoted(r.z->argument) + ": z cannot be the unknown");
    if (z == x) Usage("--z " + Quoted(r.z->argument) + ": z cannot be the x parameter");
  } else {
    for (int p = 2; p <= s.LastPosition && z < 0; ++p)
      if (p != s.UnknownPosition && p != x) z = p;
    if (z < 0) Usage("--x " + Quoted(r.x->argument) + ": no parameter is left for z");
  }
  CatalogueEntry& xEntry = s.entryAt(x);
  xEntry.TableMin = r.x->min;
  xEntry.TableMax = r.x->max;
  xEntry.TableStep = r.x->step;
  if (r.z) s.entryAt(z).ZValueText = r.z->value;
  s.XPosition = static_cast<std::int16_t>(x);
  s.ZPosition = static_cast<std::int16_t>(z);
}

// The roles of a range read from a settings file, with --x and --z in place
// of the file's x and z.  Roles that a flag moved must stay apart.
void PlaceFileRangeRoles(Session& s, const Request& r) {
  int x = s.XPosition;
  int z = s.ZPosition;
  if (r.x) {
    x = ResolveParameter(s, "--x", r.x->name);
    CatalogueEntry& xEntry = s.entryAt(x);
    xEntry.TableMin = r.x->min;
    xEntry.TableMax = r.x->max;
    xEntry.TableStep = r.x->step;
  }
  if (r.z) {
    z = ResolveParameter(s, "--z", r.z->name);
    s.entryAt(z).ZValueText = r.z->value;
  }
  if (r.unknown || r.x || r.z) {
    const std::string file = Quoted(*r.file);
    if (x == s.UnknownPosition)
      Usage(r.x ? "--x " + Quoted(r.x->argument) + ": x cannot be the unknown"
                : "--unknown " + Quoted(*r.unknown) + ": it is the x parameter of " + file +
                      "; give --x too");
    if (z == s.UnknownPosition)
      Usage(r.z ? "--z " + Quoted(r.z->argument) + ": z cannot be the unknown"
                : "--unknown " + Quoted(*r.unknown) + ": it is the z parameter of " + file +
                      "; give --z too");
    if (z == x)
      Usage(r.z ? "--z " + Quoted(r.z->argument) + ": z cannot be the x parameter"
                : "--x " + Quoted(r.x->argument) + ": it is the z parameter of " + file + "; give --z too");
  }
  s.XPosition = static_cast<std::int16_t>(x);
  s.ZPosition = static_cast<std::int16_t>(z);
}

// Solves over the range of the x and z roles and prints the table, writes the
// graph, or both.  The record of the window takes the heading lines of its
// kind and, for a Graph, the titles and font it was drawn with.
// `keepHeadings`: the record's own heading lines stand for its kind (an
// opened file whose values and roles are unchanged), as the window shows them.
int RunRange(Dispatcher& d, const Request& r, WindowSettings& record, bool keepHeadings, CliUserInterface& ui,
             std::ostream& out, [[maybe_unused]] std::ostream& err) {
  Session& s = d.session();
  s.ResultsCurrent = false;
  s.CalcStopped = false;
  ReadParameterValues(s);
  // A graph is headed without the line that names y, x and z.
  BuildRangeHeadings(s, false);
  std::vector<std::string> graphHeadings = s.RangeHeadings;
  BuildRangeHeadings(s, true);
  const auto kind = static_cast<WindowKind>(record.kind);
  if (const auto kept = keepHeadings ? KeptHeadings(record) : std::nullopt) {
    if (kind == WindowKind::Table) s.RangeHeadings = *kept;
    if (kind == WindowKind::Graph) graphHeadings = *kept;
  }
  KeepHeadings(record, kind == WindowKind::Graph ? graphHeadings : s.RangeHeadings);

  const RangeOutcome outcome = CalculateRange(d);
  if (outcome == RangeOutcome::Invalid || outcome == RangeOutcome::Rejected) return kExitRejected;
  // The window keeps its earlier content: there is nothing to show.
  if (outcome == RangeOutcome::NothingCalculable) return kExitNotCalculable;
  if (outcome != RangeOutcome::Done) throw std::logic_error("the range calculation did not run");

  TableContent content = TableContentOf(s);
  if (r.table) out << (r.csv ? TableCsv(content) : TableText(s, content, record, r));
  if (!r.graph) return kExitSolved;
  content.headings = graphHeadings;
  [[maybe_unused]] const WindowSettings look = GraphLook(s, r, record);
#ifdef PELMORA_CLI_GRAPH
  return DrawGraph(look, r, content, ui, err);
#else
  (void)ui;
  throw std::logic_error("this build cannot draw graphs");
#endif
}

// --save: the window's settings, stored as they stand after the calculation,
// written as Save As writes them.  Nothing is saved after a refusal, nor
// while the results are not current (no point of a range was calculable).
int SaveSettings(Session& s, const Request& r, int status, std::ostream& err) {
  if (!r.save || status == kExitRejected) return status;
  if (!s.ResultsCurrent) {
    err << "pelmora-cli: --save: " << Quoted(*r.save) << " is not written: the window has no results\n";
    return status;
  }
  StoreWindowSettings(s);
  return WriteSettingsFile(s, *r.save) ? status : kExitWriteFailed;
}

// The table's columns and decimals of the command line, kept by the record.
void KeepTableSettings(WindowSettings& record, const Request& r) {
  if (r.columns) record.TableColumns = *r.columns;
  if (r.decimals) record.TableDecimals = *r.decimals;
}

void SetValues(Session& s, const Request& r) {
  for (const Assignment& a : r.sets) s.entryAt(ResolveParameter(s, "--set", a.name)).ParamText = a.value;
}

// A procedure chosen on the command line, in a window of the kind its action
// asks for.
int RunDirect(Dispatcher& d, const Request& r, CliUserInterface& ui, std::ostream& out, std::ostream& err) {
  Session& s = d.session();
  const WindowKind kind = WindowKindOf(r);
  CheckSavedFontSize(r, kind);
  OpenWindowRecord(s, kind);
  if (!ApplySelection(d, r)) {
    err << kNoModuleMessage << '\n';
    return kExitRejected;
  }
  SetValues(s, r);
  s.UnknownPosition = static_cast<std::int16_t>(r.unknown ? ResolveParameter(s, "--unknown", *r.unknown) : 0);
  KeepAxesApart(s);
  if (r.describe) {
    WriteDescribe(s, out);
    return kExitSolved;
  }
  if (kind == WindowKind::Calculation) return SaveSettings(s, r, Solve(d, r, ui, out), err);
  PlaceRangeRoles(s, r);
  WindowSettings& record = *ActiveWindowRecord(s);
  KeepTableSettings(record, r);
  return SaveSettings(s, r, RunRange(d, r, record, false, ui, out, err), err);
}

// A settings file opened as File > Open File... opens it: read and checked,
// applied as a new window of its kind, then recomputed with the values and
// roles of the command line in place of the file's.
int RunFile(Dispatcher& d, const Request& given, CliUserInterface& ui, std::ostream& out, std::ostream& err) {
  Session& s = d.session();
  const std::string& path = *given.file;
  const std::optional<WindowSettings> read = ReadSettingsFile(s, path);
  if (!read) return kExitFileRefused;
  const auto kind = static_cast<WindowKind>(read->kind);
  const Request r = FileRequest(given, kind);
  if (ApplySettingsRecord(d, *read, path) == 0) return kExitFileRefused;
  WindowSettings& record = *ActiveWindowRecord(s);

  SetValues(s, r);
  if (r.unknown) {
    s.UnknownPosition = static_cast<std::int16_t>(ResolveParameter(s, "--unknown", *r.unknown));
    if (kind == WindowKind::Calculation) KeepAxesApart(s);
  }
  if (r.describe) {
    WriteDescribe(s, out);
    return kExitSolved;
  }
  if (kind == WindowKind::Calculation) return SaveSettings(s, r, Solve(d, r, ui, out), err);
  PlaceFileRangeRoles(s, r);
  KeepTableSettings(record, r);
  const bool unchanged = r.sets.empty() && !r.unknown && !r.x && !r.z;
  return SaveSettings(s, r, RunRange(d, r, record, unchanged, ui, out, err), err);
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (std::find(args.begin(), args.end(), "--help") != args.end()) {
    out << CliHelpText();
    return kExitSolved;
  }
  const Request r = ParseArguments(args);
  if (r.help) {
    out << CliHelpText();
    return kExitSolved;
  }
  if (r.list) {
    WriteList(out);
    return kExitSolved;
  }
  CliUserInterface ui(err);
  Session s(ui);
  Dispatcher d(s);
  return r.file ? RunFile(d, r, ui, out, err) : RunDirect(d, r, ui, out, err);
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  try {
    return Run(args, out, err);
  } catch (const UsageError& e) {
    err << "pelmora-cli: " << e.message << '\n';
  } catch (const std::exception& e) {
    err << "pelmora-cli: unexpected failure: " << e.what() << '\n';
  } catch (...) {
    err << "pelmora-cli: unexpected failure\n";
  }
  return kExitUsage;
}

}  // namespace pelmora
