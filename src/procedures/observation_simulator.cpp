#include "procedures/observation_simulator.h"

#include <optional>
#include <utility>

namespace pelmora {

namespace {

class ObservationSimulator final : public StudySimulator {
 public:
  ObservationSimulator(std::vector<ObservedGroup> groups, const SimulationPlan& plan,
                       std::vector<std::vector<std::int64_t>> looks, ObservationsPValue pValue, bool usesModel)
      : groups_(std::move(groups)), dropout_(plan.dropout), pValue_(std::move(pValue)), usesModel_(usesModel) {
    lookSizes_ = std::move(looks);
    data_.resize(groups_.size());
    for (std::size_t g = 0; g < groups_.size(); ++g)
      data_[g].resize(static_cast<std::size_t>(lookSizes_.back()[g]) * groups_[g].width);
    kept_.resize(lookSizes_.size() * groups_.size());
    spans_.resize(groups_.size());
  }
  std::unique_ptr<StudySimulator> Clone() const override { return std::make_unique<ObservationSimulator>(*this); }
  bool UsesDataModel() const override { return usesModel_; }

  void Simulate(RandomStream& stream, StudyOutcome& out) override {
    const std::size_t groups = groups_.size(), looks = lookSizes_.size();
    for (std::size_t g = 0; g < groups; ++g) {
      std::vector<double>& x = data_[g];
      const std::size_t w = groups_[g].width;
      groups_[g].draw(stream, x);
      // Each subject drops out at random; those who remain keep their order,
      // so the data of a look are those of the first remaining subjects.
      std::size_t remaining = 0, next = 0;
      for (std::size_t k = 0; k < looks; ++k) {
        const auto end = static_cast<std::size_t>(lookSizes_[k][g]);
        for (; next < end; ++next) {
          if (dropout_ > 0 && stream.Uniform() < dropout_) continue;
          for (std::size_t j = 0; j < w; ++j) x[remaining * w + j] = x[next * w + j];
          ++remaining;
        }
        kept_[k * groups + g] = remaining;
      }
    }
    for (std::size_t k = 0; k < looks; ++k) {
      for (std::size_t g = 0; g < groups; ++g)
        spans_[g] = std::span<const double>(data_[g].data(), kept_[k * groups + g] * groups_[g].width);
      out.p[k] = pValue_(spans_);
    }
  }

 private:
  std::vector<ObservedGroup> groups_;
  double dropout_;
  ObservationsPValue pValue_;
  bool usesModel_;
  std::vector<std::vector<double>> data_;
  std::vector<std::size_t> kept_;
  std::vector<std::span<const double>> spans_;
};

}  // namespace

std::unique_ptr<StudySimulator> MakeObservationSimulator(std::vector<ObservedGroup> groups,
                                                         const SimulationPlan& plan, ObservationsPValue pValue,
                                                         bool usesDataModel, std::string& why) {
  std::vector<double> sizes;
  for (const ObservedGroup& g : groups) {
    if (!(g.wholeSize >= 1 && g.wholeSize <= 1e8)) {
      why = "the sample sizes must be from 1 to 100000000 to be simulated";
      return nullptr;
    }
    sizes.push_back(g.wholeSize);
  }
  std::vector<std::vector<std::int64_t>> looks = RecruitedLookSizes(sizes, plan);
  return std::make_unique<ObservationSimulator>(std::move(groups), plan, std::move(looks), std::move(pValue),
                                                usesDataModel);
}

PairSums SumsOfPairs(std::span<const double> pairs) {
  PairSums s;
  const std::size_t n = pairs.size() / 2;
  if (n == 0) return s;
  double mx = 0, my = 0;
  for (std::size_t i = 0; i < n; ++i) {
    mx += pairs[2 * i];
    my += pairs[2 * i + 1];
  }
  s.n = static_cast<double>(n);
  mx /= s.n;
  my /= s.n;
  for (std::size_t i = 0; i < n; ++i) {
    const double dx = pairs[2 * i] - mx, dy = pairs[2 * i + 1] - my;
    s.sxx += dx * dx;
    s.syy += dy * dy;
    s.sxy += dx * dy;
  }
  return s;
}

std::optional<SubjectDraw> ModelDraw(DataModel model, double mean, double sd) {
  const std::optional<ObservationSampler> sampler = ObservationSampler::WithMoments(model, mean, sd);
  if (!sampler) return std::nullopt;
  return SubjectDraw([s = *sampler](RandomStream& stream, std::span<double> out) { s.Fill(stream, out); });
}

}  // namespace pelmora
