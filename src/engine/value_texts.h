// The value texts of the listed parameters: read into their values, and
// refused when one is not a number.
#pragma once

#include <initializer_list>
#include <string>

#include "session/session.h"

namespace pelmora {

// The caption of the parameter listed at a position, without its "&".
std::string CaptionAt(const Session& s, int p);

// Reads every listed value from its value text (decimal comma accepted).
void ReadParameterValues(Session& s);

// Refuses a value text that is not one well-formed number: the message names
// the parameter ("Sample Size 1: "2.5.3" is not a number").  Position 1 and
// the positions in `skip` (the unknown; in a range x, and z when it has a list
// of values) are not looked at; neither is a blank text or "-", which the
// checks report as having no value.
bool CheckValueTexts(Session& s, std::initializer_list<int> skip);

// Shows that `text`, the text of `what`, is not a number; returns false.
bool RefuseMalformed(Session& s, const std::string& what, const std::string& text);

}  // namespace pelmora
