#include "app/print_dialogs.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QWidget>

#include "session/user_interface.h"
#include "views/result_output.h"
#include "widgets/result_window.h"

namespace pelmora {

namespace {

// The document is named for the window, the margins set.
void PreparePrinter(QPrinter& printer, const ResultWindow& w) {
  printer.setDocName(w.caption());
  SetPrintMargins(printer);
}

}  // namespace

void PrintWindow(QWidget* parent, Session& s, ResultWindow& window, UserInterface& ui) {
  QPrinter printer(QPrinter::HighResolution);
  PreparePrinter(printer, window);
  QPrintDialog dialog(&printer, parent);
  if (dialog.exec() != QDialog::Accepted) return;
  if (!PrintResult(s, window, printer)) ui.Warn("The printer cannot be used.");
}

void PreviewWindow(QWidget* parent, Session& s, ResultWindow& window, UserInterface& ui) {
  QPrinter printer(QPrinter::HighResolution);
  PreparePrinter(printer, window);
  QPrintPreviewDialog preview(&printer, parent);
  preview.setObjectName(QStringLiteral("frmPrintPreview"));
  preview.setWindowTitle(QStringLiteral("Print Preview"));
  QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&](QPrinter* p) {
    if (!PrintResult(s, window, *p)) ui.Warn("The printer cannot be used.");
  });
  const QRect bounds = parent->geometry();
  preview.resize(bounds.size() * 0.9);
  preview.move(bounds.topLeft() + QPoint(bounds.width() / 20, bounds.height() / 20));
  preview.exec();
}

}  // namespace pelmora
