#include "cli/sequential_json.h"

#include "cli/cli.h"
#include "cli/output.h"

namespace pelmora::cli {

namespace {

std::string Numbers(const std::vector<double>& values) {
  std::string out = "[";
  for (std::size_t i = 0; i < values.size(); ++i) out += (i > 0 ? ", " : "") + JsonNumber(values[i]);
  return out + "]";
}

}  // namespace

std::string SequentialJson(const std::optional<SequentialSummary>& summary) {
  if (!summary) return "null";
  const SequentialSummary& m = *summary;
  std::string out = "{\"boundary\": " + JsonQuote(m.boundary) + ", \"inflation\": " +
                    (m.inflation ? JsonNumber(*m.inflation) : std::string("null")) +
                    ", \"maximum\": {\"sizes\": " + Numbers(m.sizes) + ", \"total\": " + JsonNumber(m.total) +
                    "}, \"expected\": {\"h1\": " + JsonNumber(m.expectedH1) + ", \"h0\": " + JsonNumber(m.expectedH0) +
                    "}, \"looks\": [";
  for (std::size_t k = 0; k < m.looks.size(); ++k) {
    const SequentialLookLine& l = m.looks[k];
    out += std::string(k > 0 ? ", " : "") + "{\"look\": " + std::to_string(k + 1) +
           ", \"fraction\": " + JsonNumber(l.fraction) + ", \"sizes\": " + Numbers(l.sizes) +
           ", \"total\": " + JsonNumber(l.total) + ", \"efficacy_z\": " + JsonNumber(l.efficacyZ) +
           ", \"efficacy_p\": " + JsonNumber(l.efficacyP) +
           ", \"futility_z\": " + (l.futilityZ ? JsonNumber(*l.futilityZ) : std::string("null")) +
           ", \"cumulative_alpha\": " + JsonNumber(l.cumulativeAlpha) + ", \"reject_h1\": " + JsonNumber(l.rejectH1) +
           ", \"stop_h1\": " + JsonNumber(l.stopH1) + ", \"stop_h0\": " + JsonNumber(l.stopH0) + "}";
  }
  return out + "]}";
}

}  // namespace pelmora::cli
