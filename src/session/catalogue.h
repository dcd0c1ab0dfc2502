// The parameter catalogue: every design quantity any procedure can show, by id,
// with its caption, start-up value, table range and value limits; and the
// smaller tables built with it — option captions and interchangeable-parameter
// groups.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace pelmora {

inline constexpr int kCatalogueSize = 251;  // ids 0..250
inline constexpr int kOptionCount = 15;     // option ids 0..14
inline constexpr int kGroupCount = 37;      // interchangeable-parameter groups 0..36

// Bounds at or beyond these mean "no bound".
inline constexpr double kNoLowerBound = -99999.0;
inline constexpr double kNoUpperBound = 99999.0;

// What an entry holds that no run of the program changes: its caption and
// the limits of its value.
struct CatalogueConstants {
  std::string caption;
  double lower = 0;
  double upper = 0;
};

// One entry: the texts a user edits (the value, the table range, the z
// values) beside the entry's constants, which every session shares.
struct CatalogueEntry {
  CatalogueEntry();
  explicit CatalogueEntry(const CatalogueConstants& constants) : constants_(&constants) {}

  std::string ParamText;
  std::string TableMin;
  std::string TableMax;
  std::string TableStep;
  std::string ZValueText;

  const std::string& ParamCaption() const { return constants_->caption; }
  double ParamLowerLimit() const { return constants_->lower; }
  double ParamUpperLimit() const { return constants_->upper; }

 private:
  const CatalogueConstants* constants_;
};

using Catalogue = std::array<CatalogueEntry, kCatalogueSize>;

struct ParameterGroup {
  std::string rowLabel;              // empty: the row has no label
  std::array<std::string, 3> forms;  // empty: the form has no button
  std::int16_t initialForm;
};

// The catalogue as it stands at start-up: built on first use and shared
// read-only by every session (a session keeps only the entries it changed).
const Catalogue& BuildCatalogue();
// Option captions by option id, with their "&".
const std::array<std::string, kOptionCount>& OptionCaptions();
// The interchangeable-parameter groups by group id.
const std::array<ParameterGroup, kGroupCount>& ParameterGroups();

// Named ids used by the program's own code.
namespace param {
inline constexpr std::int16_t PValue = 0;
inline constexpr std::int16_t Power = 1;
// Sample sizes: one sample's ("Sample Size", "Average Sample Size" of each
// group), the first of two, and the second of two as a value, as its
// difference to the first and as its ratio to it.
inline constexpr std::int16_t kSingleSampleSizes[] = {14, 85, 163, 224};
inline constexpr std::int16_t kFirstSampleSizes[] = {4, 39, 164};
inline constexpr std::int16_t kSecondSampleSizes[] = {37, 42, 165};
inline constexpr std::int16_t SecondSampleSizeDifference = 38;
inline constexpr std::int16_t SecondSampleSizeRatio = 5;
// "No Of Groups": the groups beyond the listed sizes have the last size.
inline constexpr std::int16_t NoOfGroups = 17;
}  // namespace param

}  // namespace pelmora
