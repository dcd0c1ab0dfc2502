// What pelmora-cli prints: the listed parameters, a calculation as text or
// JSON, the menus of --list, a table as text or rich text.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/arguments.h"
#include "output/output_text.h"
#include "output/table_layout.h"
#include "session/session.h"
#include "session/solve_outcome.h"
#include "session/window_records.h"

namespace pelmora::cli {

// The number of characters of a UTF-8 text (its width in a fixed-pitch font).
std::size_t Width(std::string_view text);
std::string PadRight(std::string text, std::size_t width);
std::string PadLeft(std::string text, std::size_t width);
// The shortest text of a number, or null when it is not finite.
std::string JsonNumber(double value);

// --describe: position, id, caption and value text of every listed parameter.
void WriteDescribe(const Session& s, std::ostream& out);
// The description, a rule, "caption: value" per parameter and the power of
// the solved design.
void WriteCalculationText(const Session& s, std::ostream& out);
// The calculation as one JSON object: the unknown with its value (null
// without one, and for a result beyond a limit), text, "reason" (null unless
// it is not calculable) and, for a step or a limit, "note"; the power of the
// solved design and the whole sizes of a solved sample size (AchievedPower);
// every listed parameter; the messages shown.
void WriteCalculationJson(const Session& s, const SolveOutcome& outcome,
                          const std::vector<std::string>& messages, std::ostream& out);
// A table as one JSON object (--table --json): the range results by x and z
// values, null where a point was not calculated, and the values held fixed.
void WriteTableJson(const Session& s, const TableContent& content, const std::vector<std::string>& messages,
                    std::ostream& out);
// --list: the menus, the parameter choices, the options and the groups.
void WriteList(std::ostream& out);

// The width of a text in a fixed-pitch font: one unit per character.
double CharacterWidth(std::string_view text);
// The output font of --rtf: Arial 9 unless --font or --font-size say
// otherwise.
OutputFont OutputFontOf(const Request& r);
// The table as the record's columns and decimals lay it out, one measuring
// unit per character: as text, or as a rich-text document.
std::string TableText(const Session& s, const TableContent& content, const WindowSettings& record,
                      const Request& r);

}  // namespace pelmora::cli
