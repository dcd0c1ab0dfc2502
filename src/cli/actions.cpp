#include "cli/cli.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <iostream>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "cli/arguments.h"
#include "cli/batch.h"
#include "cli/graph_drawing.h"
#include "cli/output.h"
#include "cli/selection.h"
#include "cli/simulation_output.h"
#include "engine/calculation.h"
#include "output/range_headings.h"
#include "format/number_entry.h"
#include "output/output_text.h"
#include "output/table_export.h"
#include "output/table_layout.h"
#include "session/axis_roles.h"
#include "engine/dispatch.h"
#include "session/session.h"
#include "engine/settings_apply.h"
#include "session/settings_file.h"
#include "session/window_records.h"

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

namespace cli {
namespace {

constexpr const char* kNoModuleMessage = "No procedure module is available for this selection yet.";

// ---- The window the command line stands for --------------------------------

constexpr const char* kKindNames[4] = {"Calculation", "Table", "Graph", "Monte Carlo"};

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

// A Calculation window and a Monte Carlo window (whose design is solved as a
// calculation; --simulate simulates it) hold one calculation.
bool IsSingleCalculation(WindowKind kind) {
  return kind == WindowKind::Calculation || kind == WindowKind::MonteCarlo;
}

// The checks of the flags beside a settings file that holds a window of
// `kind`, and the request they make: a Table or Graph prints its table unless
// --graph alone draws it.
Request FileRequest(const Request& r, WindowKind kind) {
  const std::string holds = "the file " + Quoted(*r.file) + " holds the settings of a " +
                            kKindNames[static_cast<int>(kind)] + " window";
  Request e = r;
  if (IsSingleCalculation(kind)) {
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

int Solve(Dispatcher& d, const Request& r, const CliUserInterface& ui, std::ostream& out, std::ostream& err) {
  Session& s = d.session();
  s.ResultsCurrent = false;
  if (r.dropout) s.planning.ExpectedDropout = *r.dropout;
  SolveOutcome solve;
  const SingleOutcome outcome = CalculateSingle(d, &solve);
  if (outcome == SingleOutcome::Rejected) return kExitRejected;
  if (outcome != SingleOutcome::Solved && outcome != SingleOutcome::NotCalculable)
    throw std::logic_error("the calculation did not run");
  const bool solved = outcome == SingleOutcome::Solved;
  // Why there is no value, or how a step or a limit was found.
  if (!s.ResultRemark.empty()) err << "pelmora-cli: " << s.ResultRemark << '\n';
  if (r.simulate && solved) {
    std::ostringstream calculation;
    if (r.json)
      WriteCalculationJson(s, solve, ui.messages(), calculation);
    else
      WriteCalculationText(s, out);
    return SimulateSolved(d, r, calculation.str(), out, err);
  }
  if (r.json)
    WriteCalculationJson(s, solve, ui.messages(), out);
  else if (r.rtf)
    out << RichTextOf(CalculationOutputText(s, CharacterWidth), OutputFontOf(r));
  else
    WriteCalculationText(s, out);
  return solved ? kExitSolved : kExitNotCalculable;
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
  if (r.whole) s.planning.TableWholeSizes = kTrue;

  const RangeOutcome outcome = CalculateRange(d);
  if (outcome == RangeOutcome::Invalid || outcome == RangeOutcome::Rejected) return kExitRejected;
  // The window keeps its earlier content: there is nothing to show.
  if (outcome == RangeOutcome::NothingCalculable) return kExitNotCalculable;
  if (outcome != RangeOutcome::Done) throw std::logic_error("the range calculation did not run");
  if (!s.RangeSummary.empty()) err << "pelmora-cli: " << s.RangeSummary << '\n';

  TableContent content = TableContentOf(s);
  if (r.table && r.json)
    WriteTableJson(s, content, ui.messages(), out);
  else if (r.table)
    out << (r.csv ? TableCsv(content) : TableText(s, content, record, r));
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

// Each parameter is set once: two of its names (an id and a caption) would
// let the later value silently win.
void SetValues(Session& s, const Request& r) {
  auto shown = [](const Assignment& a) {
    return a.argument.rfind("--", 0) == 0 ? a.argument : "--set " + Quoted(a.argument);
  };
  std::vector<const Assignment*> setBy(static_cast<std::size_t>(s.LastPosition) + 1, nullptr);
  for (const Assignment& a : r.sets) {
    const int p = ResolveParameter(s, "--set", a.name);
    if (const Assignment* first = setBy[static_cast<std::size_t>(p)])
      Usage(shown(a) + ": " + CaptionAt(s, p) + " (" + std::to_string(s.ParameterList[p]) +
            ") is set twice, also by " + shown(*first));
    setBy[static_cast<std::size_t>(p)] = &a;
    s.entryAt(p).ParamText = a.value;
  }
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
  if (kind == WindowKind::Calculation) return SaveSettings(s, r, Solve(d, r, ui, out, err), err);
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
    if (IsSingleCalculation(kind)) KeepAxesApart(s);
  }
  if (r.describe) {
    WriteDescribe(s, out);
    return kExitSolved;
  }
  if (IsSingleCalculation(kind)) return SaveSettings(s, r, Solve(d, r, ui, out, err), err);
  PlaceFileRangeRoles(s, r);
  KeepTableSettings(record, r);
  const bool unchanged = r.sets.empty() && !r.unknown && !r.x && !r.z;
  return SaveSettings(s, r, RunRange(d, r, record, unchanged, ui, out, err), err);
}

int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
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
  if (r.batch) return RunBatch(in, out);
  CliUserInterface ui(err);
  Session s(ui);
  Dispatcher d(s);
  return r.file ? RunFile(d, r, ui, out, err) : RunDirect(d, r, ui, out, err);
}

}  // namespace
}  // namespace cli

int RunCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err) {
  try {
    return cli::Run(args, in, out, err);
  } catch (const cli::UsageError& e) {
    err << "pelmora-cli: " << e.message << '\n';
  } catch (const std::exception& e) {
    err << "pelmora-cli: unexpected failure: " << e.what() << '\n';
  } catch (...) {
    err << "pelmora-cli: unexpected failure\n";
  }
  return kExitUsage;
}

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  return RunCli(args, std::cin, out, err);
}

}  // namespace pelmora
