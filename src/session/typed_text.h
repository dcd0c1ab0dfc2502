// The checks of what is typed into a box, as the user sees them: a character
// that is refused beeps, is named in a message and is taken out again.
#pragma once

#include <string>

#include "session/user_interface.h"

namespace pelmora {

// Checks every character of a typed number, from the first.  At the first one
// that is not allowed: beeps, shows "<character>   is not allowed. Must be a
// digit." (exclamation icon, program title), removes that character from the
// text and returns false.  Returns true when every character is allowed.
// The text is UTF-8: a character of several bytes is shown and removed whole.
// Only the first offending character is removed per call.
bool CheckDigits(std::string& text, UserInterface& ui);

// The check of a typed title or axis text, as CheckDigits checks a number:
// at the first character cp1252 lacks, beeps, shows CannotBeKeptMessage,
// removes the character and returns false; true when every one can be kept.
bool CheckWindowsAnsi(std::string& text, UserInterface& ui);

}  // namespace pelmora
