#include "app/file_dialogs.h"

#include <QFile>
#include <QFileDialog>
#include <QStringList>
#include <string>

#include "app/picture_size_dialog.h"
#include "output/table_export.h"
#include "session/settings_file.h"
#include "session/user_interface.h"
#include "views/graph_export.h"
#include "views/range_window.h"

namespace pelmora {

QString SettingsFilter() {
  return QStringLiteral("All Files (*.*);;") + QString::fromLatin1(kProgramTitle) +
         QStringLiteral(" Files (*.dim)");
}

QString AskSettingsFileToOpen(QWidget* parent) {
  const QString programFiles = QString::fromLatin1(kProgramTitle) + QStringLiteral(" Files (*.dim)");
  QString selected = programFiles;
  return QFileDialog::getOpenFileName(parent, QStringLiteral("Open File"), QString(), SettingsFilter(), &selected);
}

QString AskSettingsFileToSave(QWidget* parent, const QString& proposed) {
  const QString programFiles = QString::fromLatin1(kProgramTitle) + QStringLiteral(" Files (*.dim)");
  QString selected = programFiles;
  return QFileDialog::getSaveFileName(parent, QStringLiteral("Save As"), proposed, SettingsFilter(), &selected);
}

void ExportWindow(QWidget* parent, RangeWindow* w, UserInterface& ui) {
  if (w == nullptr) {
    ui.Warn("Only a Table or a Graph can be exported.");
    return;
  }
  if (!w->hasResults()) {
    ui.Warn("The window has no results to export yet.");
    return;
  }
  const WindowSettings* record = w->record();
  if (record == nullptr) return;
  const QString base = QString::fromStdString(ProposedSettingsFileName(*record)).section('.', 0, 0);
  std::string error;
  if (auto* table = qobject_cast<TableWindow*>(w)) {
    const QString csv = QStringLiteral("Comma-Separated Values (*.csv)");
    const QString text = QStringLiteral("Text (*.txt)");
    QString selected = csv;
    const QString name =
        QFileDialog::getSaveFileName(parent, QStringLiteral("Export"), base + QStringLiteral(".csv"),
                                     csv + QStringLiteral(";;") + text, &selected);
    if (name.isEmpty()) return;
    const bool asText = selected == text || name.endsWith(QStringLiteral(".txt"), Qt::CaseInsensitive);
    if (!ExportTable(QFile::encodeName(name).toStdString(), table->content(), *record, asText, error))
      ui.Warn(error);
    return;
  }
  auto* graph = qobject_cast<GraphWindow*>(w);
  QStringList filters = {QStringLiteral("PNG Pictures (*.png)"), QStringLiteral("PDF Documents (*.pdf)")};
  if (CanExportGraphAs(GraphFileType::Svg)) filters.insert(1, QStringLiteral("SVG Drawings (*.svg)"));
  QString selected = filters.front();
  QString name = QFileDialog::getSaveFileName(parent, QStringLiteral("Export"), base + QStringLiteral(".png"),
                                              filters.join(QStringLiteral(";;")), &selected);
  if (name.isEmpty()) return;
  if (GraphFileTypeOf(QFile::encodeName(name).toStdString()) == GraphFileType::Unknown) {
    // The type of the chosen filter.
    const int open = selected.indexOf(QStringLiteral("(*"));
    name += selected.mid(open + 2, selected.size() - open - 3);
  }
  // A picture may be larger than the window, and drawn for print.
  QSize size = graph->picture()->size();
  int dpi = 96;
  const std::string path = QFile::encodeName(name).toStdString();
  if (GraphFileTypeOf(path) == GraphFileType::Png) {
    PictureSizeDialog picture(size, parent);
    if (picture.exec() != QDialog::Accepted) return;
    size = picture.pictureSize();
    dpi = picture.dpi();
  }
  if (!ExportGraph(path, graph->content(), graph->appearance(), size, error, dpi))
    ui.Warn(error);
}

}  // namespace pelmora
