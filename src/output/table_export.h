// A table written to a file: as comma-separated values, or as the text
// layout of the Table window in a fixed-width font.
#pragma once

#include <cstdint>
#include <string>

#include "output/table_layout.h"

namespace pelmora {

struct WindowSettings;

// The table laid out one unit per character (blocks, rules of "-", cells
// right-aligned to their formats), lines ended by "\r\n"; the x column is set
// off from the results by one blank beyond the blank that ends its format.
// `decimals` -1 chooses them from the results.
std::string TableFixedWidthText(const TableContent& c, std::int16_t decimals, std::int16_t columns);

// Writes `text` to `path` as a user's file (WriteUserFile): a failed write
// leaves an earlier file as it was, and `error` says why.
bool WriteTextFile(const std::string& path, const std::string& text, std::string& error);

// The table of a window record as CSV (TableCsv) or, with `asText`, in its
// fixed-width layout with the record's columns and decimals.
bool ExportTable(const std::string& path, const TableContent& c, const WindowSettings& r, bool asText,
                 std::string& error);

}  // namespace pelmora
