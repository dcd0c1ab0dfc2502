// The Calculation window: the rows the options fill in, the unknown chosen
// by a caption, the digit check of the value boxes, the tooltips of the
// captions, the close question.
#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QTemporaryDir>
#include <cmath>

#include "gui/gui_test.h"
#include "procedures/hypothesis/student_t.h"
#include "widgets/twips.h"

namespace pelmora::gui_testing {

namespace {

using Ids = StudentT::Ids;

bool IsWhite(QLineEdit* box) { return box->palette().color(QPalette::Base) != CalcWindow::ValueBoxColor(); }

}  // namespace

class CalcWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void theRowsOfTheListAndTheirTooltips() {
    auto w = StartProgram();
    CalcWindow* calc = UnpairedTTest(*w);
    QCOMPARE(w->session().LastPosition, 7);
    for (int r = 0; r < kCalculationRows; ++r) QCOMPARE(!calc->label(r)->isHidden(), r < 7);
    QCOMPARE(calc->heading()->text(), QStringLiteral("Student's unpaired t-test. 2-sided."));
    QCOMPARE(calc->valueBox(2)->text(), QStringLiteral("0.30"));
    // The window ends just below the last row, or the line of the solved design's power.
    const int lastBottom = calc->designPower()->geometry().bottom();
    QVERIFY(calc->designPower()->geometry().top() > calc->valueBox(6)->geometry().bottom());
    QVERIFY(calc->height() > lastBottom);
    QVERIFY(calc->height() < lastBottom + TwipsToPixels(405));
    // Each caption tells what its parameter means, in the help's words, and
    // which values it takes.
    QCOMPARE(calc->label(5)->toolTip(),
             QStringLiteral("Sample Size 1: The size of sample 1.\nAdmissible values: 3 or more."));
    QCOMPARE(calc->label(0)->toolTip(),
             QStringLiteral("P-value: The P-value that the test is to report for the assumed result (the "
                            "significance level of the planned test).\nAdmissible values: 0.00001 to 0.99999."));
  }

  void captionsChooseTheUnknown() {
    auto w = StartProgram();
    CalcWindow* calc = UnpairedTTest(*w);
    Session& s = w->session();
    // The standard deviation first, then the P-value again.
    QTest::mouseClick(calc->label(4), Qt::LeftButton);
    QCOMPARE(s.UnknownPosition, 5);
    QCOMPARE(s.XPosition, 1);
    QCOMPARE(s.ZPosition, 0);
    QVERIFY(IsWhite(calc->valueBox(4)) && !IsWhite(calc->valueBox(0)));
    Type(calc->valueBox(4), QStringLiteral("1.2"));
    QTest::mouseClick(calc->label(0), Qt::LeftButton);
    QCOMPARE(s.UnknownPosition, 0);
    QCOMPARE(s.XPosition, 2);
    QCOMPARE(s.ZPosition, 1);
    // 2 * scipy.stats.t.sf(0.1 / (1.2 * sqrt(2 / 30)), 58) = 0.748046
    QCOMPARE(calc->valueBox(0)->text(), QStringLiteral("0.74805"));
    for (int r = 1; r < 7; ++r) QVERIFY(!IsWhite(calc->valueBox(r)));
    // The focus greys the unknown's box and selects the whole text.
    w->activateWindow();
    calc->valueBox(3)->setFocus();
    QApplication::processEvents();
    QVERIFY(!IsWhite(calc->valueBox(0)));
    QCOMPARE(calc->valueBox(3)->selectedText(), calc->valueBox(3)->text());
  }

  void aSampleSizeIsSolvedFromTheTypedValues() {
    auto w = StartProgram();
    w->menus().procedure(Procedure::UnpairedT)->trigger();
    // Equal sample sizes: the second one as a ratio to the first.
    QTest::mouseClick(w->optionsDialog()->rowButton(1, 2), Qt::LeftButton);
    QTest::mouseClick(w->optionsDialog()->okButton(), Qt::LeftButton);
    auto* calc = qobject_cast<CalcWindow*>(w->activeResultWindow());
    QCOMPARE(calc->label(6)->text(), QStringLiteral("Sample Size &2 / Sample Size 1"));
    Type(calc->valueBox(6), QStringLiteral("1"));
    Type(calc->valueBox(0), QStringLiteral("0,05"));
    QTest::mouseClick(calc->label(5), Qt::LeftButton);
    // brentq(lambda n: 2 * t.sf(0.1 / (1.2 * sqrt(2 / n)), 2 * n - 2) - 0.05, 3, 5000) = 1107.551
    QCOMPARE(calc->valueBox(5)->text(), QStringLiteral("1107.6"));
    QVERIFY(std::abs(w->session().value(6) - 1107.551) < 0.01);
    QVERIFY(calc->remark()->isHidden());
    // Equal means: no size reaches 0.05; why, under the rows and on the box.
    Type(calc->valueBox(3), QStringLiteral("0.30"));
    QTest::mouseClick(calc->label(5), Qt::LeftButton);
    QCOMPARE(calc->valueBox(5)->text(), QStringLiteral("-"));
    QVERIFY(calc->remark()->isVisible());
    QVERIFY(calc->remark()->text().startsWith(
        QStringLiteral("Sample Size 1 cannot be calculated: the P-value ")));
    QCOMPARE(calc->valueBox(5)->toolTip(), calc->remark()->text());
    QVERIFY(calc->remark()->geometry().top() > calc->valueBox(6)->geometry().bottom());
  }

  void planByPowerAddsThePowerRowAndTheDesignShowsItsPower() {
    auto w = StartProgram();
    w->menus().procedure(Procedure::UnpairedT)->trigger();
    OptionsDialog* o = w->optionsDialog();
    QTest::mouseClick(o->rowButton(1, 2), Qt::LeftButton);
    QCheckBox* box = o->planByPowerBox();
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
    QTest::mouseClick(o->okButton(), Qt::LeftButton);
    auto* calc = qobject_cast<CalcWindow*>(w->activeResultWindow());
    QCOMPARE(calc->label(1)->text().remove('&'), QStringLiteral("Power"));
    // OK solved the P-value as the level at which the start-up design has power 0.80.
    Type(calc->valueBox(0), QStringLiteral("0.05"));
    Type(calc->valueBox(3), QStringLiteral("0"));
    Type(calc->valueBox(4), QStringLiteral("0.5"));
    Type(calc->valueBox(5), QStringLiteral("1"));
    Type(calc->valueBox(7), QStringLiteral("1"));
    QTest::mouseClick(calc->label(6), Qt::LeftButton);
    // brentq(power(n) - 0.8) = 63.7656 and power(64) = 0.8015, power(n) the sum of
    // nct.sf(c, 2n - 2, 0.5 / sqrt(2 / n)) and nct.cdf(-c, ...), c = t.isf(0.025, 2n - 2)
    QCOMPARE(calc->valueBox(6)->text(), QStringLiteral("63.766"));
    QVERIFY(calc->designPower()->isVisible());
    QCOMPARE(calc->designPower()->text(),
             QStringLiteral("Power of this design: 0.8000; at the whole sample sizes 64 and 64 (128 in all): 0.8015"));
    QVERIFY(calc->designPower()->geometry().top() > calc->valueBox(7)->geometry().bottom());
    // Beneath it the standardised effect, (0.5 - 0) / 1.
    QVERIFY(calc->effect()->isVisible());
    QCOMPARE(calc->effect()->text(), QStringLiteral("Standardised effect: d = 0.50"));
    QVERIFY(calc->effect()->geometry().top() >= calc->designPower()->geometry().bottom());
    // The finite-population test plans by power of its own: the box is ticked and fixed.
    w->menus().procedure(Procedure::FinitePopulation)->trigger();
    QVERIFY(box->isChecked() && !box->isEnabled());
  }

  void captionLettersReachTheirValueBoxesBeforeTheMenus() {
    auto w = StartProgram();
    CalcWindow* calc = UnpairedTTest(*w);
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w.get()));
    calc->valueBox(0)->setFocus();
    QApplication::processEvents();
    const auto press = [](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::AltModifier) {
      QTest::keyClick(QApplication::focusWidget(), key, modifiers);
      QApplication::processEvents();
    };
    // "&Standard Deviation*" and "M&ean 2*" share their letters with the
    // Sample Distributions and Edit menus.
    press(Qt::Key_S);
    QCOMPARE(QApplication::activePopupWidget(), nullptr);
    QCOMPARE(QApplication::focusWidget(), calc->valueBox(4));
    press(Qt::Key_E);
    QCOMPARE(QApplication::activePopupWidget(), nullptr);
    QCOMPARE(QApplication::focusWidget(), calc->valueBox(3));
    // From a caption button as well.
    calc->label(6)->setFocus();
    press(Qt::Key_1);
    QCOMPARE(QApplication::focusWidget(), calc->valueBox(5));
    // A letter no caption uses opens its menu, and F10 opens the menus.
    press(Qt::Key_T);
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(popup != nullptr);
    QCOMPARE(popup->objectName(), QStringLiteral("mnuTestProc"));
    popup->close();
    QApplication::processEvents();
    calc->valueBox(2)->setFocus();
    // Alt alone takes the keyboard to the menu bar.
    QTest::keyPress(QApplication::focusWidget(), Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Alt);
    QApplication::processEvents();
    QVERIFY(w->menuBar()->activeAction() != nullptr);
    QTest::keyClick(w->menuBar(), Qt::Key_Escape);
    calc->valueBox(2)->setFocus();
    QApplication::processEvents();
    press(Qt::Key_F10, Qt::NoModifier);
    popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(popup != nullptr);
    QCOMPARE(popup->objectName(), QStringLiteral("mnuFileHead"));
    popup->close();
  }

  void typedLettersAreRefused() {
    auto w = StartProgram();
    CalcWindow* calc = UnpairedTTest(*w);
    QLineEdit* box = calc->valueBox(5);
    Type(box, QStringLiteral("1"));
    auto seen = AnswerNextMessageBox(QMessageBox::Ok);
    QTest::keyClick(box, Qt::Key_A);
    QVERIFY(seen->seen);
    QCOMPARE(seen->text, QStringLiteral("a   is not allowed. Must be a digit."));
    QCOMPARE(seen->title, QStringLiteral("Pelmora"));
    QCOMPARE(seen->icon, QMessageBox::Warning);
    QCOMPARE(seen->buttons, QList<QMessageBox::StandardButton>{QMessageBox::Ok});
    QCOMPARE(box->text(), QStringLiteral("1"));
    QCOMPARE(w->session().entry(Ids::SampleSize1).ParamText, std::string("1"));
    QVERIFY(!w->session().ResultsCurrent);
  }

  void closingAChangedWindowAsks() {
    auto w = StartProgram();
    UnpairedTTest(*w);
    QMdiSubWindow* sub = w->mdiArea()->subWindowList().first();
    auto seen = AnswerNextMessageBox(QMessageBox::Cancel);
    QVERIFY(!sub->close());
    QCOMPARE(seen->title, QStringLiteral("Calculation 1"));
    QCOMPARE(seen->text, QStringLiteral("Calculation 1 Has Been Changed.\n\nSave Parameter Settings?"));
    QCOMPARE(seen->buttons,
             (QList<QMessageBox::StandardButton>{QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}));
    // Yes with the file dialog cancelled keeps the window.
    seen = AnswerNextMessageBox(QMessageBox::Yes);
    auto fileDialog = RejectNextDialog();
    QVERIFY(!sub->close());
    QCOMPARE(fileDialog->title, QStringLiteral("Save As"));
    // Yes and a name: saved, then closed.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Calc1.dim"));
    seen = AnswerNextMessageBox(QMessageBox::Yes);
    auto saver = AcceptNextFileDialog(path);
    QVERIFY(sub->close());
    QVERIFY(saver->proposed.endsWith(QStringLiteral("Calc1.dim")));
    QCOMPARE(QFileInfo(path).size(), 1352);
    QApplication::processEvents();
    QCOMPARE(w->session().ActiveRecord, 0);
    QVERIFY(!w->optionsDialog()->isVisible());
  }

  void savedUnchangedAndBusyWindows() {
    auto w = StartProgram();
    UnpairedTTest(*w);
    QTemporaryDir dir;
    auto saver = AcceptNextFileDialog(dir.filePath(QStringLiteral("t.dim")));
    w->menus().saveAs->trigger();
    QVERIFY(QFileInfo::exists(dir.filePath(QStringLiteral("t.dim"))));
    w->menus().newCalculation->trigger();  // never changed
    const auto subs = w->mdiArea()->subWindowList(QMdiArea::CreationOrder);
    w->session().Busy = true;
    QVERIFY(!subs[1]->close());
    w->session().Busy = false;
    auto seen = AnswerNextMessageBox(QMessageBox::Cancel);
    QVERIFY(subs[1]->close());
    QVERIFY(subs[0]->close());
    QApplication::processEvents();
    QVERIFY(!seen->seen);
  }

  void eachWindowKeepsItsOwnSelectionAndValues() {
    auto w = StartProgram();
    CalcWindow* first = UnpairedTTest(*w);
    Type(first->valueBox(2), QStringLiteral("0.5"));  // typed, not yet solved
    w->menus().newCalculation->trigger();
    w->menus().procedure(Procedure::PairedT)->trigger();
    QTest::mouseClick(w->optionsDialog()->okButton(), Qt::LeftButton);
    auto* second = qobject_cast<CalcWindow*>(w->activeResultWindow());
    QCOMPARE(second->heading()->text(), QStringLiteral("Student's paired t-test. 2-sided."));

    const auto subs = w->mdiArea()->subWindowList(QMdiArea::CreationOrder);
    w->mdiArea()->setActiveSubWindow(subs[0]);
    const Session& s = w->session();
    QCOMPARE(s.ActiveRecord, 1);
    QCOMPARE(s.TestName, std::string("Student's unpaired t-test"));
    QCOMPARE(first->valueBox(2)->text(), QStringLiteral("0.5"));
    QCOMPARE(s.entry(Ids::Mean1).ParamText, std::string("0.5"));
    // The options dialog shows the first window's options again.
    QVERIFY(!w->optionsDialog()->samplesButton(0)->isEnabled());

    // The window asked about comes to the front with its own selection, so
    // that what is typed there goes to its parameters.
    w->mdiArea()->setActiveSubWindow(subs[1]);
    auto seen = AnswerNextMessageBox(QMessageBox::Cancel);
    QVERIFY(!subs[0]->close());
    QCOMPARE(seen->title, QStringLiteral("Calculation 1"));
    QCOMPARE(w->mdiArea()->activeSubWindow(), subs[0]);
    QCOMPARE(w->session().TestIndex, 0);
    Type(first->valueBox(4), QStringLiteral("2"));
    QCOMPARE(w->session().records[1].valueTexts[5], std::string("2"));

    // Closing the program asks for every changed window; Cancel keeps it.
    seen = AnswerNextMessageBox(QMessageBox::Cancel);
    QVERIFY(!w->close());
    QVERIFY(w->isVisible());
    QTimer answerAll;
    QObject::connect(&answerAll, &QTimer::timeout, [] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
        box->button(QMessageBox::No)->click();
    });
    answerAll.start(10);
    QVERIFY(w->close());
  }
};

PELMORA_GUI_TEST(CalcWindowTest)

}  // namespace pelmora::gui_testing

#include "test_calc_window.moc"
