// The number-entry rules of a value box: every typed character is checked,
// a character that a number cannot hold is refused with its message and
// removed, and the whole text is selected when the box gets the focus.
#pragma once

#include <QLineEdit>
#include <string>

#include "session/user_interface.h"

namespace pelmora {

// Checks the box's text as typed; a refused character is removed and the
// cursor kept in place.  Returns the accepted text.
std::string CheckTypedNumber(QLineEdit* box, UserInterface& ui);

// The same for a title or axis text that a settings file keeps: a character
// its code page lacks is refused with a message that names it.
std::string CheckKeptText(QLineEdit* box, UserInterface& ui);
// Refuses such characters in `box` as they are typed.
void KeepTextsInSettingsFiles(QLineEdit* box, UserInterface& ui);

// A value box: its text follows the number-entry rules as it is typed
// (`edited` is then called with the accepted text) and it selects its whole
// text when it gets the focus.
class NumberBox : public QLineEdit {
  Q_OBJECT
 public:
  explicit NumberBox(UserInterface& ui, QWidget* parent = nullptr);

 signals:
  void edited(const QString& text);

 protected:
  void focusInEvent(QFocusEvent* event) override;

 private:
  UserInterface& ui_;
};

}  // namespace pelmora
