// Pelmora: plans statistical studies.  Starts the session, shows the main
// window and the splash window, and runs the event loop.
#include <QApplication>

#include "app/main_window.h"
#include "app/program_icon.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Pelmora"));
  QApplication::setApplicationVersion(QStringLiteral("1.0"));
  QApplication::setWindowIcon(pelmora::ProgramIcon());
  pelmora::MainWindow window;
  window.show();
  window.ShowSplash();
  return QApplication::exec();
}
