// Support for the window tests: a registry of test classes run by one
// program, a fresh main window per test, and the answering of modal message
// boxes the way a user would.
#pragma once

#include <QAbstractButton>
#include <QApplication>
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
#include <vector>

#include "app/main_window.h"

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

// What a message box said.
struct SeenMessage {
  bool seen = false;
  QString title;
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QList<QMessageBox::StandardButton> buttons;
};

// Waits for the next modal message box, notes what it says and clicks
// `answer` (which it must offer).  Set up before the action that shows it;
// it stops waiting when it goes out of scope.
struct MessageAnswerer : SeenMessage {
  QTimer timer;
};

inline std::unique_ptr<MessageAnswerer> AnswerNextMessageBox(QMessageBox::StandardButton answer) {
  auto answerer = std::make_unique<MessageAnswerer>();
  MessageAnswerer* a = answerer.get();
  QObject::connect(&a->timer, &QTimer::timeout, [a, answer] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    a->timer.stop();
    a->seen = true;
    a->title = box->windowTitle();
    a->text = box->text();
    a->icon = box->icon();
    for (QAbstractButton* b : box->buttons()) a->buttons << box->standardButton(b);
    std::sort(a->buttons.begin(), a->buttons.end());
    if (QAbstractButton* b = box->button(answer)) b->click();
  });
  a->timer.start(10);
  return answerer;
}

// Closes the next modal dialog of any kind by rejecting it; notes its object
// name and caption.
struct DialogRejecter {
  QTimer timer;
  QString name;
  QString title;
};

inline std::unique_ptr<DialogRejecter> RejectNextDialog() {
  auto rejecter = std::make_unique<DialogRejecter>();
  DialogRejecter* r = rejecter.get();
  QObject::connect(&r->timer, &QTimer::timeout, [r] {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    r->timer.stop();
    r->name = dialog->objectName();
    r->title = dialog->windowTitle();
    dialog->reject();
  });
  r->timer.start(10);
  return rejecter;
}

// Answers the next file dialog with `path`; notes the name it proposed.
struct FileDialogAnswerer {
  QTimer timer;
  QString proposed;
};

inline std::unique_ptr<FileDialogAnswerer> AcceptNextFileDialog(const QString& path) {
  auto answerer = std::make_unique<FileDialogAnswerer>();
  FileDialogAnswerer* a = answerer.get();
  QObject::connect(&a->timer, &QTimer::timeout, [a, path] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    a->timer.stop();
    const QStringList selected = dialog->selectedFiles();
    a->proposed = selected.value(0);
    // The user types the whole path into the name box.
    if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
      name->setText(path);
    else
      dialog->selectFile(path);
    static_cast<QDialog*>(dialog)->accept();
  });
  a->timer.start(10);
  return answerer;
}

// A main window as the program starts it, with the help pages of the source
// tree.
inline std::unique_ptr<MainWindow> StartProgram() {
  auto w = std::make_unique<MainWindow>();
  w->setHelpFolder(QStringLiteral(PELMORA_HELP_DIR));
  w->show();
  QApplication::processEvents();
  return w;
}

}  // namespace pelmora::gui_testing

namespace pelmora::gui_testing {

// Hands the next modal dialog of type T to `act` (which closes it).
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

}  // namespace pelmora::gui_testing
