// The captions of the Test Procedures and Sample Distributions menus, by item
// index (separators counted, captioned "-"), and the help contexts they give.
#pragma once

#include <string>
#include <vector>

namespace pelmora {

// The File menu by index; "-" is a separator and an empty caption an index
// that holds no item.
const std::vector<std::string>& FileMenuCaptions();
// Help contexts of the File menu items, by index (0 for no item).
int FileMenuHelpContext(int index);
const std::vector<std::string>& EditMenuCaptions();
const std::vector<std::string>& WindowMenuCaptions();
const std::vector<std::string>& HelpMenuCaptions();

// The menu headings, in menu-bar order.
inline constexpr const char* kMenuHeadings[6] = {
    "&File", "&Edit", "&Test Procedures", "&Sample Distributions", "&Window", "&Help"};

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
