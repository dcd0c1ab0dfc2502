#include "output/table_export.h"

#include "session/session.h"
#include "session/user_files.h"

namespace pelmora {

std::string TableFixedWidthText(const TableContent& c, std::int16_t decimals, std::int16_t columns) {
  const MeasureText characters = [](std::string_view text) { return static_cast<double>(text.size()); };
  return TableModelText(LayoutTable(c, decimals, columns, characters, 1));
}

bool WriteTextFile(const std::string& path, const std::string& text, std::string& error) {
  return WriteUserFile(path, text, error);
}

bool ExportTable(const std::string& path, const TableContent& c, const WindowSettings& r, bool asText,
                 std::string& error) {
  return WriteTextFile(path, asText ? TableFixedWidthText(c, r.TableDecimals, r.TableColumns) : TableCsv(c),
                       error);
}

}  // namespace pelmora
