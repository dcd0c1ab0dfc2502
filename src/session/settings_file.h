// Settings files (".dim"): the settings of one result window as one record of
// 1352 bytes, so that a file moves between machines.  Integers are 2 bytes,
// little-endian; a text is a 2-byte length and that many bytes in the
// Windows ANSI code page (cp1252); arrays element by element.
//
// A settings file comes from outside the program and is read as untrusted
// input: every count, index, flag and position is checked before anything of
// the session is touched, and a record is applied only when the selection it
// restores lists exactly the parameters and roles that the record names.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "session/session.h"

namespace pelmora {

class Dispatcher;

inline constexpr std::size_t kSettingsRecordLength = 1352;

// The title of the messages about opening a settings file.
inline constexpr const char* kOpenFileTitle = "Open File";

// UTF-8 to cp1252 and back; a character cp1252 lacks becomes "?".  The
// bytes cp1252 leaves unused read as the control characters of their number.
std::string ToWindowsAnsi(const std::string& utf8);
std::string FromWindowsAnsi(const std::string& ansi);

// The first character of a UTF-8 text that cp1252 lacks, or empty.
std::string FirstCharacterNotInWindowsAnsi(const std::string& utf8);
// The message about such a character: ""≥" cannot be kept in a settings
// file, which holds only the characters of the Windows code page 1252
// (Western European)."
std::string CannotBeKeptMessage(const std::string& character);
// The check of a typed title or axis text, as CheckDigits checks a number:
// at the first character cp1252 lacks, beeps, shows the message above,
// removes the character and returns false; true when every one can be kept.
bool CheckWindowsAnsi(std::string& text, UserInterface& ui);

// The record as written to a file, padded with zeros to its full length;
// nothing when a text holds a character cp1252 lacks or the texts do not
// fit, with the reason as a sentence in `why`.  No text is changed on the
// way.
std::optional<std::vector<std::uint8_t>> EncodeSettingsRecord(const WindowSettings& r,
                                                              std::string* why = nullptr);

// The inverse of EncodeSettingsRecord.  Refuses, with a one-sentence reason in
// `why` (a clause such as "its number of samples is 7, not 1 or 2" that
// follows "The file ... cannot be opened: "), a record of the wrong length, one
// whose fields run past its end, and one that CheckSettingsRecord refuses.
std::optional<WindowSettings> DecodeSettingsRecord(std::span<const std::uint8_t> bytes, std::string& why);

// The checks of the fields of a read record, each against what the rest of the
// program indexes with it: the window kind (a Monte Carlo window has its own
// reason), the menu indices, flags, counts, array entries, positions,
// catalogue ids, the table's columns and decimals and the font size.  The
// texts of value boxes (values, x range, z values, axis values) must each be
// a number as typing takes it.  A record with a parameter list must name the
// menu item it selects.
bool CheckSettingsRecord(const WindowSettings& r, std::string& why);

// Reads the file at `path` (a regular file only, at most one byte more than a
// record) and decodes it.  A refusal is told in one message box titled "Open
// File" that names the file and the reason.  Changes nothing in the session.
std::optional<WindowSettings> ReadSettingsFile(Session& s, const std::string& path);

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

// "Calc", "Table", "Graph" or "Monte" (by kind), the number and ".dim".
std::string ProposedSettingsFileName(const WindowSettings& r);

// Writes the active window's record to `path` as a user's file (see
// user_files.h) and clears its unsaved-changes flag.  A refusal or failure is
// told through the session's user interface; returns false then, and an
// earlier file is as it was.
bool WriteSettingsFile(Session& s, const std::string& path);

}  // namespace pelmora
