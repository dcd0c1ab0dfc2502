// Opening a settings file: its record applied to the session as a new window.
#pragma once

#include <string>

#include "engine/dispatch.h"
#include "session/session.h"

namespace pelmora {

// What opening a file does with its record: a record without a parameter list
// opens nothing (a message says so).  Otherwise a window record of the file's
// kind is opened (as "New" of that kind does), the read settings are copied
// into it under the new window's number and caption, and restored; the results
// are not current and the record counts as unchanged (it equals its file).
// Returns the new record's index, the new window's tag.
//
// The settings are first restored in a session of their own: when the
// procedure they select lists other positions, offers other options or leaves
// a role on a position it does not list, the record is refused with a
// message, 0 is returned and nothing changes (nor do the procedure modules'
// flags).  `path` names the file in the messages.  Nothing happens while a
// calculation runs.
int ApplySettingsRecord(Dispatcher& d, const WindowSettings& read, const std::string& path = {});

// ReadSettingsFile and then ApplySettingsRecord: the File menu's "Open File..."
// after its dialog.  Returns the new record's index, or 0.
int OpenSettingsFile(Dispatcher& d, const std::string& path);

}  // namespace pelmora
