// Interim analyses in the windows: the options dialog offers them for a test
// planned by power with one or two tails, and the Calculation window and its
// output show the group-sequential design beneath the rows.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "forms/sequential_options.h"
#include "gui/gui_test.h"
#include "views/result_output.h"

namespace pelmora::gui_testing {

class SequentialWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void theDialogOffersInterimsAndTheWindowShowsTheDesign() {
    auto w = StartProgram();
    w->menus().procedure(Procedure::UnpairedT)->trigger();
    OptionsDialog* o = w->optionsDialog();
    // Not planned by power: no interim analyses.
    QVERIFY(!o->interimFrame()->isVisible());
    QTest::mouseClick(o->rowButton(1, 2), Qt::LeftButton);
    QCheckBox* power = o->planByPowerBox();
    QTest::mouseClick(power, Qt::LeftButton, {}, QPoint(6, power->height() / 2));
    QVERIFY(o->interimFrame()->isVisible());
    SequentialOptions* seq = o->sequentialOptions();
    QVERIFY(!seq->isVisible());
    QTest::mouseClick(o->interimFrame()->findChild<QRadioButton*>(QStringLiteral("optInterim_2")), Qt::LeftButton);
    QVERIFY(seq->isVisible());
    QCOMPARE(seq->boundaryBox()->currentText(), QStringLiteral("O'Brien-Fleming"));
    QVERIFY(!seq->boundaryParameterBox()->isVisible());
    // A family with a parameter shows its box; the futility family enables binding.
    seq->boundaryBox()->setCurrentText(QStringLiteral("Wang-Tsiatis"));
    QVERIFY(seq->boundaryParameterBox()->isVisible());
    QVERIFY(!seq->bindingBox()->isEnabled());
    seq->futilityBox()->setCurrentText(QStringLiteral("Pocock Spending"));
    QVERIFY(seq->bindingBox()->isEnabled());
    seq->futilityBox()->setCurrentText(QStringLiteral("None"));
    seq->boundaryBox()->setCurrentText(QStringLiteral("O'Brien-Fleming"));
    QTest::mouseClick(o->okButton(), Qt::LeftButton);

    auto* calc = qobject_cast<CalcWindow*>(w->activeResultWindow());
    Type(calc->valueBox(0), QStringLiteral("0.05"));
    Type(calc->valueBox(3), QStringLiteral("0"));
    Type(calc->valueBox(4), QStringLiteral("0.5"));
    Type(calc->valueBox(5), QStringLiteral("1"));
    Type(calc->valueBox(7), QStringLiteral("1"));
    QTest::mouseClick(calc->label(6), Qt::LeftButton);
    // 1.017406 x 63.766 = 64.88; the t statistic needs 64.858.
    QCOMPARE(calc->valueBox(6)->text(), QStringLiteral("64.858"));
    QLabel* design = calc->sequentialDesign();
    QVERIFY(design->isVisible());
    QVERIFY(design->geometry().top() > calc->designPower()->geometry().bottom());
    QVERIFY(design->text().contains(QStringLiteral("O'Brien-Fleming bounds, 3 analyses")));
    QVERIFY(design->text().contains(QStringLiteral("22, 22")));
    QVERIFY(design->text().contains(QStringLiteral("Inflation factor: 1.0174")));
    // The output (preview, copy, print) has the same lines.
    const std::string text = CalculationPlainText(w->dispatcher().session());
    QVERIFY(text.find("Maximum sample sizes 65, 65 (130 in all)") != std::string::npos);
    QVERIFY(text.find("44, 44") != std::string::npos);

    // Two one-sided tests have no interim analyses.
    w->menus().procedure(Procedure::UnpairedT)->trigger();
    QTest::mouseClick(o->tailsButton(2), Qt::LeftButton);
    QVERIFY(!o->interimFrame()->isVisible());
  }
};

PELMORA_GUI_TEST(SequentialWindowTest)

}  // namespace pelmora::gui_testing

#include "test_sequential_window.moc"
