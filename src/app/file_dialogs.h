// The file dialogs of the File menu: the settings file to open or to save,
// and the export of a Table or Graph window.
#pragma once

#include <QString>

class QWidget;

namespace pelmora {

class RangeWindow;
class UserInterface;

// The filter of the settings-file dialogs: all files, or the program's.
QString SettingsFilter();
// File > Open File...: the settings file the user chose, or empty.
QString AskSettingsFileToOpen(QWidget* parent);
// Save As: the name the user gave, `proposed` offered first, or empty.
QString AskSettingsFileToSave(QWidget* parent, const QString& proposed);

// File > Export...: writes the window (nullptr: none) as comma-separated
// values or text (a Table) or as a picture, a drawing or a PDF page (a
// Graph) to a file the user names; a window that cannot be exported, and a
// failure, are told through `ui`.
void ExportWindow(QWidget* parent, RangeWindow* window, UserInterface& ui);

}  // namespace pelmora
