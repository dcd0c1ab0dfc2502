// Settings files (".dim"): reading one (its record checked, see
// settings_record.h) and writing the active window's record to one.
#pragma once

#include <optional>
#include <string>

#include "format/code_page.h"
#include "session/session.h"
#include "session/settings_record.h"

namespace pelmora {

// The title of the messages about opening a settings file.
inline constexpr const char* kOpenFileTitle = "Open File";

// The one message box titled "Open File" that tells why the file at `path`
// cannot be opened.
void TellOpenRefused(Session& s, const std::string& path, const std::string& why);

// Reads the file at `path` (a regular file only, at most one byte more than a
// record) and decodes it.  A refusal is told in one message box titled "Open
// File" that names the file and the reason.  Changes nothing in the session.
std::optional<WindowSettings> ReadSettingsFile(Session& s, const std::string& path);

// "Calc", "Table", "Graph" or "Monte" (by kind), the number and ".dim".
std::string ProposedSettingsFileName(const WindowSettings& r);

// Writes the active window's record to `path` as a user's file (see
// user_files.h) and clears its unsaved-changes flag.  A refusal or failure is
// told through the session's user interface; returns false then, and an
// earlier file is as it was.
bool WriteSettingsFile(Session& s, const std::string& path);

}  // namespace pelmora
