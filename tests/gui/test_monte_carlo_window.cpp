// The Monte Carlo window: opened from the File menu, a t-test design solved
// and simulated on worker threads, the results and the histogram in the
// window and its output, a long run cancelled promptly, and the window's
// settings saved and opened again as a Monte Carlo window.
#include <QCheckBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <cmath>

#include "forms/monte_carlo_window.h"
#include "gui/gui_test.h"
#include "views/result_output.h"

namespace pelmora::gui_testing {

namespace {

// A new Monte Carlo window of the unpaired t-test planned by power 0.8, its
// first sample size solved: 64 and 64 for a difference of 0.5 in SDs of 1.
MonteCarloWindow* PlannedTTest(MainWindow& w) {
  w.menus().newMonteCarlo->trigger();
  w.menus().procedure(Procedure::UnpairedT)->trigger();
  OptionsDialog* o = w.optionsDialog();
  QTest::mouseClick(o->rowButton(1, 2), Qt::LeftButton);
  QCheckBox* power = o->planByPowerBox();
  if (!power->isChecked()) QTest::mouseClick(power, Qt::LeftButton, {}, QPoint(6, power->height() / 2));
  QTest::mouseClick(o->okButton(), Qt::LeftButton);
  auto* monte = qobject_cast<MonteCarloWindow*>(w.activeResultWindow());
  if (monte == nullptr) return nullptr;
  Type(monte->valueBox(0), QStringLiteral("0.05"));
  Type(monte->valueBox(3), QStringLiteral("0"));
  Type(monte->valueBox(4), QStringLiteral("0.5"));
  Type(monte->valueBox(5), QStringLiteral("1"));
  Type(monte->valueBox(7), QStringLiteral("1"));
  QTest::mouseClick(monte->label(6), Qt::LeftButton);
  return monte;
}

}  // namespace

class MonteCarloWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void theOptionsDialogOffersWhatASimulationCanDo() {
    auto w = StartProgram();
    QCOMPARE(w->menus().newMonteCarlo->text(), QStringLiteral("New &Monte Carlo Simulation"));
    w->menus().newMonteCarlo->trigger();
    auto* monte = qobject_cast<MonteCarloWindow*>(w->activeResultWindow());
    QVERIFY(monte != nullptr);
    QCOMPARE(monte->kind(), WindowKind::MonteCarlo);
    QCOMPARE(monte->caption(), QStringLiteral("Monte Carlo 1"));
    // Before a procedure is chosen, F1 explains the window.
    QCOMPARE(monte->helpContext(), 104);
    w->ShowHelp(monte->helpContext());
    QCOMPARE(w->helpWindow()->currentFile(), QStringLiteral("monte-carlo-window.html"));
    w->helpWindow()->close();
    w->menus().procedure(Procedure::NormalDistribution)->trigger();
    OptionsDialog* o = w->optionsDialog();
    QVERIFY(o->interimFrame()->isVisible());
    QVERIFY(!o->procedureButton(1)->isEnabled());  // "Point Estimate"
    QCOMPARE(o->procedureButton(1)->text(), QStringLiteral("Point Estimate"));
    // The mean of a finite population says it cannot be simulated.
    MessageWatch messages;
    w->menus().procedure(Procedure::FinitePopulation)->trigger();
    QTest::mouseClick(o->okButton(), Qt::LeftButton);
    QTRY_VERIFY(messages.texts.contains(QStringLiteral("Not Available As Monte Carlo Simulation")));
  }

  void theShareAxisEndsRoundAboveTheTallestBar() {
    const struct {
      double largest, top, tick;
    } rows[] = {{0.83, 0.9, 0.1}, {0.05, 0.05, 0.005}, {0.051, 0.06, 0.01}, {1.0, 1.0, 0.1}, {0.0, 1.0, 0.1}};
    for (const auto& row : rows) {
      const ShareAxis axis = ShareAxisOf(row.largest);
      QVERIFY2(std::fabs(axis.top - row.top) < 1e-12 && std::fabs(axis.tick - row.tick) < 1e-12,
               qPrintable(QString::number(row.largest)));
    }
  }

  void aTTestSimulatesCancelsAndComesBackFromItsFile() {
    auto w = StartProgram();
    MonteCarloWindow* monte = PlannedTTest(*w);
    QVERIFY(monte != nullptr);
    QCOMPARE(monte->valueBox(6)->text(), QStringLiteral("63.766"));  // 64 and 64 recruited
    auto* sub = qobject_cast<QMdiSubWindow*>(monte->parentWidget());
    QVERIFY(sub->windowTitle().startsWith(QStringLiteral("Monte Carlo 1 - Student's unpaired t-test")));
    QCOMPARE(monte->studiesBox()->text(), QStringLiteral("10000"));
    QCOMPARE(monte->seedBox()->text(), QStringLiteral("1"));
    QVERIFY(monte->dataBox()->isEnabled());

    // A small run: the results, the histogram and the output.
    Type(monte->studiesBox(), QStringLiteral("2000"));
    Type(monte->seedBox(), QStringLiteral("5"));
    monte->dataBox()->setCurrentIndex(2);  // t with 3 degrees of freedom
    QTest::mouseClick(monte->simulateButton(), Qt::LeftButton);
    QVERIFY(monte->isSimulating());
    QVERIFY(monte->cancelButton()->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!monte->isSimulating(), 20000);
    QVERIFY(monte->result().has_value());
    const QString results = monte->results()->text();
    QVERIFY2(results.contains(QStringLiteral("Monte Carlo simulation: 2,000 studies, seed 5, data t3")),
             qPrintable(results));
    QVERIFY(results.contains(QStringLiteral("Simulated power: ")));
    QVERIFY(results.contains(QStringLiteral("Simulated significance level under H0: ")));
    QVERIFY(monte->histogram()->isVisible());
    QVERIFY(monte->histogram()->result().has_value());
    std::int64_t binned = 0;
    for (std::int64_t n : monte->result()->h1.pValues) binned += n;
    QCOMPARE(binned, std::int64_t{2000});
    const std::string output = CalculationPlainText(w->dispatcher().session());
    QVERIFY2(output.find("Simulated power: ") != std::string::npos, output.c_str());
    // The histogram as a picture.
    QTemporaryDir folder;
    std::string error;
    const std::string png = folder.filePath(QStringLiteral("histogram.png")).toStdString();
    QVERIFY2(ExportPValueHistogram(png, *monte->result(), QSize(400, 250), error), error.c_str());
    QImage picture(QString::fromStdString(png));
    QCOMPARE(picture.size(), QSize(400, 250));
    int bars = 0;
    for (int y = 0; y < picture.height(); ++y)
      for (int x = 0; x < picture.width(); ++x) bars += picture.pixelColor(x, y) == CurveColour(1);
    QVERIFY(bars > 100);

    // A long run stops promptly on Cancel, keeping its studies.
    Type(monte->studiesBox(), QStringLiteral("10000000"));
    QTest::mouseClick(monte->simulateButton(), Qt::LeftButton);
    QTRY_VERIFY(monte->progressText()->text().contains(QStringLiteral(" so far ")));
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(monte->cancelButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!monte->isSimulating(), 5000);
    QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY2(monte->results()->text().contains(QStringLiteral("stopped after ")),
             qPrintable(monte->results()->text()));
    QVERIFY(monte->results()->text().contains(QStringLiteral(" of 20,000,000 studies")));
    // A design solved again while it is simulated stops the run and drops its results.
    QTest::mouseClick(monte->simulateButton(), Qt::LeftButton);
    QVERIFY(monte->isSimulating());
    QTest::mouseClick(monte->label(6), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!monte->isSimulating(), 5000);
    QVERIFY(!monte->result().has_value());
    QVERIFY(monte->results()->isHidden());
    QVERIFY(monte->simulateButton()->isEnabled());

    // Saved and opened again: a Monte Carlo window with its settings.
    const QString path = folder.filePath(QStringLiteral("Monte1.dim"));
    auto save = AcceptNextFileDialog(path);
    w->menus().saveAs->trigger();
    QTRY_VERIFY(save->handler->seen);
    QCOMPARE(QFileInfo(save->proposed).fileName(), QStringLiteral("Monte1.dim"));
    QVERIFY(QFileInfo::exists(path));
    sub->close();
    QApplication::processEvents();
    ResultWindow* opened = w->OpenSettings(path);
    auto* again = qobject_cast<MonteCarloWindow*>(opened);
    QVERIFY(again != nullptr);
    QCOMPARE(again->kind(), WindowKind::MonteCarlo);
    QCOMPARE(again->valueBox(6)->text(), QStringLiteral("63.766"));
    QCOMPARE(again->studiesBox()->text(), QStringLiteral("10000000"));
    QCOMPARE(again->seedBox()->text(), QStringLiteral("5"));
    QCOMPARE(again->dataBox()->currentIndex(), 2);
  }
};

PELMORA_GUI_TEST(MonteCarloWindowTest)

}  // namespace pelmora::gui_testing

#include "test_monte_carlo_window.moc"
