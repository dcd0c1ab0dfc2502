// Pictures of the windows, to be looked at: the program driven through its
// real widgets on the offscreen platform, each window grabbed at the device
// pixel ratio the platform has (QT_SCALE_FACTOR=2 gives 192 dpi).  Writes
// into the folder named by the first argument (default "screenshots"):
//   calculation.png        the solved unpaired t-test
//   protocol.png           the Output preview of that design (Edit > Copy)
//   power-curve.png        its power curve (Edit > Power Curve)
//   power-curve-axes.png   the axis-parameter dialog of the power curve
//   legend-long-title.png  the power curve over "Mean 2* - Mean 1*"
//   graph-export-300dpi.png  that graph exported at page width, 300 dpi
// scripts/screenshots.sh runs it at 96 and at 192 dpi.
#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QTest>
#include <cstdio>

#include "app/main_window.h"
#include "app/picture_size_dialog.h"
#include "gui/gui_test.h"
#include "views/output_dialog.h"

namespace pelmora {
namespace {

using namespace gui_testing;

class Camera {
 public:
  explicit Camera(QString folder) : folder_(std::move(folder)) {}
  // Saves the picture of a widget (a result window with its frame).
  bool Take(QWidget* widget, const QString& name) {
    QApplication::processEvents();
    if (auto* sub = qobject_cast<QMdiSubWindow*>(widget->parentWidget())) widget = sub;
    const QString path = QDir(folder_).filePath(name + QStringLiteral(".png"));
    const bool saved = widget->grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "FAILED", qPrintable(path));
    ok_ = ok_ && saved;
    return saved;
  }
  const QString& folder() const { return folder_; }
  bool ok() const { return ok_; }
  void Fail(const char* what) {
    std::printf("FAILED %s\n", what);
    ok_ = false;
  }

 private:
  QString folder_;
  bool ok_ = true;
};

// Types as Type does and lets the box's own selection happen before the
// next box takes the keyboard, as it does at a person's pace.
void TypeInto(QLineEdit* box, const QString& text) {
  Type(box, text);
  QApplication::processEvents();
  box->deselect();
}

void Run(Camera& camera) {
  auto w = StartProgram();
  w->resize(1200, 850);
  // The unpaired t-test with equal sizes, solved for Sample Size 1.
  w->menus().procedure(Procedure::UnpairedT)->trigger();
  OptionsDialog* options = w->optionsDialog();
  options->rowButton(1, 2)->click();
  QTest::mouseClick(options->okButton(), Qt::LeftButton);
  auto* calc = qobject_cast<CalcWindow*>(w->activeResultWindow());
  TypeInto(calc->valueBox(0), QStringLiteral("0.05"));
  TypeInto(calc->valueBox(2), QStringLiteral("0"));
  TypeInto(calc->valueBox(3), QStringLiteral("0.5"));
  TypeInto(calc->valueBox(6), QStringLiteral("1"));
  QTest::mouseClick(calc->label(5), Qt::LeftButton);
  camera.Take(calc, QStringLiteral("calculation"));

  auto preview = HandleNextDialog<OutputDialog>([&camera](OutputDialog* d) {
    camera.Take(d, QStringLiteral("protocol"));
    d->reject();
  });
  w->menus().copy->trigger();
  if (!preview->seen) camera.Fail("the Output preview did not open");

  ResultWindow* curve = w->OpenPowerCurve();
  if (curve == nullptr) return camera.Fail("the power curve did not open");
  camera.Take(curve, QStringLiteral("power-curve"));
  camera.Take(w->axisDialog(), QStringLiteral("power-curve-axes"));

  // The effect as the difference of the means: the legend's title is long.
  w->mdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(calc->parentWidget()));
  options->rowButton(0, 1)->click();
  QTest::mouseClick(options->okButton(), Qt::LeftButton);
  if (calc->label(2)->text() != QStringLiteral("M&ean 2* - Mean 1*")) camera.Fail("the form did not change");
  ResultWindow* difference = w->OpenPowerCurve();
  if (difference == nullptr) return camera.Fail("the power curve of the difference did not open");
  camera.Take(difference, QStringLiteral("legend-long-title"));

  auto file = AcceptNextFileDialog(QDir(camera.folder()).absoluteFilePath(QStringLiteral("graph-export-300dpi.png")));
  auto sized = HandleNextDialog<PictureSizeDialog>([](PictureSizeDialog* d) {
    QTest::mouseClick(d->pageWidthButton(), Qt::LeftButton);  // 18 cm at 300 dpi
    d->accept();
  });
  w->menus().exportFile->trigger();
  std::printf("%s %s\n", sized->seen ? "wrote" : "FAILED", "graph-export-300dpi.png");
  if (!sized->seen) camera.Fail("the export did not ask for the picture size");
}

}  // namespace
}  // namespace pelmora

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  pelmora::Camera camera(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots"));
  QDir().mkpath(camera.folder());
  pelmora::Run(camera);
  return camera.ok() ? 0 : 1;
}
