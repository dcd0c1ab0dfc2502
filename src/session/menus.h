// The captions of the Test Procedures and Sample Distributions menus, by item
// index (separators counted, captioned "-"), and the help contexts they give.
#pragma once

#include <string>
#include <vector>

namespace pelmora {

const std::vector<std::string>& TestMenuCaptions();
const std::vector<std::string>& DistributionMenuCaptions();

// True for an index that names a menu item rather than a separator.
bool IsTestItem(int index);
bool IsDistributionItem(int index);

// Help contexts of the two menu headings; an item's context is its heading's
// plus the item index plus 1.
inline constexpr int kTestMenuHelpContext = 200;
inline constexpr int kDistributionMenuHelpContext = 300;

// Captions of the procedure option buttons by ProcedureKind.
inline constexpr const char* kProcedureCaptions[3] = {"Test", "Point Estimate", "Conf. Interval"};

}  // namespace pelmora
