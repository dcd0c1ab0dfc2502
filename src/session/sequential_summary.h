// What a solved group-sequential design shows: each look with its fraction,
// the whole sizes at it, its bounds and probabilities, and the maximum and
// expected sizes with the inflation factor.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pelmora {

struct SequentialLookLine {
  double fraction = 0;
  std::vector<double> sizes;  // the maximum sizes times the fraction, rounded up
  double total = 0;
  double efficacyZ = 0, efficacyP = 0;
  std::optional<double> futilityZ;
  double cumulativeAlpha = 0;
  double rejectH1 = 0, stopH1 = 0, stopH0 = 0;
  bool operator==(const SequentialLookLine&) const = default;
};

struct SequentialSummary {
  std::string boundary;  // the efficacy family's name
  std::string futility;  // "None" or the futility family's name
  bool binding = false;
  std::optional<double> inflation;  // R at the requested power
  std::vector<double> sizes;        // the maximum sizes (whole where a size was solved)
  double total = 0;                 // subjects in all
  double expectedH1 = 0, expectedH0 = 0;  // expected subjects in all
  double power = 0;                       // the design's power
  std::vector<SequentialLookLine> looks;
  bool operator==(const SequentialSummary&) const = default;
};

}  // namespace pelmora
