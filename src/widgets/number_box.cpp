#include "widgets/number_box.h"

#include <QFocusEvent>
#include <QTimer>
#include <algorithm>
#include <functional>

#include "format/number_entry.h"
#include "session/typed_text.h"

namespace pelmora {

namespace {

// Runs a character check over the box's text until it passes; the refused
// characters are removed and the cursor kept in place.
std::string CheckBox(QLineEdit* box, const std::function<bool(std::string&)>& check) {
  const QString typed = box->text();
  const int cursor = box->cursorPosition();
  std::string text = typed.toStdString();
  bool corrected = false;
  while (!check(text)) corrected = true;
  if (corrected) {
    const QString shown = QString::fromStdString(text);
    box->setText(shown);
    box->setCursorPosition(
        std::min(static_cast<int>(shown.size()), std::max(0, cursor - static_cast<int>(typed.size() - shown.size()))));
  }
  return text;
}

}  // namespace

std::string CheckTypedNumber(QLineEdit* box, UserInterface& ui) {
  return CheckBox(box, [&ui](std::string& text) { return CheckDigits(text, ui); });
}

std::string CheckKeptText(QLineEdit* box, UserInterface& ui) {
  return CheckBox(box, [&ui](std::string& text) { return CheckWindowsAnsi(text, ui); });
}

void KeepTextsInSettingsFiles(QLineEdit* box, UserInterface& ui) {
  QObject::connect(box, &QLineEdit::textEdited, box, [box, &ui] { CheckKeptText(box, ui); });
}

NumberBox::NumberBox(UserInterface& ui, QWidget* parent) : QLineEdit(parent), ui_(ui) {
  connect(this, &QLineEdit::textEdited, this,
          [this] { emit edited(QString::fromStdString(CheckTypedNumber(this, ui_))); });
}

void NumberBox::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  // After the click that gave the focus has placed the cursor.
  QTimer::singleShot(0, this, [this] {
    if (hasFocus()) selectAll();
  });
}

}  // namespace pelmora
