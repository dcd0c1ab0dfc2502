#include "widgets/result_window.h"

#include <QCloseEvent>

namespace pelmora {

namespace {

int DefaultHelpContext(WindowKind kind) {
  switch (kind) {
    case WindowKind::Table:
      return 102;
    case WindowKind::Graph:
      return 103;
    case WindowKind::MonteCarlo:
      return 104;
    default:
      return 101;
  }
}

}  // namespace

ResultWindow::ResultWindow(WindowKind kind, int tag, ResultWindowHost& host, QWidget* parent)
    : QWidget(parent), kind_(kind), tag_(tag), helpContext_(DefaultHelpContext(kind)), host_(host) {}

void ResultWindow::closeEvent(QCloseEvent* event) {
  if (!host_.AllowClose(*this)) {
    event->ignore();
    return;
  }
  event->accept();
  host_.WindowUnloaded(*this);
}

}  // namespace pelmora
