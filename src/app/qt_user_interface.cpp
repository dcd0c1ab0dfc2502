#include "app/qt_user_interface.h"

#include <QApplication>
#include <QMessageBox>

#include "app/grid_dialog.h"

namespace pelmora {

QString ToDisplayText(const std::string& text) {
  QString t = QString::fromStdString(text);
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return t;
}

namespace {

QMessageBox::Icon IconOf(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Exclamation:
      return QMessageBox::Warning;
    case MessageIcon::Question:
      return QMessageBox::Question;
    case MessageIcon::Critical:
      return QMessageBox::Critical;
    case MessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

void QtUserInterface::ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) {
  QMessageBox box(IconOf(icon), QString::fromStdString(title), ToDisplayText(text), QMessageBox::Ok, parent_);
  box.exec();
}

void QtUserInterface::Beep() { QApplication::beep(); }

Answer QtUserInterface::AskYesNoCancel(const std::string& text, const std::string& title) {
  QMessageBox box(QMessageBox::Warning, QString::fromStdString(title), ToDisplayText(text),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent_);
  box.setDefaultButton(QMessageBox::Yes);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    default:
      return Answer::Cancel;
  }
}

void QtUserInterface::EditGrid(GridEditing& grid) {
  GridDialog dialog(grid, *this, parent_);
  dialog.exec();
}

}  // namespace pelmora
