// Support for the window tests: a registry of test classes run by one
// program, a fresh main window per test, the answering of modal dialogs the
// way a user would, and the windows most tests start from.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QObject>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

#include "app/main_window.h"
#include "forms/calc_window.h"
#include "forms/options_dialog.h"
#include "views/axis_dialog.h"
#include "views/range_window.h"

namespace pelmora::gui_testing {

using TestFactory = std::function<std::unique_ptr<QObject>()>;
std::vector<TestFactory>& Registry();

template <typename T>
struct Registrar {
  Registrar() {
    Registry().push_back([] { return std::unique_ptr<QObject>(std::make_unique<T>()); });
  }
};

#define PELMORA_GUI_TEST(Class) static ::pelmora::gui_testing::Registrar<Class> registrar_##Class;

// Hands the next modal dialog of type T to `act` (which closes it) once it is
// up.  Set up before the action that shows it; it stops waiting when it goes
// out of scope.
template <typename T>
struct DialogHandler {
  QTimer timer;
  bool seen = false;
};
template <typename T>
std::unique_ptr<DialogHandler<T>> HandleNextDialog(std::function<void(T*)> act) {
  auto handler = std::make_unique<DialogHandler<T>>();
  DialogHandler<T>* h = handler.get();
  QObject::connect(&h->timer, &QTimer::timeout, [h, act] {
    auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    h->timer.stop();
    h->seen = true;
    act(dialog);
  });
  h->timer.start(10);
  return handler;
}

// What a message box said, once it was answered with `answer`.
struct SeenMessage {
  bool seen = false;
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QList<QMessageBox::StandardButton> buttons;
};
struct MessageAnswerer : SeenMessage {
  std::unique_ptr<DialogHandler<QMessageBox>> handler;
};
inline std::unique_ptr<MessageAnswerer> AnswerNextMessageBox(QMessageBox::StandardButton answer) {
  auto answerer = std::make_unique<MessageAnswerer>();
  answerer->handler = HandleNextDialog<QMessageBox>([a = answerer.get(), answer](QMessageBox* box) {
    a->seen = true;
    a->title = box->windowTitle();
    a->text = box->text();
    a->icon = box->icon();
    for (QAbstractButton* b : box->buttons()) a->buttons << box->standardButton(b);
    std::sort(a->buttons.begin(), a->buttons.end());
    if (QAbstractButton* b = box->button(answer)) b->click();
  });
  return answerer;
}

// Answers every message box with OK while it lives and notes their texts.
struct MessageWatch {
  QTimer timer;
  QStringList texts;
  MessageWatch() {
    QObject::connect(&timer, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      texts << box->text();
      box->button(box->buttons().size() == 1 ? box->standardButton(box->buttons().first()) : QMessageBox::Ok)
          ->click();
    });
    timer.start(10);
  }
};

// Rejects the next modal dialog of any kind; notes its name and caption.
struct DialogRejecter {
  std::unique_ptr<DialogHandler<QDialog>> handler;
  QString name;
  QString title;
};
inline std::unique_ptr<DialogRejecter> RejectNextDialog() {
  auto rejecter = std::make_unique<DialogRejecter>();
  rejecter->handler = HandleNextDialog<QDialog>([r = rejecter.get()](QDialog* dialog) {
    r->name = dialog->objectName();
    r->title = dialog->windowTitle();
    dialog->reject();
  });
  return rejecter;
}

// Answers the next file dialog with `path`, typed into its name box; notes
// the name it proposed.
struct FileDialogAnswerer {
  std::unique_ptr<DialogHandler<QFileDialog>> handler;
  QString proposed;
};
inline std::unique_ptr<FileDialogAnswerer> AcceptNextFileDialog(const QString& path) {
  auto answerer = std::make_unique<FileDialogAnswerer>();
  answerer->handler = HandleNextDialog<QFileDialog>([a = answerer.get(), path](QFileDialog* dialog) {
    a->proposed = dialog->selectedFiles().value(0);
    if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
      name->setText(path);
    else
      dialog->selectFile(path);
    static_cast<QDialog*>(dialog)->accept();
  });
  return answerer;
}

// The rectangle of a window inside the main window, in global coordinates.
inline QRect GlobalFrame(const QWidget* sub) { return QRect(sub->mapToGlobal(QPoint(0, 0)), sub->size()); }

// A main window as the program starts it, with the help pages of the source
// tree.
inline std::unique_ptr<MainWindow> StartProgram() {
  auto w = std::make_unique<MainWindow>();
  w->setHelpFolder(QStringLiteral(PELMORA_HELP_DIR));
  w->show();
  QApplication::processEvents();
  return w;
}

// Replaces the text of a box as a user does: select everything and type.
inline void Type(QLineEdit* box, const QString& text) {
  box->setFocus();
  box->selectAll();
  QTest::keyClick(box, Qt::Key_Delete);
  QTest::keyClicks(box, text);
}

// A new Calculation window with the unpaired t-test chosen and the options
// confirmed.
inline CalcWindow* UnpairedTTest(MainWindow& w) {
  w.menus().newCalculation->trigger();
  w.menus().procedure(Procedure::UnpairedT)->trigger();
  QTest::mouseClick(w.optionsDialog()->okButton(), Qt::LeftButton);
  return qobject_cast<CalcWindow*>(w.activeResultWindow());
}

// Chooses the entry with `caption` in a role list, as a click would.
inline void Choose(QComboBox* list, const QString& caption) {
  const int i = list->findText(caption);
  QVERIFY2(i >= 0, qPrintable(caption));
  list->setCurrentIndex(i);
  emit list->activated(i);
}

// A New Table (a TableWindow) or New Graph (a GraphWindow) of the unpaired
// t-test: the first sample size over the standard deviation for values of
// the second mean; with a range given, it is calculated.
template <typename Window>
Window* OpenRangeWindow(MainWindow& w, const QStringList& range = {}) {
  (std::is_same_v<Window, TableWindow> ? w.menus().newTable : w.menus().newGraph)->trigger();
  w.menus().procedure(Procedure::UnpairedT)->trigger();
  QTest::mouseClick(w.optionsDialog()->okButton(), Qt::LeftButton);
  AxisParameterDialog* dialog = w.axisDialog();
  Choose(dialog->roleList(0), QStringLiteral("Sample Size 1"));
  Choose(dialog->roleList(1), QStringLiteral("Standard Deviation*"));
  Choose(dialog->roleList(2), QStringLiteral("Mean 2*"));
  if (range.size() == 4) {
    // A Calculation window may have left its result as the P-value's text.
    for (int i = 0; i < kAxisDialogRows; ++i)
      if (dialog->parLabel(i)->text() == QStringLiteral("P-value")) Type(dialog->parBox(i), QStringLiteral("0.05"));
    QLineEdit* boxes[] = {dialog->xMinBox(), dialog->xMaxBox(), dialog->xStepBox(), dialog->zBox()};
    for (int i = 0; i < 4; ++i) Type(boxes[i], range[i]);
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
  }
  return qobject_cast<Window*>(w.activeResultWindow());
}

}  // namespace pelmora::gui_testing
