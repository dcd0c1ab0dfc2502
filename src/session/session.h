// The session state: what is being planned (the selection, its options, the
// parameter list with its values and roles), the catalogue values that persist
// across selections, the records of the result windows, and the flags of a
// running calculation.  One Session is passed by reference to everything that
// reads or changes it; two sessions never share state.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "grid/grid_table.h"
#include "numeric/platform.h"
#include "session/catalogue.h"
#include "session/catalogue_values.h"
#include "session/design_power.h"
#include "session/planning_settings.h"
#include "session/solve_outcome.h"
#include "session/user_interface.h"

namespace pelmora {

inline constexpr int kMaxPosition = 12;  // list positions 0..12
inline constexpr int kPositionCount = kMaxPosition + 1;
inline constexpr int kHeadingCount = 16;

using ParameterValueArray = std::array<double, kPositionCount>;

enum class WindowKind : std::int16_t { Calculation = 0, Table = 1, Graph = 2, MonteCarlo = 3 };

// The settings of one result window, in the field order of a settings file.
struct WindowSettings {
  std::int16_t kind = 0;
  std::int16_t number = 0;
  std::string title;
  Flag IsTestProcedure = kFalse;
  std::int16_t TestIndex = 0;
  std::string TestName;
  std::int16_t DistributionIndex = 0;
  std::string DistributionName;
  std::int16_t SampleCount = 2;
  std::int16_t TailCount = 2;
  Flag RejectInLeftTail = kFalse;
  std::int16_t ParameterChoice = 0;
  std::int16_t ProcedureKind = 0;
  std::int16_t InterimCount = 0;
  std::int16_t IntParRowCount = 0;
  std::array<std::int16_t, 4> IntParRowGroup{};
  std::array<std::int16_t, kGroupCount> IntParMode{};
  std::int16_t OptionCount = 0;
  std::array<std::int16_t, 3> OptionId{};
  std::array<std::int16_t, kOptionCount> OptionState{};
  std::int16_t UnknownPosition = 0;
  std::int16_t XPosition = 2;
  std::int16_t ZPosition = 3;
  std::int16_t xId = 0;
  std::int16_t zId = 0;
  std::string xMin;
  std::string xMax;
  std::string xStep;
  std::string zValues;
  std::int16_t LastPosition = 0;
  std::array<std::string, kPositionCount> valueTexts;
  // Appearance of a table or graph.
  std::int16_t lastHeading = 0;
  std::array<std::string, kHeadingCount> headings;
  std::array<std::string, 4> graphTexts;
  std::array<std::string, 4> axisTexts;
  std::string extraText;
  std::string fontName = "Arial";
  std::string fontSize = "9";
  Flag fontBold = kFalse;
  std::int16_t TableColumns = 10;
  std::int16_t TableDecimals = -1;
  // A test planned by power (see Session::PlanByPower).
  Flag PlanByPower = kFalse;
  // Interim analyses, dropout and simulation (kept after PlanByPower).
  PlanningSettings planning;

  // Bookkeeping of the session, not part of a settings file.
  bool WindowChanged = false;
  bool WindowClosed = false;
  // A Calculation window: why its result is "-", or how it was found, and
  // the power of its solved design.
  std::string resultRemark;
  DesignPower designPower;
  // The catalogue ids typed into this window, the latest last.
  std::vector<std::int16_t> typedIds;

  bool operator==(const WindowSettings&) const = default;
  // The same settings (the bookkeeping flags not compared).
  bool SameSettings(const WindowSettings& other) const;
};

// What the options dialog offers beyond the session's own fields: which
// buttons are enabled and the list of parameter choices of a distribution.
struct OptionsDialogModel {
  std::array<bool, 2> samplesEnabled{true, true};
  std::array<bool, 3> tailsEnabled{true, true, true};
  std::array<bool, 3> procedureEnabled{true, true, true};
  // The option check boxes by box index 0..2.
  std::array<bool, 3> optionEnabled{true, true, true};
  // "Plan by Power": offered for a test; shown ticked and fixed for a test
  // whose own criterion is already its power.
  bool planByPowerOffered = false;
  bool planByPowerFixed = false;
  std::vector<std::string> parameterChoices;
};

class Session {
 public:
  explicit Session(UserInterface& ui);

  UserInterface& ui() const { return *ui_; }
  // Puts another user interface in place (a quiet one while the engine checks
  // values on its own behalf) and returns the one that was in place.
  UserInterface* ReplaceUserInterface(UserInterface* ui) {
    UserInterface* old = ui_;
    ui_ = ui;
    return old;
  }

  // Catalogue values of one id (through a non-const session: the session's
  // own copy of the entry, to be changed).
  CatalogueEntry& entry(int id) { return catalogue.Edit(id); }
  const CatalogueEntry& entry(int id) const { return catalogue[id]; }
  // The catalogue entry of the parameter listed at a position.
  CatalogueEntry& entryAt(int position) {
    return entry(ParameterList.at(static_cast<std::size_t>(position)));
  }
  const CatalogueEntry& entryAt(int position) const {
    return entry(ParameterList.at(static_cast<std::size_t>(position)));
  }
  // The value at a list position.
  double& value(int position) { return ParameterValues.at(static_cast<std::size_t>(position)); }
  double value(int position) const { return ParameterValues.at(static_cast<std::size_t>(position)); }
  bool optionChecked(int optionId) const { return OptionState.at(static_cast<std::size_t>(optionId)) == 1; }

  // Selection.
  Flag IsTestProcedure = kFalse;
  std::int16_t TestIndex = 0;
  std::string TestName;
  std::int16_t DistributionIndex = 0;
  std::string DistributionName;
  Single HelpContext = 0;

  // Procedure options.
  std::int16_t SampleCount = 2;
  std::int16_t TailCount = 2;
  Flag RejectInLeftTail = kFalse;
  std::int16_t ParameterChoice = 0;
  std::string ParameterChoiceName;
  std::int16_t ProcedureKind = 0;
  std::int16_t InterimCount = 0;
  std::int16_t OptionCount = 0;
  std::array<std::int16_t, 3> OptionId{};
  std::array<std::int16_t, kOptionCount> OptionState{};
  std::int16_t IntParRowCount = 0;
  std::array<std::int16_t, 4> IntParRowGroup{};
  std::array<std::int16_t, kGroupCount> IntParMode{};
  // A test is planned by its power rather than by its just-significant
  // result: the requested power is listed at position 2, beneath the P-value
  // (then the significance level), and the criterion is the power of the
  // design minus it.  Kept apart from the option ids; it applies to a test
  // only (PlansByPower).
  Flag PlanByPower = kFalse;
  // The interim analyses' boundaries, the expected dropout and what a Monte
  // Carlo window simulates.
  PlanningSettings planning;

  // Parameter list of the current selection.
  std::array<std::int16_t, kPositionCount> ParameterList{};
  ParameterValueArray ParameterValues{};
  std::int16_t LastPosition = 0;
  std::int16_t ValueMode = 0;
  std::int16_t UnknownPosition = 0;
  std::int16_t XPosition = 2;
  std::int16_t ZPosition = 3;

  CatalogueValues catalogue;
  OptionsDialogModel dialog;

  // Result windows.  Record 0 is never used by a window.
  std::vector<WindowSettings> records;
  std::int16_t ActiveRecord = 0;
  std::int16_t CalcNumber = 0;
  std::int16_t TableNumber = 0;
  std::int16_t GraphNumber = 0;
  std::int16_t MonteNumber = 0;
  // Upper bound of each kind's window array (by WindowKind); one slot each
  // while no window of the kind was opened since the last reset.
  std::array<std::int16_t, 4> WindowArrayBound{};
  bool ResultsCurrent = false;
  int CascadeLeft = -150;
  int CascadeTop = -350;
  bool Busy = false;
  bool CalcStopped = false;
  // The font of copied and printed output (a bold flag of 1 is bold).
  std::string OutputFontName = "Arial";
  std::string OutputFontSize = "9";
  std::int16_t OutputFontBold = 0;
  std::string Description;
  // The line explaining the active Calculation window's result: why it is "-",
  // or how a step or a limit was found; empty for a root.
  std::string ResultRemark;
  // The power of the active Calculation window's solved design.
  DesignPower AchievedPower;
  // The result lines of the active Monte Carlo window's last simulation
  // (empty for any other window), which its output shows beneath the power.
  std::vector<std::string> SimulationLines;

  // The cells of the last grid entry.
  GridTable grid;

  // Range results, replaced by every range run.  A point without a value holds
  // kNotCalculated; YStates says what each point is.  YMin and YMax span the
  // calculated points only (YMin > YMax when there are none).
  std::vector<Single> XValues;
  std::vector<std::vector<Single>> YValues;  // [z index][x index]
  std::vector<std::vector<SolveState>> YStates;
  std::vector<Single> ZValues;
  Single YMin = 99999;
  Single YMax = -99999;
  std::vector<std::string> RangeHeadings;
  // How many points of the last range run have no value and why, most often;
  // empty when every point has one.
  std::string RangeSummary;

 private:
  UserInterface* ui_;
};

inline constexpr const char* kLineBreak = "\r\n";

// Whether the selection is planned by power: the option is ticked and the
// selection is a test (a test procedure, or the kind Test of a sample
// distribution).
bool PlansByPower(const Session& s);

// Whether the selection plans for an expected dropout: a test planned by
// power, or a confidence interval of a sample distribution.
bool OffersExpectedDropout(const Session& s);

// Moves the roles off position 1, off positions beyond the list and off each
// other, after the options have been confirmed.
void NormalizePositions(Session& s);

// Copies the globals into the active record (when results are current and a
// selection with its parameter list exists) and marks it changed when that
// changed anything.
void StoreWindowSettings(Session& s);
// Writes the session's selection, options, positions, axis ranges and value
// texts into `r` (the session has a parameter list).
void CopySelectionInto(const Session& s, WindowSettings& r);
// Copies the active record's selection, options, positions and axis ranges back
// into the globals.  The caller then rebuilds the parameter list and calls
// RestoreValueTexts, since the record names its values by list position.
void RestoreWindowSettings(Session& s);
// Writes the active record's value texts into the catalogue entries of the
// parameters listed at positions 0..LastPosition that the record lists too.
void RestoreValueTexts(Session& s);

}  // namespace pelmora
