#include "session/settings_file.h"

#include "session/user_files.h"

namespace pelmora {

void TellOpenRefused(Session& s, const std::string& path, const std::string& why) {
  s.ui().ShowMessage(FileSubject(path) + " cannot be opened: " + why + ".", kOpenFileTitle,
                     MessageIcon::Exclamation);
}

std::optional<WindowSettings> ReadSettingsFile(Session& s, const std::string& path) {
  std::string why;
  const std::optional<std::string> contents = ReadUserFile(path, kSettingsRecordLength, why);
  if (!contents) {
    TellOpenRefused(s, path, why);
    return std::nullopt;
  }
  if (contents->size() > kSettingsRecordLength) {
    TellOpenRefused(s, path, RecordLengthReason("more than " + ByteCount(kSettingsRecordLength)));
    return std::nullopt;
  }
  const auto* data = reinterpret_cast<const std::uint8_t*>(contents->data());
  auto r = DecodeSettingsRecord(std::span<const std::uint8_t>(data, contents->size()), why);
  if (!r) TellOpenRefused(s, path, why);
  return r;
}

std::string ProposedSettingsFileName(const WindowSettings& r) {
  static const char* const kStems[] = {"Calc", "Table", "Graph", "Monte"};
  const int kind = r.kind >= 0 && r.kind <= 3 ? r.kind : 0;
  return std::string(kStems[kind]) + std::to_string(r.number) + ".dim";
}

bool WriteSettingsFile(Session& s, const std::string& path) {
  if (s.ActiveRecord < 1 || s.ActiveRecord >= static_cast<int>(s.records.size())) return false;
  WindowSettings& r = s.records[static_cast<std::size_t>(s.ActiveRecord)];
  std::string why;
  const auto bytes = EncodeSettingsRecord(r, &why);
  if (!bytes) {
    s.ui().Warn("The settings of \"" + r.title + "\" cannot be saved. " + why);
    return false;
  }
  std::string error;
  if (!WriteUserFile(path, std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()),
                     error)) {
    s.ui().Warn(error);
    return false;
  }
  r.WindowChanged = false;
  return true;
}

}  // namespace pelmora
