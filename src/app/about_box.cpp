#include "app/about_box.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "app/splash_window.h"
#include "session/user_interface.h"

namespace pelmora {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmAboutBox"));
  const QString title = QString::fromLatin1(kProgramTitle);
  setWindowTitle(QStringLiteral("About ") + title);
  auto* layout = new QVBoxLayout(this);
  auto* name = new QLabel(title, this);
  QFont big = name->font();
  big.setPointSizeF(big.pointSizeF() * 1.8);
  big.setBold(true);
  name->setFont(big);
  layout->addWidget(name);
  layout->addWidget(new QLabel(VersionText(), this));
  auto* text = new QLabel(
      QStringLiteral(
          "Plans statistical studies: choose a test procedure or a sample distribution, enter every "
          "design parameter but one, and the program solves for the one that is left, usually a "
          "sample size."),
      this);
  text->setWordWrap(true);
  layout->addWidget(text);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
  setFixedWidth(420);
}

}  // namespace pelmora
