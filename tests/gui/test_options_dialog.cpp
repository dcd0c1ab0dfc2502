// The options dialog: which frames, rows and check boxes a selection shows,
// the rebuild after every click, the restricted buttons, and the layout that
// gives hidden controls no space.
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "forms/calc_window.h"
#include "forms/options_dialog.h"
#include "gui/gui_test.h"

namespace pelmora::gui_testing {

namespace {

QStringList RowCaptions(OptionsDialog* o, int row) {
  QStringList captions;
  for (int j = 0; j < 3; ++j)
    if (o->rowButton(row, j)->isVisible()) captions << o->rowButton(row, j)->text();
  return captions;
}

QStringList VisibleRowTitles(OptionsDialog* o) {
  QStringList titles;
  for (int k = 0; k < 4; ++k)
    if (o->rowFrame(k)->isVisible()) titles << RowCaptions(o, k).value(0);
  return titles;
}

QStringList VisibleOptions(OptionsDialog* o) {
  QStringList captions;
  for (int k = 0; k < 3; ++k)
    if (o->optionBox(k)->isVisible()) captions << o->optionBox(k)->text();
  return captions;
}

// Clicks a check box or option button on its indicator, as a user would.
void Click(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2)); }

}  // namespace

class OptionsDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void unpairedTTestShowsItsFramesRowsAndOptions() {
    auto w = StartProgram();
    w->testAction(0)->trigger();
    OptionsDialog* o = w->optionsDialog();
    QVERIFY(o->isVisible());
    QCOMPARE(o->samplesFrame()->title(), QStringLiteral("No Of &Samples"));
    QCOMPARE(o->tailsFrame()->title(), QStringLiteral("No Of &Tails"));
    QCOMPARE(o->samplesButton(0)->text(), QStringLiteral("One Sample"));
    QCOMPARE(o->samplesButton(1)->text(), QStringLiteral("Two Samples"));
    QCOMPARE(o->tailsButton(2)->text(), QStringLiteral("Two One-sided"));
    QCOMPARE(o->leftTailBox()->text(), QStringLiteral("&Reject in Left Tail"));
    QCOMPARE(o->okButton()->text(), QStringLiteral("OK"));
    // A test: no parameter list, no procedure frame, no interim analyses.
    QVERIFY(!o->procedureFrame()->isVisible());
    QVERIFY(!o->parameterList()->isVisible());
    QVERIFY(!o->interimFrame()->isVisible());
    QVERIFY(o->leftTailBox()->isVisible());
    // Two samples only.
    QVERIFY(!o->samplesButton(0)->isEnabled());
    QVERIFY(o->samplesButton(1)->isChecked());
    QVERIFY(o->tailsButton(1)->isChecked());
    QVERIFY(o->separator()->isVisible());
    QCOMPARE(o->interchangeableLabel()->text(), QStringLiteral("&Interchangeable Parameters:"));
    QVERIFY(o->interchangeableLabel()->isVisible());
    QCOMPARE(VisibleRowTitles(o), (QStringList{"Mean 2*", "Sample Size 2"}));
    QCOMPARE(o->rowFrame(0)->title(), QStringLiteral("Estimate"));
    QCOMPARE(RowCaptions(o, 0), (QStringList{"Mean 2*", "Mean 2* - Mean 1*", "Mean 2* / Mean 1*"}));
    QCOMPARE(RowCaptions(o, 1), (QStringList{"Sample Size 2", "Size 2 - Size 1", "Size 2 / Size 1"}));
    QCOMPARE(VisibleOptions(o),
             (QStringList{"&Degrees Of Freedom", "&No Of Groups In ANOVA", "&Unequal Std.Deviations"}));
    for (int k = 0; k < 3; ++k) QVERIFY(!o->optionBox(k)->isChecked());
  }

  void unequalStandardDeviationsAddARow() {
    auto w = StartProgram();
    w->testAction(0)->trigger();
    OptionsDialog* o = w->optionsDialog();
    const int before = o->sizeHint().height();
    Click(o->optionBox(2));
    QVERIFY(o->optionBox(2)->isChecked());
    QCOMPARE(VisibleRowTitles(o), (QStringList{"Mean 2*", "Std.Deviation 2*", "Sample Size 2"}));
    QVERIFY(o->sizeHint().height() > before);
    QTest::mouseClick(o->okButton(), Qt::LeftButton);
    auto* calc = qobject_cast<CalcWindow*>(w->activeResultWindow());
    QCOMPARE(calc->heading()->text(),
             QStringLiteral(
                 "Student's unpaired t-test. 2-sided. Unequal Std.Deviations. Satterthwaite approximation."));
    // Cleared again: the row goes and takes no space.
    Click(o->optionBox(2));
    QCOMPARE(VisibleRowTitles(o), (QStringList{"Mean 2*", "Sample Size 2"}));
    QCOMPARE(o->sizeHint().height(), before);
  }

  void tailsChangeTheList() {
    auto w = StartProgram();
    w->testAction(0)->trigger();
    OptionsDialog* o = w->optionsDialog();
    const Session& s = w->session();
    const QStringList rows = {"Mean 2*", "Sample Size 2"};
    const QStringList options = {"&Degrees Of Freedom", "&No Of Groups In ANOVA", "&Unequal Std.Deviations"};
    Click(o->tailsButton(0));
    QCOMPARE(s.TailCount, 1);
    QVERIFY(o->tailsButton(0)->isChecked());
    QCOMPARE(VisibleRowTitles(o), rows);
    QCOMPARE(VisibleOptions(o), options);
    Click(o->leftTailBox());
    QCOMPARE(s.RejectInLeftTail, kTrue);
    QTest::mouseClick(o->okButton(), Qt::LeftButton);
    auto* calc = qobject_cast<CalcWindow*>(w->activeResultWindow());
    QCOMPARE(calc->heading()->text(), QStringLiteral("Student's unpaired t-test. 1-sided."));

    Click(o->tailsButton(2));
    QCOMPARE(s.TailCount, 3);
    QVERIFY(o->tailsButton(2)->isChecked());
    QCOMPARE(VisibleRowTitles(o), rows);
    QCOMPARE(VisibleOptions(o), options);
    Click(o->optionBox(2));
    QCOMPARE(VisibleRowTitles(o), (QStringList{"Mean 2*", "Std.Deviation 2*", "Sample Size 2"}));
    QTest::mouseClick(o->okButton(), Qt::LeftButton);
    QCOMPARE(
        calc->heading()->text(),
        QStringLiteral(
            "Student's unpaired t-test.Two 1-sided. Unequal Std.Deviations. Satterthwaite approximation."));
    // The two equivalence limits come first after the P-value.
    QCOMPARE(calc->label(1)->text(), QString::fromStdString(s.entryAt(2).ParamCaption));
    QCOMPARE(s.ParameterList[2], 6);
    QCOMPARE(s.ParameterList[3], 7);
  }

  void degreesOfFreedomAndAnovaGroupsExcludeEachOther() {
    auto w = StartProgram();
    w->testAction(0)->trigger();
    OptionsDialog* o = w->optionsDialog();
    Click(o->optionBox(0));
    QVERIFY(o->optionBox(0)->isChecked());
    Click(o->optionBox(1));
    QVERIFY(o->optionBox(1)->isChecked());
    QVERIFY(!o->optionBox(0)->isChecked());
  }

  void pairedTestHasOneSampleOnly() {
    auto w = StartProgram();
    w->testAction(1)->trigger();
    OptionsDialog* o = w->optionsDialog();
    QVERIFY(!o->samplesButton(1)->isEnabled());
    QVERIFY(o->samplesButton(0)->isChecked());
    QCOMPARE(VisibleRowTitles(o), QStringList{"Mean of Diff.*"});
    QCOMPARE(VisibleOptions(o), QStringList{"&Degrees Of Freedom"});
  }

  void distributionsShowTheParameterListAndProcedure() {
    auto w = StartProgram();
    w->distributionAction(0)->trigger();
    OptionsDialog* o = w->optionsDialog();
    const Session& s = w->session();
    QVERIFY(o->parameterList()->isVisible());
    QVERIFY(o->procedureFrame()->isVisible());
    QCOMPARE(o->procedureFrame()->title(), QStringLiteral("&Procedure"));
    QCOMPARE(o->procedureButton(2)->text(), QStringLiteral("Conf. Interval"));
    QCOMPARE(o->parameterList()->count(), static_cast<int>(ParameterChoicesOf(0).size()));
    QCOMPARE(o->parameterList()->currentRow(), 0);
    QVERIFY(o->leftTailBox()->isVisible());

    Click(o->tailsButton(2));
    QCOMPARE(s.TailCount, 3);
    Click(o->procedureButton(2));
    QCOMPARE(s.ProcedureKind, 2);
    QCOMPARE(s.TailCount, 2);
    QVERIFY(o->tailsButton(1)->isChecked());
    QVERIFY(!o->tailsButton(0)->isEnabled());
    QVERIFY(!o->tailsButton(2)->isEnabled());
    QVERIFY(!o->leftTailBox()->isVisible());

    o->parameterList()->setCurrentRow(1);
    QCOMPARE(s.ParameterChoice, 1);
    Click(o->procedureButton(0));
    QVERIFY(o->tailsButton(0)->isEnabled());
    QVERIFY(o->leftTailBox()->isVisible());
  }

  void nothingOfferedShowsNoSeparator() {
    auto w = StartProgram();
    w->testAction(7)->trigger();  // the chi2 homogeneity test offers no options and no rows
    OptionsDialog* o = w->optionsDialog();
    QVERIFY(!o->separator()->isVisible());
    QVERIFY(!o->interchangeableLabel()->isVisible());
    for (int k = 0; k < 4; ++k) QVERIFY(!o->rowFrame(k)->isVisible());
    for (int k = 0; k < 3; ++k) QVERIFY(!o->optionBox(k)->isVisible());
  }

  void theDialogSitsAtTheTopRightOfTheMainWindow() {
    auto w = StartProgram();
    w->testAction(0)->trigger();
    OptionsDialog* o = w->optionsDialog();
    QVERIFY(o->frameGeometry().right() <= w->frameGeometry().right());
    QVERIFY(o->frameGeometry().right() >= w->frameGeometry().right() - 40);
  }
};

PELMORA_GUI_TEST(OptionsDialogTest)

}  // namespace pelmora::gui_testing

#include "test_options_dialog.moc"
