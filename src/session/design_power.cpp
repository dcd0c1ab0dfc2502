#include "session/design_power.h"

#include "format/number_format.h"

namespace pelmora {

std::string PowerText(double power) {
  if (power < 0.00005 && power > 0) return "< 0.0001";
  if (power >= 0.99995 && power < 1) return "> 0.9999";
  return FormatPattern(power, "0.0000");
}

std::string SizesText(const std::vector<double>& sizes, double total) {
  std::string text;
  for (std::size_t i = 0; i < sizes.size(); ++i)
    text += (i == 0 ? "" : i + 1 == sizes.size() ? " and " : ", ") + FormatPattern(sizes[i], "0");
  if (sizes.size() > 1 || (!sizes.empty() && total != sizes.front()))
    text += " (" + FormatPattern(total, "0") + " in all)";
  return text;
}

namespace {

std::string RecruitClause(const WholeSizes& w) {
  if (w.recruit.empty()) return {};
  return "; to recruit for an expected dropout of " + PlainNumber(w.dropout, 6) +
         ": " + SizesText(w.recruit, w.recruitTotal);
}

}  // namespace

std::string DesignPowerLine(const DesignPower& p) {
  const WholeSizes& w = p.whole;
  if (!p.power) {
    if (w.recruit.empty()) return {};
    return (w.sizes.size() == 1 ? "Whole sample size " : "Whole sample sizes ") + SizesText(w.sizes, w.total) +
           RecruitClause(w);
  }
  std::string line = "Power of this design: " + PowerText(*p.power);
  if (w.sizes.empty()) return line;
  line += w.sizes.size() == 1 ? "; at the whole sample size " : "; at the whole sample sizes ";
  line += SizesText(w.sizes, w.total);
  return line + ": " + (w.power ? PowerText(*w.power) : std::string("-")) + RecruitClause(w);
}

std::string EffectLine(const DesignPower& p) {
  if (!p.power || !p.effect) return {};
  return "Standardised effect: " + p.effect->name + " = " + FormatPattern(p.effect->value, "0.00");
}

}  // namespace pelmora
