#include "app/recent_files.h"

#include <QFileInfo>
#include <QSettings>

#include "session/user_interface.h"

namespace pelmora {

namespace {

// The settings files the File menu remembers.
constexpr int kRecentFileCount = 8;
constexpr const char* kRecentFilesKey = "recentFiles";

QSettings ProgramSettings() {
  return QSettings(QSettings::NativeFormat, QSettings::UserScope, QString::fromLatin1(kProgramTitle),
                   QString::fromLatin1(kProgramTitle));
}

}  // namespace

QStringList RecentSettingsFiles() { return ProgramSettings().value(kRecentFilesKey).toStringList(); }

void RememberRecentSettingsFile(const QString& path) {
  const QString absolute = QFileInfo(path).absoluteFilePath();
  QStringList files = RecentSettingsFiles();
  files.removeAll(absolute);
  files.prepend(absolute);
  while (files.size() > kRecentFileCount) files.removeLast();
  QSettings settings = ProgramSettings();
  settings.setValue(kRecentFilesKey, files);
}

}  // namespace pelmora
