// The main window: start-up, the menus with their exact captions, new
// windows and their numbers and places, the Busy rule, the splash window.
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>

#include "app/about_box.h"
#include "widgets/twips.h"
#include "forms/options_dialog.h"
#include "gui/gui_test.h"
#include "session/menus.h"

namespace pelmora::gui_testing {

namespace {

QStringList CaptionsOf(const std::vector<std::string>& captions) {
  QStringList list;
  for (const std::string& c : captions)
    if (!c.empty()) list << (c == "-" ? QString() : QString::fromStdString(c));
  return list;
}

QStringList MenuTexts(QMenu* menu) {
  QStringList list;
  for (QAction* a : menu->actions()) list << (a->isSeparator() ? QString() : a->text());
  return list;
}

QStringList Titles(const MainWindow& w) {
  QStringList titles;
  for (QMdiSubWindow* sub : w.mdiArea()->subWindowList(QMdiArea::CreationOrder)) titles << sub->windowTitle();
  return titles;
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void startUpState() {
    auto w = StartProgram();
    QCOMPARE(w->windowTitle(), QStringLiteral("Pelmora1.0"));
    QVERIFY(w->mdiArea()->subWindowList().isEmpty());
    QVERIFY(w->optionsDialog() != nullptr);
    QVERIFY(!w->optionsDialog()->isVisible());
    const Session& s = w->session();
    QCOMPARE(s.IsTestProcedure, kFalse);
    QCOMPARE(s.SampleCount, 2);
    QCOMPARE(s.TailCount, 2);
    QVERIFY(!s.Busy);
    QCOMPARE(s.ActiveRecord, 0);
  }

  void menusHoldTheExactCaptions() {
    auto w = StartProgram();
    const QList<QAction*> headings = w->menuBar()->actions();
    QCOMPARE(headings.size(), 6);
    const std::vector<std::string>* items[] = {&FileMenuCaptions(),   &EditMenuCaptions(),
                                               &TestMenuCaptions(),   &DistributionMenuCaptions(),
                                               &WindowMenuCaptions(), &HelpMenuCaptions()};
    const QStringList expectedHeadings = {"&File",   "&Edit", "&Test Procedures", "&Sample Distributions",
                                          "&Window", "&Help"};
    for (int i = 0; i < 6; ++i) {
      QCOMPARE(headings[i]->text(), expectedHeadings[i]);
      QCOMPARE(MenuTexts(headings[i]->menu()), CaptionsOf(*items[i]));
    }
    // The captions themselves, spelled out once.
    QCOMPARE(MenuTexts(headings[0]->menu()),
             (QStringList{"New &Calculation", "New &Table", "New &Graph", "", "&Open File...", "",
                          "&Export...", "Save &As...", "", "&Print...", "", "E&xit"}));
    QCOMPARE(MenuTexts(headings[5]->menu()),
             (QStringList{"&Contents", "&Search for Help on...", "&How to Use Help", "", "&About..."}));
    QCOMPARE(w->testAction(0)->text(), QStringLiteral("Student's &unpaired t-test"));
    QCOMPARE(w->testAction(10)->text(), QStringLiteral("S&urvival Analysis test"));
    QCOMPARE(w->distributionAction(10)->text(), QStringLiteral("Bi&variate Normal Distribution"));
    // Separators are not items; File item 6 exports a Table or Graph.
    QCOMPARE(w->fileAction(6)->text(), QStringLiteral("&Export..."));
    for (int i : {3, 8, 11, 15}) QVERIFY(w->testAction(i) == nullptr);
    for (int i : {3, 7, 9}) QVERIFY(w->distributionAction(i) == nullptr);
  }

  void choosingATestWithoutAWindowOpensCalculation1() {
    auto w = StartProgram();
    w->testAction(0)->trigger();
    QCOMPARE(Titles(*w), QStringList{"Calculation 1"});
    QVERIFY(w->optionsDialog()->isVisible());
    const Session& s = w->session();
    QCOMPARE(s.IsTestProcedure, kTrue);
    QCOMPARE(s.TestName, std::string("Student's unpaired t-test"));
    QCOMPARE(static_cast<int>(s.HelpContext), 201);
    QCOMPARE(w->activeResultWindow()->helpContext(), 201);
    // A second choice reuses the window.
    w->distributionAction(4)->trigger();
    QCOMPARE(Titles(*w), QStringList{"Calculation 1"});
    QCOMPARE(s.DistributionName, std::string("Binomial Distribution"));
    QCOMPARE(static_cast<int>(s.HelpContext), 305);
  }

  void windowsAreNumberedByKind() {
    auto w = StartProgram();
    for (int i = 0; i < 3; ++i) w->fileAction(2)->trigger();
    w->fileAction(1)->trigger();
    w->fileAction(0)->trigger();
    QCOMPARE(Titles(*w), (QStringList{"Graph 1", "Graph 2", "Graph 3", "Table 1", "Calculation 1"}));
    QCOMPARE(w->session().GraphNumber, 3);
    QCOMPARE(w->session().ActiveRecord, 5);
    // A new window has no selection and collapses the options dialog.
    w->testAction(0)->trigger();
    QVERIFY(w->optionsDialog()->isVisible());
    w->fileAction(0)->trigger();
    QVERIFY(!w->optionsDialog()->isVisible());
    QVERIFY(w->session().TestName.empty());
    QCOMPARE(w->session().LastPosition, 0);
  }

  void newWindowsCascade() {
    auto w = StartProgram();
    w->fileAction(0)->trigger();
    w->fileAction(0)->trigger();
    w->fileAction(1)->trigger();
    const auto subs = w->mdiArea()->subWindowList(QMdiArea::CreationOrder);
    QCOMPARE(subs[0]->pos(), QPoint(0, 0));
    QCOMPARE(subs[1]->pos(), QPoint(TwipsToPixels(150), TwipsToPixels(350)));
    QCOMPARE(subs[2]->pos(), QPoint(TwipsToPixels(300), TwipsToPixels(700)));
    QCOMPARE(subs[0]->size(), QSize(TwipsToPixels(8850), TwipsToPixels(4000)));
  }

  void lastWindowClosedResetsNumbersAndPlaces() {
    auto w = StartProgram();
    w->fileAction(0)->trigger();
    w->fileAction(0)->trigger();
    for (QMdiSubWindow* sub : w->mdiArea()->subWindowList()) QVERIFY(sub->close());
    QApplication::processEvents();
    QCOMPARE(w->session().ActiveRecord, 0);
    w->fileAction(0)->trigger();
    QCOMPARE(Titles(*w), QStringList{"Calculation 1"});
    QCOMPARE(w->mdiArea()->subWindowList().first()->pos(), QPoint(0, 0));
  }

  void busyMenusDoNothing() {
    auto w = StartProgram();
    w->session().Busy = true;
    w->fileAction(0)->trigger();
    w->testAction(0)->trigger();
    w->distributionAction(0)->trigger();
    QVERIFY(w->mdiArea()->subWindowList().isEmpty());
    QVERIFY(!w->optionsDialog()->isVisible());
    w->session().Busy = false;
    w->testAction(0)->trigger();
    QCOMPARE(Titles(*w), QStringList{"Calculation 1"});
  }

  void splashClosesOnAKeyOrAClickOrAMenu() {
    auto w = StartProgram();
    w->ShowSplash();
    QVERIFY(w->splash()->isVisible());
    const auto labels = w->splash()->findChildren<QLabel*>();
    QStringList texts;
    for (QLabel* l : labels) texts << l->text();
    QVERIFY(texts.contains(QStringLiteral("Pelmora")));
    QVERIFY(texts.contains(QStringLiteral("Version 1.0.0")));
    QVERIFY(texts.join(' ').contains(QStringLiteral("Press key F1 at any time")));
    QTest::keyClick(w->splash(), Qt::Key_Space);
    QVERIFY(w->splash() == nullptr || !w->splash()->isVisible());
    QApplication::processEvents();

    w->ShowSplash();
    QTest::mouseClick(w->splash(), Qt::LeftButton);
    QVERIFY(w->splash() == nullptr || !w->splash()->isVisible());
    QApplication::processEvents();

    w->ShowSplash();
    w->fileAction(0)->trigger();
    QVERIFY(w->splash() == nullptr || !w->splash()->isVisible());
  }

  void aboutBoxIsModal() {
    auto w = StartProgram();
    auto seen = RejectNextDialog();
    w->helpAction(4)->trigger();
    QCOMPARE(seen->name, QStringLiteral("frmAboutBox"));
  }

  void windowMenuArrangesOnlyWithAnActiveWindow() {
    auto w = StartProgram();
    w->windowAction(0)->trigger();  // nothing to arrange, nothing happens
    w->fileAction(0)->trigger();
    w->fileAction(0)->trigger();
    auto subs = w->mdiArea()->subWindowList(QMdiArea::CreationOrder);
    subs[0]->move(200, 100);
    w->windowAction(1)->trigger();
    QVERIFY(!subs[0]->geometry().intersects(subs[1]->geometry()));
    w->windowAction(0)->trigger();
    QVERIFY(subs[0]->geometry().intersects(subs[1]->geometry()));
    QVERIFY(subs[0]->pos() != subs[1]->pos());
  }

  void exitClosesTheProgram() {
    auto w = StartProgram();
    w->fileAction(0)->trigger();
    w->fileAction(11)->trigger();
    QVERIFY(!w->isVisible());
  }
};

PELMORA_GUI_TEST(MainWindowTest)

}  // namespace pelmora::gui_testing

#include "test_main_window.moc"
