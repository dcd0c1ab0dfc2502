#include "app/splash_window.h"

#include <QLabel>
#include <QVBoxLayout>

#include "widgets/twips.h"
#include "session/user_interface.h"

namespace pelmora {

namespace {

// A label text whose "&" marks show as underlined letters, the way a
// caption shows its accelerator.
QString WithUnderlinedAccelerators(const QString& text) {
  QString html;
  for (int i = 0; i < text.size(); ++i) {
    if (text[i] == QLatin1Char('&') && i + 1 < text.size()) {
      html += QStringLiteral("<u>") + QString(text[i + 1]).toHtmlEscaped() + QStringLiteral("</u>");
      ++i;
    } else {
      html += QString(text[i]).toHtmlEscaped();
    }
  }
  return html;
}

QLabel* NewLabel(const QString& html, const char* name, QWidget* parent) {
  auto* label = new QLabel(html, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setWordWrap(true);
  label->setTextFormat(Qt::RichText);
  label->setAlignment(Qt::AlignHCenter);
  return label;
}

}  // namespace

QString VersionText() {
  return QStringLiteral("Version ") + QString::fromLatin1(kProgramVersion) + QStringLiteral(".0");
}

SplashWindow::SplashWindow(QWidget* parent) : QFrame(parent, Qt::Tool | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("frmSplash"));
  setFrameStyle(QFrame::Box | QFrame::Raised);
  setLineWidth(2);
  setFixedWidth(TwipsToPixels(7200));
  setAutoFillBackground(true);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(24, 20, 24, 20);
  layout->setSpacing(12);
  QLabel* name = NewLabel(QString::fromLatin1(kProgramTitle), "lblProductName", this);
  QFont big = name->font();
  big.setPointSizeF(big.pointSizeF() * 2.2);
  big.setBold(true);
  name->setFont(big);
  layout->addWidget(name);
  layout->addWidget(NewLabel(VersionText(), "lblVersion", this));
  layout->addWidget(NewLabel(
      QStringLiteral("Planning statistical studies: sample sizes, power and precision"), "lblPurpose", this));
  layout->addWidget(NewLabel(
      WithUnderlinedAccelerators(QStringLiteral("To start a new session open the &File menu and choose one "
                                                "of New Calculation, New Table, New Graph or "
                                                "New Monte Carlo Simulation. Then choose  from the &Test "
                                                "Procedures or &Sample Distributions menu.")),
      "lblHint", this));
  layout->addWidget(NewLabel(
      QStringLiteral("Press key F1 at any time to get an explanation of the current test or for any other "
                     "assistance."),
      "lblHelpHint", this));
  // Word-wrapped labels take the height their width needs, no more.
  setFixedHeight(layout->totalHeightForWidth(width()));
}

void SplashWindow::CentreOver(const QWidget& owner) {
  const QRect g = owner.frameGeometry();
  move(g.center() - QPoint(width() / 2, height() / 2));
}

void SplashWindow::keyPressEvent(QKeyEvent*) { close(); }

void SplashWindow::mousePressEvent(QMouseEvent*) { close(); }

}  // namespace pelmora
