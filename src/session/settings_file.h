// Settings files (".dim"): the settings of one result window as one record of
// 1352 bytes, so that a file moves between machines.  Integers are 2 bytes,
// little-endian; a text is a 2-byte length and that many bytes in the
// Windows ANSI code page (cp1252); arrays element by element.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "session/session.h"

namespace pelmora {

inline constexpr std::size_t kSettingsRecordLength = 1352;

// UTF-8 to cp1252 and back; a character cp1252 lacks becomes "?".
std::string ToWindowsAnsi(const std::string& utf8);
std::string FromWindowsAnsi(const std::string& ansi);

// The record as written to a file, padded with zeros to its full length;
// nothing when its texts do not fit.
std::optional<std::vector<std::uint8_t>> EncodeSettingsRecord(const WindowSettings& r);

// "Calc", "Table", "Graph" or "Monte" (by kind), the number and ".dim".
std::string ProposedSettingsFileName(const WindowSettings& r);

// Writes the active window's record to `path` and clears its unsaved-changes
// flag.  The file is written beside the target first and then renamed over
// it, so a failed save leaves an earlier file as it was.  A failure is told
// through the session's user interface; returns false then.
bool WriteSettingsFile(Session& s, const std::string& path);

}  // namespace pelmora
