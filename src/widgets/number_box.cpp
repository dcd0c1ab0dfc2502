#include "widgets/number_box.h"

#include <QFocusEvent>
#include <QTimer>
#include <algorithm>

#include "format/number_entry.h"

namespace pelmora {

std::string CheckTypedNumber(QLineEdit* box, UserInterface& ui) {
  const QString typed = box->text();
  const int cursor = box->cursorPosition();
  std::string text = typed.toStdString();
  bool corrected = false;
  while (!CheckDigits(text, ui)) corrected = true;
  if (corrected) {
    const QString shown = QString::fromStdString(text);
    box->setText(shown);
    box->setCursorPosition(std::min(static_cast<int>(shown.size()), std::max(0, cursor - 1)));
  }
  return text;
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
