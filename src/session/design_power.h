// The power of a solved test design, as the Calculation window, its output
// and pelmora-cli report it: the power at the values shown (the solved one
// included), and, when a sample size was solved, the power at the whole
// sizes a study would recruit.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "session/sequential_summary.h"

namespace pelmora {

// The whole sizes of a design whose sample size was solved: the first size
// rounded up, the second derived from that whole size by its form (value,
// difference or ratio) and rounded up; the subjects in all (each further
// group of "No Of Groups" counted with the last size); the power at them.
// With an expected dropout D above 0, the sizes to recruit: each whole size
// divided by 1 - D and rounded up, and their total.
struct WholeSizes {
  std::vector<double> sizes;
  double total = 0;
  std::optional<double> power;
  double dropout = 0;
  std::vector<double> recruit;
  double recruitTotal = 0;
  bool operator==(const WholeSizes&) const = default;
};

// The standardised effect of a test design: Cohen's d for means, h for
// proportions, f for the analysis of variance, w for a chi-square table, q
// for correlations, or the odds ratio where the parameters define one.
struct StandardisedEffect {
  std::string name;
  double value = 0;
  bool operator==(const StandardisedEffect&) const = default;
};

struct DesignPower {
  // Nothing for a procedure that is no test, a solve without a value, or a
  // design whose power cannot be computed.
  std::optional<double> power;
  // No sizes when the unknown is no sample size.
  WholeSizes whole;
  // The group-sequential design, with interim analyses.
  std::optional<SequentialSummary> sequential;
  // Nothing where the procedure's parameters define no standardised effect.
  std::optional<StandardisedEffect> effect;
  bool operator==(const DesignPower&) const = default;
};

// A power as the lines show it: four decimals, "< 0.0001" and "> 0.9999"
// for what those would round to 0 or 1.
std::string PowerText(double power);

// "Power of this design: 0.8000", followed for whole sizes by "; at the
// whole sample sizes 64 and 64 (128 in all): 0.8015" and, with a dropout,
// "; to recruit for an expected dropout of 0.1: 72 and 72 (144 in all)".
// Without a power (an estimate or an interval) only sizes to recruit make a
// line: "Whole sample sizes 25 and 25 (50 in all); to recruit ...".  Empty
// otherwise.
std::string DesignPowerLine(const DesignPower& p);

// "64 and 64 (128 in all)", "28 (140 in all)" or "30": whole sizes as the
// lines write them, with their total where it says more.
std::string SizesText(const std::vector<double>& sizes, double total);

// "Standardised effect: d = 0.50" (two decimals); empty without a power or
// an effect.
std::string EffectLine(const DesignPower& p);

}  // namespace pelmora
