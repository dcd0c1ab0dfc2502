// Axis scaling of a graph: round axis ends with round tick distances for the
// automatic axes, the patterns of the tick labels, the number of intervals an
// axis asks for, and the checks of axes the user fixes in the graph
// appearance dialog.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "numeric/platform.h"
#include "session/user_interface.h"

namespace pelmora {

// ---- Automatic scaling -----------------------------------------------------

// The nice interval factors and the tolerance of the comparisons.
inline constexpr Single kScaleFactors[5] = {1.0f, 2.0f, 5.0f, 10.0f, 20.0f};
inline constexpr Single kScaleTolerance = 0.00002f;

// A scale of exactly n intervals of a nice length (a factor times a power of
// ten) that covers [xmin, xmax] (Lewart's method, CACM Algorithm 463),
// computed in single precision.  Requires xmin < xmax and n >= 1; returns
// xminp <= xmin and xmaxp >= xmax with xmaxp - xminp = n x the chosen length,
// unless an end had to be moved out to the data.  Outside its requirements
// (or for values that are not finite) the data range itself is returned.
void ScaleAxis(Single xmin, Single xmax, std::int16_t n, Single& xminp, Single& xmaxp);

// An axis end with its floating-point noise removed: v rounded to the nearest
// multiple of 10^-10, Int(v / 10^-10 + 0.5) x 10^-10.
double RoundAxisEnd(double v);

// The ends of an automatically scaled axis as the round numbers they stand
// for.  A single holds about seven digits, so an end one unit in its last
// place off a round number (0.99999994 for 1, -0.30000001 for -0.3) is taken
// at six significant digits, outward, so that the data stay inside.
void RoundScaledEnds(Single minp, Single maxp, double& min, double& max);

// The number of intervals the x-axis asks for: one per x value, at most 20.
std::int16_t RequestedXIntervals(std::int16_t xCount);
// The number of intervals the y-axis asks for.
inline constexpr std::int16_t kRequestedYIntervals = 10;

// An axis is scaled automatically when its minimum and maximum settings are
// both 0.
inline bool AxisIsAutomatic(double minimum, double maximum) { return minimum == 0 && maximum == 0; }

// ---- Tick labels -----------------------------------------------------------

// The number pattern of every tick label of an axis from minimum to maximum.
// The fractional parts of the minimum, the maximum and the midpoint are
// rounded to 7 decimals; the one written with the most decimals (the first of
// them on a tie) decides.  With d >= 1 decimals and an integer part of k
// digits the pattern is k + 1 "#", ".0" and d - 1 "#" (0.25 gives "##.0#").
// When none has decimals, the one with the longest integer part gives k "#"
// followed by "0" (0 .. 100 gives "###0").
// A tick distance with more decimals than that choice (0.3 .. 1.3 by 0.05)
// gives the labels its own number of decimals, so that no two ticks show the
// same label.
std::string TickLabelPattern(double minimum, double maximum, double tick = 0);

// ---- Checks of user-fixed axes ---------------------------------------------

// The title of every message of these checks.
inline constexpr const char* kAxisCheckTitle = "Can't Calculate";
// The largest number of intervals a user-fixed axis may have.
inline constexpr int kMaximumAxisIntervals = 200;

// Each check shows its message (exclamation icon, title kAxisCheckTitle) and
// returns true when the value is rejected.  Texts are read as typed numbers,
// a decimal comma accepted.

// The text is blank after trimming: "A Value Is Missing".
bool CheckValuePresent(UserInterface& ui, const std::string& text);
// With a positive tick distance, a minimum greater than the maximum (equal
// values pass): "Error In Relation: Min = <min> > Max = <max>".
bool CheckMinBelowMax(UserInterface& ui, const std::string& minText, const std::string& maxText,
                      const std::string& tickText);
// A tick distance of 0: "<tick>  Is Not Allowed".
bool CheckTickNotZero(UserInterface& ui, const std::string& tickText);
// More than `maximum` intervals |max - min| / |tick|: "Min = <min>,  Max =
// <max>  and  Tick = <tick>  Results In Too Many Intervals   (Maximum Number
// = <Str(maximum)>)".
bool CheckIntervalCount(UserInterface& ui, const std::string& minText, const std::string& maxText,
                        const std::string& tickText, int maximum);

// The six value boxes of the graph appearance dialog.
enum class AxisBox : std::int16_t { XMin, XMax, XTick, YMin, YMax, YTick };

// The three texts of one axis as typed.
struct AxisTexts {
  std::string minimum;
  std::string maximum;
  std::string tick;
};

// All checks of the dialog's OK, in their order: every box present (x min,
// x max, x tick, y min, y max, y tick); the min/max relation of the x-axis,
// then of the y-axis; tick not zero and interval count of the x-axis, then
// the same two of the y-axis.  The first failure stops: its message is shown
// and the box that takes the focus is returned (the minimum box for the
// relation, the tick box for the tick and the interval count).  Returns no
// box when the values are accepted.
std::optional<AxisBox> CheckUserAxes(UserInterface& ui, const AxisTexts& x, const AxisTexts& y);

}  // namespace pelmora
