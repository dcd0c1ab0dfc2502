#include "session/catalogue_values.h"

#include <stdexcept>
#include <string>

namespace pelmora {

CatalogueValues::CatalogueValues(const CatalogueValues& other) : slot_(other.slot_) {
  edited_.reserve(other.edited_.size());
  for (const auto& e : other.edited_) edited_.push_back(std::make_unique<CatalogueEntry>(*e));
}

CatalogueValues& CatalogueValues::operator=(const CatalogueValues& other) {
  if (this != &other) *this = CatalogueValues(other);
  return *this;
}

CatalogueValues::CatalogueValues(CatalogueValues&& other) noexcept
    : slot_(other.slot_), edited_(std::move(other.edited_)) {
  other.slot_.fill(0);
  other.edited_.clear();
}

CatalogueValues& CatalogueValues::operator=(CatalogueValues&& other) noexcept {
  if (this != &other) {
    slot_ = other.slot_;
    edited_ = std::move(other.edited_);
    other.slot_.fill(0);
    other.edited_.clear();
  }
  return *this;
}

void CatalogueValues::CheckId(int id) {
  if (id < 0 || id >= kCatalogueSize)
    throw std::out_of_range("catalogue id " + std::to_string(id) + " is outside 0 to " +
                            std::to_string(kCatalogueSize - 1));
}

const CatalogueEntry& CatalogueValues::operator[](int id) const {
  CheckId(id);
  const std::uint8_t k = slot_[static_cast<std::size_t>(id)];
  return k == 0 ? BuildCatalogue()[static_cast<std::size_t>(id)] : *edited_[k - 1u];
}

CatalogueEntry& CatalogueValues::Edit(int id) {
  CheckId(id);
  std::uint8_t& k = slot_[static_cast<std::size_t>(id)];
  if (k == 0) {
    edited_.push_back(std::make_unique<CatalogueEntry>(BuildCatalogue()[static_cast<std::size_t>(id)]));
    k = static_cast<std::uint8_t>(edited_.size());
  }
  return *edited_[k - 1u];
}

}  // namespace pelmora
