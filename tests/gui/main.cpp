// Runs every window test class; the platform is offscreen unless the
// environment names another.  The program's settings (the recent files) and
// Qt's own go to a folder of the test run, never to the user's.
#include <QSettings>
#include <QTemporaryDir>

#include "gui/gui_test.h"

namespace pelmora::gui_testing {

std::vector<TestFactory>& Registry() {
  static std::vector<TestFactory> tests;
  return tests;
}

}  // namespace pelmora::gui_testing

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir settings;
  qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
  QApplication app(argc, argv);
  // PELMORA_GUI_CLASS runs only the classes whose name holds it.
  const QString only = qEnvironmentVariable("PELMORA_GUI_CLASS");
  int failures = 0;
  for (const auto& make : pelmora::gui_testing::Registry()) {
    std::unique_ptr<QObject> test = make();
    if (!only.isEmpty() && !QString::fromLatin1(test->metaObject()->className()).contains(only)) continue;
    failures += QTest::qExec(test.get(), argc, argv);
  }
  return failures == 0 ? 0 : 1;
}
