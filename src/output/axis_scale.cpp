#include "output/axis_scale.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "format/number_entry.h"
#include "format/number_format.h"

namespace pelmora {

// ---- Automatic scaling -----------------------------------------------------

void ScaleAxis(Single xmin, Single xmax, std::int16_t n, Single& xminp, Single& xmaxp) {
  xminp = xmin;
  xmaxp = xmax;
  if (!(xmin < xmax) || n < 1 || !std::isfinite(xmin) || !std::isfinite(xmax)) return;

  const Single a = (xmax - xmin) / static_cast<Single>(n);
  if (!(a > 0.0f) || !std::isfinite(a)) return;
  int nal = static_cast<int>(Fix(std::log10(a)));
  if (a < 1.0f) nal -= 1;
  const Single power = ToSingle(std::pow(10.0, nal));
  const Single b = a / power;

  int i = 3;  // the factor 10 when none of 1, 2, 5 fits
  for (int k = 0; k < 3; ++k) {
    if (b <= kScaleFactors[k] + kScaleTolerance) {
      i = k;
      break;
    }
  }

  Single dist = 0.0f;
  Single m1 = 0.0f;
  Single m2 = 0.0f;
  for (;;) {
    dist = kScaleFactors[i] * power;

    const Single fm1 = xmin / dist;
    m1 = ToSingle(Fix(fm1));
    if (fm1 < 0.0f) m1 -= 1.0f;
    if (std::fabs(m1 + 1.0f - fm1) < kScaleTolerance) m1 += 1.0f;
    xminp = dist * m1;

    const Single fm2 = xmax / dist;
    m2 = ToSingle(Fix(fm2 + 1.0f));
    if (fm2 < -1.0f) m2 -= 1.0f;
    if (std::fabs(fm2 + 1.0f - m2) < kScaleTolerance) m2 -= 1.0f;
    xmaxp = dist * m2;

    // Too many intervals: the next factor.  The last factor is kept whatever
    // it gives; the clamp below still covers the data.
    if (m2 - m1 > static_cast<Single>(n) && i < 4) {
      ++i;
      continue;
    }
    break;
  }

  const Single np = m2 - m1;
  const Single nx = std::nearbyint((static_cast<Single>(n) - np) / 2.0f);  // halves to even
  xminp = xminp - nx * dist;
  xmaxp = xminp + static_cast<Single>(n) * dist;
  if (xminp > xmin) xminp = xmin;
  if (xmaxp < xmax) xmaxp = xmax;
}

double RoundAxisEnd(double v) {
  constexpr double kUnit = 1e-10;
  return Int(v / kUnit + 0.5) * kUnit;
}

void RoundScaledEnds(Single minp, Single maxp, double& min, double& max) {
  // Each end to six significant digits of its own: a single's noise is at
  // most a tenth of the last digit kept, never data.
  auto rounded = [](double v, double direction) {
    if (v == 0 || !std::isfinite(v)) return v;
    const double scale = std::pow(10.0, 5 - std::floor(std::log10(std::fabs(v))));
    const double units = v * scale;
    return (direction < 0 ? std::floor(units + 0.2) : std::ceil(units - 0.2)) / scale;
  };
  min = rounded(RoundAxisEnd(minp), -1);
  max = rounded(RoundAxisEnd(maxp), +1);
}

std::int16_t RequestedXIntervals(std::int16_t xCount) { return xCount <= 20 ? xCount : std::int16_t{20}; }

// ---- Tick labels -----------------------------------------------------------

namespace {

// The decimals and integer digits of a value as a tick label shows it.
struct LabelDigits {
  int decimals = 0;
  int integerDigits = 1;
};

LabelDigits DigitsOf(double v) {
  LabelDigits result;
  if (!std::isfinite(v)) return result;
  const double whole = Fix(v);
  const std::string fraction = FormatPattern(std::fabs(v - whole), "0.#######");
  const std::size_t point = fraction.find('.');
  if (point != std::string::npos) result.decimals = static_cast<int>(fraction.size() - point - 1);
  result.integerDigits = static_cast<int>(FormatPattern(std::fabs(whole), "0").size());
  return result;
}

}  // namespace

std::string TickLabelPattern(double minimum, double maximum, double tick) {
  const LabelDigits candidates[3] = {DigitsOf(minimum), DigitsOf(maximum), DigitsOf((minimum + maximum) / 2)};
  LabelDigits decider = candidates[0];
  for (const LabelDigits& c : candidates) {
    if (c.decimals > decider.decimals) decider = c;
  }
  if (tick != 0 && std::isfinite(tick)) {
    const int tickDecimals = DigitsOf(tick).decimals;
    if (tickDecimals > decider.decimals) {
      for (const LabelDigits& c : candidates) decider.integerDigits = std::max(decider.integerDigits, c.integerDigits);
      decider.decimals = tickDecimals;
    }
  }
  if (decider.decimals >= 1) {
    return std::string(static_cast<std::size_t>(decider.integerDigits + 1), '#') + ".0" +
           std::string(static_cast<std::size_t>(decider.decimals - 1), '#');
  }
  int digits = 1;
  for (const LabelDigits& c : candidates) digits = std::max(digits, c.integerDigits);
  return std::string(static_cast<std::size_t>(digits), '#') + "0";
}

// ---- Checks of user-fixed axes ---------------------------------------------

namespace {

void ShowAxisMessage(UserInterface& ui, const std::string& text) {
  ui.ShowMessage(text, kAxisCheckTitle, MessageIcon::Exclamation);
}

bool IsBlankText(const std::string& text) { return text.find_first_not_of(" \t\r\n") == std::string::npos; }

}  // namespace

bool CheckValuePresent(UserInterface& ui, const std::string& text) {
  if (!IsBlankText(text)) return false;
  ShowAxisMessage(ui, "A Value Is Missing");
  return true;
}

bool CheckMinBelowMax(UserInterface& ui, const std::string& minText, const std::string& maxText,
                      const std::string& tickText) {
  if (!(ParseNumber(tickText) > 0)) return false;
  if (!(ParseNumber(minText) > ParseNumber(maxText))) return false;
  ShowAxisMessage(ui, "Error In Relation: Min = " + minText + " > Max = " + maxText);
  return true;
}

bool CheckTickNotZero(UserInterface& ui, const std::string& tickText) {
  if (ParseNumber(tickText) != 0) return false;
  ShowAxisMessage(ui, tickText + "  Is Not Allowed");
  return true;
}

bool CheckIntervalCount(UserInterface& ui, const std::string& minText, const std::string& maxText,
                        const std::string& tickText, int maximum) {
  const double span = std::fabs(ParseNumber(maxText) - ParseNumber(minText));
  const double tick = std::fabs(ParseNumber(tickText));
  if (!(span / tick > maximum)) return false;
  ShowAxisMessage(ui, "Min = " + minText + ",  Max = " + maxText + "  and  Tick = " + tickText +
                          "  Results In Too Many Intervals   (Maximum Number = " +
                          StrSingle(static_cast<Single>(maximum)) + ")");
  return true;
}

std::optional<AxisBox> CheckUserAxes(UserInterface& ui, const AxisTexts& x, const AxisTexts& y) {
  const std::pair<const std::string*, AxisBox> boxes[6] = {
      {&x.minimum, AxisBox::XMin}, {&x.maximum, AxisBox::XMax}, {&x.tick, AxisBox::XTick},
      {&y.minimum, AxisBox::YMin}, {&y.maximum, AxisBox::YMax}, {&y.tick, AxisBox::YTick}};
  for (const auto& [text, box] : boxes) {
    if (CheckValuePresent(ui, *text)) return box;
  }
  if (CheckMinBelowMax(ui, x.minimum, x.maximum, x.tick)) return AxisBox::XMin;
  if (CheckMinBelowMax(ui, y.minimum, y.maximum, y.tick)) return AxisBox::YMin;
  if (CheckTickNotZero(ui, x.tick)) return AxisBox::XTick;
  if (CheckIntervalCount(ui, x.minimum, x.maximum, x.tick, kMaximumAxisIntervals)) return AxisBox::XTick;
  if (CheckTickNotZero(ui, y.tick)) return AxisBox::YTick;
  if (CheckIntervalCount(ui, y.minimum, y.maximum, y.tick, kMaximumAxisIntervals)) return AxisBox::YTick;
  return std::nullopt;
}

}  // namespace pelmora
