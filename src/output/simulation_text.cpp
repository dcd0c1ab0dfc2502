#include "output/simulation_text.h"

#include <cstdio>

#include "session/design_power.h"

namespace pelmora {

namespace {

std::string Fixed(double v, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, v);
  return text;
}

std::string IntervalText(const ProportionInterval& p) {
  return Fixed(p.estimate, 4) + " (95% interval " + Fixed(p.lower, 4) + " to " + Fixed(p.upper, 4) + ")";
}

std::string SizesText(const std::vector<std::int64_t>& sizes) {
  std::string text;
  for (std::size_t g = 0; g < sizes.size(); ++g)
    text += (g == 0 ? "" : g + 1 == sizes.size() ? " and " : ", ") + std::to_string(sizes[g]);
  return text;
}

}  // namespace

std::string GroupedCount(std::int64_t n) {
  std::string digits = std::to_string(n < 0 ? -n : n), text;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
    text += digits[i];
  }
  return (n < 0 ? "-" : "") + text;
}

std::vector<std::string> SimulationLines(const SimulationResult& r) {
  std::vector<std::string> lines;
  const SimulationRequest& q = r.request;
  lines.push_back("Monte Carlo simulation: " + GroupedCount(r.h1.studies) + " studies, seed " +
                  std::to_string(q.seed) + ", data " + std::string(DataModelName(q.data)) + ", dropout " +
                  Fixed(q.dropout, 2));
  if (r.interval) {
    if (r.coverage) lines.push_back("Coverage of the true value: " + IntervalText(*r.coverage));
    if (r.widthBelow) lines.push_back("Probability that the width is below the requested one: " +
                                      IntervalText(*r.widthBelow));
  } else {
    if (r.power) {
      std::string line = "Simulated power: " + IntervalText(*r.power);
      if (r.analyticPower) {
        line += "; analytic power " + PowerText(*r.analyticPower);
        if (r.power->standard_error > 0)
          line += " (" + Fixed((r.power->estimate - *r.analyticPower) / r.power->standard_error, 1) +
                  " standard errors)";
      }
      lines.push_back(line);
    }
    if (r.level)
      lines.push_back("Simulated significance level under H0: " + IntervalText(*r.level) + "; nominal " +
                      Fixed(r.nominalLevel, 4));
    if (r.looks.size() > 1) {
      double powerSoFar = 0, levelSoFar = 0;
      for (std::size_t k = 0; k < r.looks.size(); ++k) {
        const SimulatedLook& l = r.looks[k];
        powerSoFar += l.rejectH1;
        levelSoFar += l.rejectH0;
        lines.push_back("Look " + std::to_string(k + 1) + " (sizes " + SizesText(l.sizes) + ", P <= " +
                        Fixed(l.efficacyP, 5) + "): rejecting " + Fixed(l.rejectH1, 4) + " under H1, " +
                        Fixed(l.rejectH0, 4) + " under H0; futility " + Fixed(l.futilityH1, 4) + " under H1, " +
                        Fixed(l.futilityH0, 4) + " under H0; cumulative power " + Fixed(powerSoFar, 4) +
                        ", level " + Fixed(levelSoFar, 4));
      }
    }
    std::string total = "Expected total sample size: " + Fixed(r.expectedTotalH1, 1) + " under H1";
    if (r.analyticTotalH1) total += " (analytic " + Fixed(*r.analyticTotalH1, 1) + ")";
    total += ", " + Fixed(r.expectedTotalH0, 1) + " under H0";
    if (r.analyticTotalH0) total += " (analytic " + Fixed(*r.analyticTotalH0, 1) + ")";
    lines.push_back(total);
  }
  lines.push_back("Time taken: " + Fixed(r.seconds, 2) + " s");
  const std::int64_t done = r.h1.studies + r.h0.studies;
  if (r.cancelled)
    lines.push_back("stopped after " + GroupedCount(done) + " of " + GroupedCount(r.studiesPlanned) + " studies");
  if (const std::string verdict = SimulationVerdict(r); !verdict.empty()) lines.push_back(verdict);
  return lines;
}

}  // namespace pelmora
