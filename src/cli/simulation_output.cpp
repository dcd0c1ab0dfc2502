#include "cli/simulation_output.h"

#include <atomic>

#include "cli/cli.h"
#include "cli/output.h"
#include "format/number_entry.h"
#include "output/simulation_text.h"

namespace pelmora::cli {

SimulationRequest SimulationRequestOf(const Request& r, const Session& s) {
  SimulationRequest q;
  q.studies = r.simulate.value_or(10000);
  q.seed = r.seed.value_or(1);
  q.threads = r.threads.value_or(0);
  if (r.data) q.data = DataModelNamed(*r.data).value_or(DataModel::kNormal);
  q.dropout = ParseNumber(s.planning.ExpectedDropout);
  return q;
}

namespace {

std::string IntervalJson(const std::optional<ProportionInterval>& p) {
  if (!p) return "null";
  return "{\"estimate\": " + JsonNumber(p->estimate) + ", \"lower\": " + JsonNumber(p->lower) +
         ", \"upper\": " + JsonNumber(p->upper) + "}";
}

std::string OptionalNumber(const std::optional<double>& v) { return v ? JsonNumber(*v) : "null"; }

}  // namespace

std::string SimulationJson(const SimulationResult& r) {
  const SimulationRequest& q = r.request;
  std::string json = "{\"studies\": " + std::to_string(r.h1.studies) + ", \"seed\": " + std::to_string(q.seed) +
                     ", \"data\": " + JsonQuote(DataModelName(q.data)) + ", \"dropout\": " + JsonNumber(q.dropout);
  json += ", \"power\": " + IntervalJson(r.power) + ", \"analytic_power\": " + OptionalNumber(r.analyticPower) +
          ", \"level\": " + IntervalJson(r.level) + ", \"looks\": [";
  for (std::size_t k = 0; k < r.looks.size(); ++k) {
    const SimulatedLook& l = r.looks[k];
    json += std::string(k > 0 ? ", " : "") + "{\"look\": " + std::to_string(k + 1) + ", \"sizes\": [";
    for (std::size_t g = 0; g < l.sizes.size(); ++g) json += (g > 0 ? ", " : "") + std::to_string(l.sizes[g]);
    json += "], \"reject_h1\": " + JsonNumber(l.rejectH1) + ", \"futility_h1\": " + JsonNumber(l.futilityH1) +
            ", \"reject_h0\": " + JsonNumber(l.rejectH0) + ", \"futility_h0\": " + JsonNumber(l.futilityH0) + "}";
  }
  json += "], \"expected_total\": ";
  json += r.interval ? "null"
                     : "{\"h1\": " + JsonNumber(r.expectedTotalH1) + ", \"h0\": " + JsonNumber(r.expectedTotalH0) + "}";
  json += ", \"coverage\": " + IntervalJson(r.coverage) + ", \"width_below\": " + IntervalJson(r.widthBelow) +
          ", \"seconds\": " + JsonNumber(r.seconds) + "}";
  return json;
}

int SimulateSolved(Dispatcher& d, const Request& r, const std::string& calculationJson, std::ostream& out,
                   std::ostream& err) {
  const std::atomic<bool> cancel{false};
  const SimulationOutcome outcome = RunSimulation(d, SimulationRequestOf(r, d.session()), cancel);
  if (!outcome.result) {
    err << "pelmora-cli: --simulate: " << outcome.error << '\n';
    if (r.json) out << calculationJson;
    return kExitRejected;
  }
  if (r.json) {
    std::string calculation = calculationJson;
    while (!calculation.empty() && (calculation.back() == '\n' || calculation.back() == '}')) {
      const bool brace = calculation.back() == '}';
      calculation.pop_back();
      if (brace) break;
    }
    out << calculation << ", \"simulation\": " << SimulationJson(*outcome.result) << "}\n";
  } else {
    for (const std::string& line : SimulationLines(*outcome.result)) out << line << '\n';
  }
  return kExitSolved;
}

}  // namespace pelmora::cli
