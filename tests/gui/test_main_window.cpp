// The main window: new windows and their numbers and places, the Busy rule,
// the splash window, Cascade and Tile that leave every window usable, the
// items that cannot act greyed out, the shortcuts, the recent files and the
// list of open windows.
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>

#include "gui/gui_test.h"
#include "widgets/twips.h"

namespace pelmora::gui_testing {

namespace {

QStringList Titles(const MainWindow& w) {
  QStringList titles;
  for (QMdiSubWindow* sub : w.mdiArea()->subWindowList(QMdiArea::CreationOrder)) titles << sub->windowTitle();
  return titles;
}

QStringList Texts(const std::vector<QAction*>& actions) {
  QStringList texts;
  for (const QAction* a : actions) texts << a->text();
  return texts;
}

// Every sub-window at least as large as its window can be read in, and a
// Calculation window's value boxes as wide as their texts.
void ExpectUsable(const MainWindow& w) {
  for (QMdiSubWindow* sub : w.mdiArea()->subWindowList()) {
    const QSize size = sub->widget()->size();
    const QSize usable = sub->widget()->minimumSizeHint();
    QVERIFY2(size.width() >= usable.width() && size.height() >= usable.height(),
             qPrintable(QStringLiteral("%1: %2x%3, usable from %4x%5")
                            .arg(sub->windowTitle())
                            .arg(size.width())
                            .arg(size.height())
                            .arg(usable.width())
                            .arg(usable.height())));
    if (auto* calc = qobject_cast<CalcWindow*>(sub->widget()))
      for (int r = 0; r < kCalculationRows; ++r) {
        QLineEdit* box = calc->valueBox(r);
        if (!box->isHidden())
          QVERIFY(box->width() > box->fontMetrics().horizontalAdvance(box->text()) + 4);
      }
  }
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void windowsAreNumberedByKindAndCascadeAsTheyOpen() {
    auto w = StartProgram();
    QCOMPARE(w->windowTitle(), QStringLiteral("Pelmora1.0"));
    for (int i = 0; i < 3; ++i) w->menus().newGraph->trigger();
    w->menus().newTable->trigger();
    w->menus().newCalculation->trigger();
    QCOMPARE(Titles(*w), (QStringList{"Graph 1", "Graph 2", "Graph 3", "Table 1", "Calculation 1"}));
    QCOMPARE(w->session().ActiveRecord, 5);
    const auto subs = w->mdiArea()->subWindowList(QMdiArea::CreationOrder);
    QCOMPARE(subs[0]->pos(), QPoint(0, 0));
    QCOMPARE(subs[1]->pos(), QPoint(TwipsToPixels(150), TwipsToPixels(350)));
    QCOMPARE(subs[4]->size(), QSize(TwipsToPixels(8850), TwipsToPixels(4000)));
    // A new window has no selection and collapses the options dialog.
    w->menus().procedure(Procedure::UnpairedT)->trigger();
    QVERIFY(w->optionsDialog()->isVisible());
    w->menus().newCalculation->trigger();
    QVERIFY(!w->optionsDialog()->isVisible());
    QVERIFY(w->session().TestName.empty());
    // The last window closed: numbers and places start again.
    for (QMdiSubWindow* sub : w->mdiArea()->subWindowList()) QVERIFY(sub->close());
    QApplication::processEvents();
    QCOMPARE(w->session().ActiveRecord, 0);
    w->menus().newCalculation->trigger();
    QCOMPARE(Titles(*w), QStringList{"Calculation 1"});
    QCOMPARE(w->mdiArea()->subWindowList().first()->pos(), QPoint(0, 0));
  }

  void choosingATestWithoutAWindowOpensCalculation1() {
    auto w = StartProgram();
    w->menus().procedure(Procedure::UnpairedT)->trigger();
    QCOMPARE(Titles(*w), QStringList{"Calculation 1"});
    QCOMPARE(w->session().TestName, std::string("Student's unpaired t-test"));
    QCOMPARE(w->activeResultWindow()->helpContext(), 201);
    // A second choice reuses the window.
    w->menus().procedure(Procedure::BinomialDistribution)->trigger();
    QCOMPARE(Titles(*w), QStringList{"Calculation 1"});
    QCOMPARE(static_cast<int>(w->session().HelpContext), 305);
  }

  void busyMenusDoNothing() {
    auto w = StartProgram();
    w->session().Busy = true;
    w->menus().newCalculation->trigger();
    w->menus().procedure(Procedure::UnpairedT)->trigger();
    w->menus().procedure(Procedure::NormalDistribution)->trigger();
    QVERIFY(w->mdiArea()->subWindowList().isEmpty());
    QVERIFY(!w->optionsDialog()->isVisible());
    w->session().Busy = false;
    w->menus().procedure(Procedure::UnpairedT)->trigger();
    QCOMPARE(Titles(*w), QStringList{"Calculation 1"});
  }

  void splashClosesOnAKeyOrAClickOrAMenu() {
    auto w = StartProgram();
    w->ShowSplash();
    QStringList texts;
    for (QLabel* l : w->splash()->findChildren<QLabel*>()) texts << l->text();
    QVERIFY(texts.contains(QStringLiteral("Version 1.0.0")));
    QTest::keyClick(w->splash(), Qt::Key_Space);
    QVERIFY(w->splash() == nullptr || !w->splash()->isVisible());
    QApplication::processEvents();
    w->ShowSplash();
    QTest::mouseClick(w->splash(), Qt::LeftButton);
    QVERIFY(w->splash() == nullptr || !w->splash()->isVisible());
    QApplication::processEvents();
    w->ShowSplash();
    w->menus().newCalculation->trigger();
    QVERIFY(w->splash() == nullptr || !w->splash()->isVisible());
    auto about = RejectNextDialog();
    w->menus().about->trigger();
    QCOMPARE(about->name, QStringLiteral("frmAboutBox"));
    w->menus().exit->trigger();
    QVERIFY(!w->isVisible());
  }

  // Cascade and Tile with a solved Calculation window, a table, a graph and
  // an empty Calculation window, in a large main window and in a small one.
  void cascadeAndTileKeepEveryWindowUsable() {
    auto w = StartProgram();
    w->resize(1400, 950);
    UnpairedTTest(*w);
    OpenRangeWindow<TableWindow>(*w, {"0.5", "1", "0.25", "0.5 0.6"});
    OpenRangeWindow<GraphWindow>(*w, {"0.5", "1.5", "0.1", "0.5 0.6 0.7"});
    w->menus().newCalculation->trigger();
    const auto subs = w->mdiArea()->subWindowList(QMdiArea::CreationOrder);
    QCOMPARE(subs.size(), 4);

    w->menus().tile->trigger();  // Tile: side by side, none over another
    ExpectUsable(*w);
    for (int i = 0; i < subs.size(); ++i)
      for (int j = i + 1; j < subs.size(); ++j) QVERIFY(!subs[i]->geometry().intersects(subs[j]->geometry()));
    const QRect area = w->mdiArea()->viewport()->rect();
    for (QMdiSubWindow* sub : subs) QVERIFY(area.contains(sub->geometry()));

    // Cascade: each a title bar further on, in its own size; the active
    // window stays in front.
    w->mdiArea()->setActiveSubWindow(subs[1]);
    w->menus().cascade->trigger();
    ExpectUsable(*w);
    QCOMPARE(w->mdiArea()->subWindowList(QMdiArea::StackingOrder).last(), subs[1]);
    QCOMPARE(w->activeResultWindow(), subs[1]->widget());
    for (int i = 1; i < subs.size(); ++i) {
      QVERIFY(subs[i]->x() > subs[i - 1]->x() && subs[i]->y() > subs[i - 1]->y());
      QVERIFY(subs[i]->y() - subs[i - 1]->y() >= subs[i]->height() - subs[i]->widget()->height() - 8);
    }
    QCOMPARE(subs[1]->widget()->size(), subs[1]->widget()->sizeHint());  // the table as it opened

    // The axis-parameter dialog goes beside the active window's new place.
    QTest::mouseClick(w->optionsDialog()->okButton(), Qt::LeftButton);
    QVERIFY(w->axisDialog()->isVisible());
    w->menus().tile->trigger();
    QVERIFY(!w->axisDialog()->frameGeometry().intersects(GlobalFrame(subs[1])));

    // Too small a main window for four tiles: Tile cascades instead.
    w->resize(640, 480);
    QApplication::processEvents();
    w->menus().tile->trigger();
    ExpectUsable(*w);
    QVERIFY(subs[1]->x() > subs[0]->x());
  }

  void itemsThatCannotActAreGreyed() {
    auto w = StartProgram();
    QAction* const acting[] = {w->menus().copy, w->menus().exportFile, w->menus().saveAs, w->menus().print,
                               w->menus().printPreview, w->menus().cascade, w->menus().tile};
    for (QAction* a : acting) QVERIFY2(!a->isEnabled(), qPrintable(a->text()));
    // An empty Calculation window can be saved and arranged, not copied.
    w->menus().newCalculation->trigger();
    QVERIFY(w->menus().saveAs->isEnabled() && w->menus().tile->isEnabled());
    QVERIFY(!w->menus().copy->isEnabled() && !w->menus().print->isEnabled());
    w->menus().procedure(Procedure::UnpairedT)->trigger();
    QTest::mouseClick(w->optionsDialog()->okButton(), Qt::LeftButton);
    QVERIFY(w->menus().copy->isEnabled() && w->menus().printPreview->isEnabled());
    QVERIFY(!w->menus().exportFile->isEnabled());  // only tables and graphs are exported
    // A table without results yet.
    w->menus().newTable->trigger();
    QVERIFY(!w->menus().copy->isEnabled() && !w->menus().exportFile->isEnabled());
    // A triggered item that cannot act does nothing.
    auto refused = AnswerNextMessageBox(QMessageBox::Ok);
    w->menus().copy->trigger();
    QTest::qWait(30);
    QVERIFY(!refused->seen);
    for (QMdiSubWindow* sub : w->mdiArea()->subWindowList()) {
      auto answer = AnswerNextMessageBox(QMessageBox::No);
      QVERIFY(sub->close());
    }
    QTRY_VERIFY(!w->menus().saveAs->isEnabled());
    QCOMPARE(w->menus().openFile->shortcut(), QKeySequence(QKeySequence::Open));
    QCOMPARE(w->menus().saveAs->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    QCOMPARE(w->menus().print->shortcut(), QKeySequence(QKeySequence::Print));
    QCOMPARE(w->menus().copy->shortcut(), QKeySequence(QKeySequence::Copy));
  }

  void recentFilesKeepTheLastEight() {
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "Pelmora", "Pelmora").clear();
    auto w = StartProgram();
    QVERIFY(!w->menus().recentFiles->isEnabled());
    UnpairedTTest(*w);
    QTemporaryDir dir;
    for (int i = 1; i <= 9; ++i) {
      auto saver = AcceptNextFileDialog(dir.filePath(QStringLiteral("Calc%1.dim").arg(i)));
      w->menus().saveAs->trigger();
    }
    QStringList expected;
    for (int i = 9; i >= 2; --i) expected << QFileInfo(dir.filePath(QStringLiteral("Calc%1.dim").arg(i))).absoluteFilePath();
    QCOMPARE(MainWindow::RecentFiles(), expected);
    QCOMPARE(w->menus().recentFiles->actions().size(), 8);
    QCOMPARE(w->menus().recentFiles->actions().first()->text(), QStringLiteral("&1 Calc9.dim"));
    // Choosing one opens it and puts it first; a new program remembers them.
    w->menus().recentFiles->actions().at(2)->trigger();
    QCOMPARE(w->resultWindows().size(), std::size_t{2});
    QCOMPARE(MainWindow::RecentFiles().first(), expected[2]);
    auto again = StartProgram();
    QCOMPARE(again->menus().recentFiles->actions().first()->data().toString(), expected[2]);
  }

  void theWindowMenuListsTheOpenWindows() {
    auto w = StartProgram();
    w->menus().newCalculation->trigger();
    w->menus().newTable->trigger();
    QCOMPARE(Texts(w->menus().windowList()), (QStringList{"&1 Calculation 1", "&2 Table 1"}));
    QVERIFY(w->menus().windowList()[1]->isChecked() && !w->menus().windowList()[0]->isChecked());
    w->menus().windowList()[0]->trigger();
    QCOMPARE(w->session().ActiveRecord, 1);
    QVERIFY(w->menus().windowList()[0]->isChecked());
  }

  // A window's title names its procedure once confirmed, and the settings
  // file it belongs to; the Window menu shows the same.  Questions and
  // messages keep the window's number.
  void titlesNameTheProcedureAndTheFile() {
    auto w = StartProgram();
    UnpairedTTest(*w);
    QCOMPARE(Titles(*w), QStringList{"Calculation 1 - Student's unpaired t-test"});
    QCOMPARE(Texts(w->menus().windowList()), QStringList{"&1 Calculation 1 - Student's unpaired t-test"});
    QTemporaryDir dir;
    auto saver = AcceptNextFileDialog(dir.filePath(QStringLiteral("t.dim")));
    w->menus().saveAs->trigger();
    w->menus().newTable->trigger();
    QVERIFY(w->OpenSettings(dir.filePath(QStringLiteral("t.dim"))) != nullptr);
    QCOMPARE(Titles(*w), (QStringList{"Calculation 1 - Student's unpaired t-test - t.dim", "Table 1",
                                      "Calculation 2 - Student's unpaired t-test - t.dim"}));
    Type(qobject_cast<CalcWindow*>(w->activeResultWindow())->valueBox(2), QStringLiteral("0.2"));
    auto question = AnswerNextMessageBox(QMessageBox::No);
    QVERIFY(w->mdiArea()->activeSubWindow()->close());
    QCOMPARE(question->title, QStringLiteral("Calculation 2"));
  }
};

PELMORA_GUI_TEST(MainWindowTest)

}  // namespace pelmora::gui_testing

#include "test_main_window.moc"
