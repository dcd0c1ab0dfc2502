#include "output/table_export.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "session/session.h"

namespace pelmora {

std::string TableFixedWidthText(const TableContent& c, std::int16_t decimals, std::int16_t columns) {
  const MeasureText characters = [](std::string_view text) { return static_cast<double>(text.size()); };
  return TableModelText(LayoutTable(c, decimals, columns, characters, 1));
}

bool WriteTextFile(const std::string& path, const std::string& text, std::string& error) {
  namespace fs = std::filesystem;
  const fs::path target(path);
  fs::path temporary = target;
  temporary += ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out || !out.write(text.data(), static_cast<std::streamsize>(text.size())) || !out.flush()) {
      error = "The file \"" + path + "\" cannot be written: " + std::strerror(errno) + ".";
      std::error_code ignored;
      fs::remove(temporary, ignored);
      return false;
    }
  }
  std::error_code ec;
  fs::rename(temporary, target, ec);
  if (ec) {
    error = "The file \"" + path + "\" cannot be written: " + ec.message() + ".";
    fs::remove(temporary, ec);
    return false;
  }
  return true;
}

bool ExportTable(const std::string& path, const TableContent& c, const WindowSettings& r, bool asText,
                 std::string& error) {
  return WriteTextFile(path, asText ? TableFixedWidthText(c, r.TableDecimals, r.TableColumns) : TableCsv(c),
                       error);
}

}  // namespace pelmora
