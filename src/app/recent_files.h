// The settings files last opened or saved, as the File menu's Recent Files
// lists them: the latest first, at most eight, kept by QSettings.
#pragma once

#include <QString>
#include <QStringList>

namespace pelmora {

QStringList RecentSettingsFiles();
// Puts the file (by its absolute path) first, dropping an earlier entry of
// it and the ninth.
void RememberRecentSettingsFile(const QString& path);

}  // namespace pelmora
