// The catalogue values of one session: the start-up catalogue, shared
// read-only by every session, beneath the entries this session has changed.
// An entry is copied out of the start-up catalogue the first time it is
// asked for to be changed, so making a session costs nothing of the
// catalogue and copying one costs only the entries it changed.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "session/catalogue.h"

namespace pelmora {

class CatalogueValues {
 public:
  CatalogueValues() = default;
  CatalogueValues(const CatalogueValues& other);
  CatalogueValues& operator=(const CatalogueValues& other);
  CatalogueValues(CatalogueValues&& other) noexcept;
  CatalogueValues& operator=(CatalogueValues&& other) noexcept;
  ~CatalogueValues() = default;

  // The entry of an id as this session has it; std::out_of_range for an id
  // outside the catalogue.
  const CatalogueEntry& operator[](int id) const;
  // The entry of an id, to be changed: this session's own copy from now on.
  // The reference stays valid while the values live (and are not assigned).
  CatalogueEntry& Edit(int id);
  // How many entries this session holds a copy of.
  int EditedCount() const { return static_cast<int>(edited_.size()); }

 private:
  static void CheckId(int id);

  static_assert(kCatalogueSize <= 255, "a slot is one byte");
  // By id: 0 for the start-up entry, k for edited_[k - 1].
  std::array<std::uint8_t, kCatalogueSize> slot_{};
  std::vector<std::unique_ptr<CatalogueEntry>> edited_;
};

}  // namespace pelmora
