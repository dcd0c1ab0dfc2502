// The windowed program's side of the core's message channel: modal message
// boxes over the main window and the system's warning sound.
#pragma once

#include <QString>

#include "session/user_interface.h"

class QWidget;

namespace pelmora {

// Texts of the core use "\r\n" line breaks; message boxes want "\n".
QString ToDisplayText(const std::string& text);

class QtUserInterface : public UserInterface {
 public:
  explicit QtUserInterface(QWidget* parent = nullptr) : parent_(parent) {}
  void setParent(QWidget* parent) { parent_ = parent; }

  void ShowMessage(const std::string& text, const std::string& title, MessageIcon icon) override;
  void Beep() override;
  Answer AskYesNoCancel(const std::string& text, const std::string& title) override;
  void EditGrid(GridEditing& grid) override;

 private:
  QWidget* parent_;
};

}  // namespace pelmora
