#include "session/design_power.h"

#include "format/number_format.h"

namespace pelmora {

std::string PowerText(double power) {
  if (power < 0.00005 && power > 0) return "< 0.0001";
  if (power >= 0.99995 && power < 1) return "> 0.9999";
  return FormatPattern(power, "0.0000");
}

std::string DesignPowerLine(const DesignPower& p) {
  if (!p.power) return {};
  std::string line = "Power of this design: " + PowerText(*p.power);
  const WholeSizes& w = p.whole;
  if (w.sizes.empty()) return line;
  line += w.sizes.size() == 1 ? "; at the whole sample size " : "; at the whole sample sizes ";
  for (std::size_t i = 0; i < w.sizes.size(); ++i)
    line += (i == 0 ? "" : i + 1 == w.sizes.size() ? " and " : ", ") + FormatPattern(w.sizes[i], "0");
  if (w.sizes.size() > 1 || w.total != w.sizes.front()) line += " (" + FormatPattern(w.total, "0") + " in all)";
  return line + ": " + (w.power ? PowerText(*w.power) : std::string("-"));
}

std::string EffectLine(const DesignPower& p) {
  if (!p.power || !p.effect) return {};
  return "Standardised effect: " + p.effect->name + " = " + FormatPattern(p.effect->value, "0.00");
}

}  // namespace pelmora
