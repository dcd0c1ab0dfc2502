#include "cli/cli.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <utility>

#include "cli/arguments.h"
#include "cli/batch.h"
#include "cli/graph_drawing.h"
#include "cli/output.h"
#include "engine/calculation.h"
#include "output/range_headings.h"
#include "format/number_entry.h"
#include "output/output_text.h"
#include "output/table_export.h"
#include "output/table_layout.h"
#include "session/axis_roles.h"
#include "session/catalogue.h"
#include "engine/dispatch.h"
#include "session/menus.h"
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
    if (IsPlanByPower(o)) continue;
    const int id = OptionIdOf(s, o);
    if (!OptionOffered(s, id))
      Usage("--option " + Quoted(o) + ": not offered here; the options offered are " + OfferedOptions(s));
    d.SetOption(id, true);
    ticked.emplace_back(o, id);
  }
  for (const auto& [o, id] : ticked)
    if (!s.optionChecked(id))
      Usage("--option " + Quoted(o) + " was cleared by a later option: the two exclude each other");

  const bool byPower =
      r.power || std::any_of(r.options.begin(), r.options.end(), [](const std::string& o) { return IsPlanByPower(o); });
  if (byPower) {
    const std::string arg = r.power ? "--power" : "--option " + Quoted(kPlanByPowerCaption);
    if (!s.dialog.planByPowerOffered)
      Usage(arg + ": planning by power applies to a test only (a test procedure, or --kind test)");
    d.SetPlanByPower(true);
  }

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
          "solved nor stepped" +
          (s.ParameterList[1] == param::Power
               ? std::string(" (planned by power, with --option ") + Quoted(kPlanByPowerCaption) +
                     " or --power P, a test lists it beneath the P-value)"
               : std::string()));
  return p;
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

int Solve(Dispatcher& d, const Request& r, const CliUserInterface& ui, std::ostream& out, std::ostream& err) {
  Session& s = d.session();
  s.ResultsCurrent = false;
  SolveOutcome solve;
  const SingleOutcome outcome = CalculateSingle(d, &solve);
  if (outcome == SingleOutcome::Rejected) return kExitRejected;
  if (outcome != SingleOutcome::Solved && outcome != SingleOutcome::NotCalculable)
    throw std::logic_error("the calculation did not run");
  const bool solved = outcome == SingleOutcome::Solved;
  // Why there is no value, or how a step or a limit was found.
  if (!s.ResultRemark.empty()) err << "pelmora-cli: " << s.ResultRemark << '\n';
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
    if (kind == WindowKind::Calculation) KeepAxesApart(s);
  }
  if (r.describe) {
    WriteDescribe(s, out);
    return kExitSolved;
  }
  if (kind == WindowKind::Calculation) return SaveSettings(s, r, Solve(d, r, ui, out, err), err);
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
