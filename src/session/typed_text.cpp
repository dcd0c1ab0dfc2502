#include "session/typed_text.h"

#include "format/code_page.h"
#include "format/number_entry.h"
#include "session/settings_record.h"

namespace pelmora {

bool CheckDigits(std::string& text, UserInterface& ui) {
  const std::string character = TakeFirstDisallowedCharacter(text);
  if (character.empty()) return true;
  ui.Beep();
  ui.Warn(character + "   is not allowed. Must be a digit.");
  return false;
}

bool CheckWindowsAnsi(std::string& text, UserInterface& ui) {
  const std::string c = FirstCharacterNotInWindowsAnsi(text);
  if (c.empty()) return true;
  ui.Beep();
  ui.Warn(CannotBeKeptMessage(c));
  text.erase(text.find(c), c.size());
  return false;
}

}  // namespace pelmora
