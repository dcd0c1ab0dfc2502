// The options dialog: the rows and check boxes a selection offers, the
// rebuild after every click, the restricted buttons, the layout that gives
// hidden controls no space, and its place beside the window it acts on.
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>

#include "gui/gui_test.h"
#include "views/result_output.h"

namespace pelmora::gui_testing {

namespace {

// The number of rows and check boxes shown; the caption of each row's first
// button.
QStringList Shown(OptionsDialog* o) {
  QStringList shown;
  for (int k = 0; k < 4; ++k)
    if (o->rowFrame(k)->isVisible()) shown << o->rowButton(k, 0)->text();
  for (int k = 0; k < 3; ++k)
    if (o->optionBox(k)->isVisible()) shown << o->optionBox(k)->text();
  return shown;
}

// Clicks a check box or option button on its indicator, as a user would.
void Click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2)); }

}  // namespace

class OptionsDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void aNewFormKeepsTheUnknownAndTakesItsValueFromTheMeans() {
    auto w = StartProgram();
    w->menus().procedure(Procedure::UnpairedT)->trigger();
    OptionsDialog* o = w->optionsDialog();
    Click(o->rowButton(1, 2));  // "Size 2 / Size 1"
    QTest::mouseClick(o->okButton(), Qt::LeftButton);
    auto* calc = qobject_cast<CalcWindow*>(w->activeResultWindow());
    Type(calc->valueBox(0), QStringLiteral("0.05"));
    Type(calc->valueBox(2), QStringLiteral("0"));
    Type(calc->valueBox(3), QStringLiteral("0.5"));
    Type(calc->valueBox(6), QStringLiteral("1"));
    QTest::mouseClick(calc->label(5), Qt::LeftButton);
    // brentq(lambda n: 2 * t.sf(0.5 / (1.2 * sqrt(2 / n)), 2 * n - 2) - 0.05, 3, 5000) = 45.4824
    QCOMPARE(calc->valueBox(5)->text(), QStringLiteral("45.482"));

    Click(o->rowButton(0, 1));  // "Mean 2* - Mean 1*"
    QTest::mouseClick(o->okButton(), Qt::LeftButton);
    QCOMPARE(calc->label(2)->text(), QStringLiteral("M&ean 2* - Mean 1*"));
    QCOMPARE(calc->valueBox(2)->text(), QStringLiteral("0.5"));
    // Sample Size 1 is still the unknown, one row up, and solves as before.
    const Session& s = w->session();
    QCOMPARE(s.ParameterList[static_cast<std::size_t>(s.UnknownPosition)], std::int16_t{4});
    QCOMPARE(calc->label(4)->text(), QStringLiteral("Sample Size &1"));
    QCOMPARE(calc->valueBox(4)->text(), QStringLiteral("45.482"));
    QVERIFY(calc->valueBox(4)->palette().color(QPalette::Base) != CalcWindow::ValueBoxColor());
    QVERIFY(calc->remark()->isHidden());
  }

  void optionsRebuildTheRowsAndTheList() {
    auto w = StartProgram();
    w->menus().procedure(Procedure::UnpairedT)->trigger();
    OptionsDialog* o = w->optionsDialog();
    const Session& s = w->session();
    const QStringList options = {"&Degrees Of Freedom", "&No Of Groups In ANOVA", "&Unequal Std.Deviations"};
    QCOMPARE(Shown(o), (QStringList{"Mean 2*", "Sample Size 2"} + options));
    QVERIFY(!o->samplesButton(0)->isEnabled() && o->samplesButton(1)->isChecked());
    QVERIFY(!o->parameterList()->isVisible() && !o->procedureFrame()->isVisible());
    // Unequal standard deviations add a row, which takes room.
    const int before = o->sizeHint().height();
    Click(o->optionBox(2));
    QCOMPARE(Shown(o), (QStringList{"Mean 2*", "Std.Deviation 2*", "Sample Size 2"} + options));
    QVERIFY(o->sizeHint().height() > before);
    // Two one-sided tests: the equivalence limits come first after the P-value.
    Click(o->tailsButton(2));
    QCOMPARE(s.TailCount, 3);
    QTest::mouseClick(o->okButton(), Qt::LeftButton);
    auto* calc = qobject_cast<CalcWindow*>(w->activeResultWindow());
    QCOMPARE(calc->heading()->text(), QStringLiteral("Student's unpaired t-test.Two 1-sided. Unequal "
                                                     "Std.Deviations. Satterthwaite approximation."));
    QCOMPARE(s.ParameterList[2], 6);
    QCOMPARE(s.ParameterList[3], 7);
    // Cleared again: the row goes and takes no space.
    Click(o->tailsButton(1));
    Click(o->optionBox(2));
    QCOMPARE(o->sizeHint().height(), before);
    // Degrees of freedom and ANOVA groups exclude each other.
    Click(o->optionBox(0));
    Click(o->optionBox(1));
    QVERIFY(o->optionBox(1)->isChecked() && !o->optionBox(0)->isChecked());
    Click(o->tailsButton(0));
    Click(o->leftTailBox());
    QCOMPARE(s.RejectInLeftTail, kTrue);
  }

  // "Expected Dropout" is offered for a test planned by power and for an
  // interval; the whole sizes then give the sizes to recruit, and a value
  // out of range is refused when the design is calculated.
  void theExpectedDropoutGivesTheSizesToRecruit() {
    auto w = StartProgram();
    w->menus().newCalculation->trigger();
    w->menus().procedure(Procedure::UnpairedT)->trigger();
    OptionsDialog* o = w->optionsDialog();
    QLineEdit* dropout = o->dropoutBox();
    QVERIFY(!dropout->isVisible());
    QTest::mouseClick(o->rowButton(1, 2), Qt::LeftButton);
    Click(o->planByPowerBox());
    QVERIFY(dropout->isVisible());
    QCOMPARE(dropout->text(), QStringLiteral("0"));
    Type(dropout, QStringLiteral("0.2"));
    QTest::mouseClick(o->okButton(), Qt::LeftButton);
    auto* calc = qobject_cast<CalcWindow*>(w->activeResultWindow());
    // Means 0 and 0.5, SD 1, equal groups: 64 per group (see the tests
    // planned by power), 64 / 0.8 = 80 to recruit.
    Type(calc->valueBox(0), QStringLiteral("0.05"));
    Type(calc->valueBox(3), QStringLiteral("0"));
    Type(calc->valueBox(4), QStringLiteral("0.5"));
    Type(calc->valueBox(5), QStringLiteral("1"));
    Type(calc->valueBox(7), QStringLiteral("1"));
    QTest::mouseClick(calc->label(6), Qt::LeftButton);
    QVERIFY2(calc->designPower()->text().endsWith(
                 QStringLiteral("; to recruit for an expected dropout of 0.2: 80 and 80 (160 in all)")),
             qPrintable(calc->designPower()->text()));
    // The output's paragraph for the protocol, its lines joined.
    const QString text =
        QString::fromStdString(CalculationPlainText(w->dispatcher().session())).replace(QStringLiteral("\r\n"), " ");
    QVERIFY2(text.contains(QStringLiteral("To allow for an expected dropout of 20%, 80 per group (160 in all) are to be "
                                          "recruited.")),
             qPrintable(text));

    // Out of range: refused with its message.
    w->menus().procedure(Procedure::UnpairedT)->trigger();
    QVERIFY(dropout->isVisible());
    Type(dropout, QStringLiteral("0.95"));
    {
      MessageWatch watch;
      QTest::mouseClick(o->okButton(), Qt::LeftButton);
      QTRY_VERIFY(!watch.texts.isEmpty());
      QCOMPARE(watch.texts.first(), QStringLiteral("The expected dropout \"0.95\" is not a number from 0 to 0.9"));
    }
    QCOMPARE(calc->valueBox(6)->text(), QStringLiteral("-"));

    // Not planned by power: no dropout; an interval has one.
    w->menus().procedure(Procedure::UnpairedT)->trigger();
    Click(o->planByPowerBox());
    QVERIFY(!dropout->isVisible());
    w->menus().procedure(Procedure::NormalDistribution)->trigger();
    QTest::mouseClick(o->procedureButton(2), Qt::LeftButton);
    QVERIFY(dropout->isVisible());
    QTest::mouseClick(o->procedureButton(1), Qt::LeftButton);
    QVERIFY(!dropout->isVisible());
  }

  // Cancel leaves the window as it was: a confirmed window keeps its
  // selection, options and values; a new window its empty selection.
  void cancelLeavesTheWindowAsItWas() {
    auto w = StartProgram();
    CalcWindow* calc = UnpairedTTest(*w);
    OptionsDialog* o = w->optionsDialog();
    const Session& s = w->session();
    Type(calc->valueBox(3), QStringLiteral("0.6"));
    QTest::keyClick(calc->valueBox(3), Qt::Key_Return);
    const QString heading = calc->heading()->text();
    const QString solved = calc->valueBox(0)->text();
    const std::vector<int> list(s.ParameterList.begin(), s.ParameterList.end());
    w->menus().procedure(Procedure::PairedT)->trigger();
    Click(o->tailsButton(0));
    QTest::mouseClick(o->cancelButton(), Qt::LeftButton);
    QVERIFY(!o->isVisible());
    QCOMPARE(s.TestName, std::string("Student's unpaired t-test"));
    QCOMPARE(s.TailCount, 2);
    QCOMPARE(std::vector<int>(s.ParameterList.begin(), s.ParameterList.end()), list);
    QCOMPARE(calc->heading()->text(), heading);
    QCOMPARE(calc->valueBox(3)->text(), QStringLiteral("0.6"));
    QCOMPARE(calc->valueBox(0)->text(), solved);
    QCOMPARE(calc->helpContext(), static_cast<int>(RowOf(Procedure::UnpairedT).helpContext));

    w->menus().newCalculation->trigger();
    w->menus().procedure(Procedure::FisherExact)->trigger();
    QTest::mouseClick(o->cancelButton(), Qt::LeftButton);
    QVERIFY(s.TestName.empty() && s.LastPosition == 0);
    QCOMPARE(w->mdiArea()->activeSubWindow()->windowTitle(), QStringLiteral("Calculation 2"));
    QVERIFY(qobject_cast<CalcWindow*>(w->activeResultWindow())->heading()->text().isEmpty());
  }

  void restrictedButtonsAndEmptySelections() {
    auto w = StartProgram();
    OptionsDialog* o = w->optionsDialog();
    w->menus().procedure(Procedure::PairedT)->trigger();  // the paired test has one sample only
    QVERIFY(!o->samplesButton(1)->isEnabled() && o->samplesButton(0)->isChecked());
    w->menus().procedure(Procedure::ChiSquareHomogeneity)->trigger();  // the chi2 homogeneity test offers no options and no rows
    QVERIFY(Shown(o).isEmpty());
    QVERIFY(!o->separator()->isVisible() && !o->interchangeableLabel()->isVisible());
    // A confidence interval has two tails and no left tail.
    w->menus().procedure(Procedure::NormalDistribution)->trigger();
    QVERIFY(o->parameterList()->isVisible() && o->procedureFrame()->isVisible());
    Click(o->tailsButton(2));
    Click(o->procedureButton(2));
    QCOMPARE(w->session().TailCount, 2);
    QVERIFY(o->tailsButton(1)->isChecked() && !o->tailsButton(0)->isEnabled() && !o->tailsButton(2)->isEnabled());
    QVERIFY(!o->leftTailBox()->isVisible());
    o->parameterList()->setCurrentRow(1);
    QCOMPARE(w->session().ParameterChoice, 1);
    Click(o->procedureButton(0));
    QVERIFY(o->tailsButton(0)->isEnabled() && o->leftTailBox()->isVisible());
  }

  // Beside the window it acts on, inside the main window; where the user
  // moves it, it stays.
  void theDialogStaysBesideTheWindowAndWhereTheUserPutsIt() {
    auto w = StartProgram();
    w->resize(1400, 900);
    QApplication::processEvents();
    w->menus().procedure(Procedure::UnpairedT)->trigger();
    OptionsDialog* o = w->optionsDialog();
    const QRect window = GlobalFrame(w->activeResultWindow()->parentWidget());
    QVERIFY(!o->frameGeometry().intersects(window));
    QVERIFY(w->geometry().contains(o->frameGeometry()));
    QTest::qWait(450);  // the window system has placed it
    const QPoint moved = o->pos() + QPoint(-30, 40);
    o->move(moved);
    QTest::mouseClick(o->okButton(), Qt::LeftButton);
    w->menus().procedure(Procedure::Anova)->trigger();
    QCOMPARE(o->pos(), moved);
    o->hide();
    w->menus().procedure(Procedure::UnpairedT)->trigger();
    QCOMPARE(o->pos(), moved);
    // A smaller main window keeps it inside.
    w->resize(700, 500);
    QApplication::processEvents();
    QVERIFY(w->geometry().contains(o->frameGeometry()) || o->width() > 700);
  }
};

PELMORA_GUI_TEST(OptionsDialogTest)

}  // namespace pelmora::gui_testing

#include "test_options_dialog.moc"
