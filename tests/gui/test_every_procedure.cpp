// Every item of the Test Procedures menu computes in the Calculation window,
// and the window shows what pelmora-cli gives for the same selection.
#include <QLineEdit>
#include <QPushButton>
#include <sstream>

#include "cli/cli.h"
#include "forms/calc_window.h"
#include "forms/options_dialog.h"
#include "gui/gui_test.h"
#include "session/menus.h"

namespace pelmora::gui_testing {

namespace {

// The text pelmora-cli shows for the P-value of a test with its start-up
// values, for the samples and tails the window's options hold (they carry
// over from one selection to the next).
QString CliPValue(int test, const Session& s) {
  std::ostringstream out, err;
  RunCli({"--test", std::to_string(test), "--samples", std::to_string(s.SampleCount), "--tails",
          std::to_string(s.TailCount), "--unknown", "P-value", "--json"},
         out, err);
  const std::string json = out.str();
  const std::string key = "\"unknown\": {\"id\": 0, \"caption\": \"P-value\", \"value\": ";
  const auto at = json.find(key);
  if (at == std::string::npos) return QStringLiteral("?");
  const auto text = json.find("\"text\": \"", at);
  const auto end = json.find('"', text + 9);
  return QString::fromStdString(json.substr(text + 9, end - text - 9));
}

}  // namespace

class EveryProcedureTest : public QObject {
  Q_OBJECT
 private slots:
  void everyTestProcedureComputesAsTheCommandLineDoes() {
    auto w = StartProgram();
    int numbers = 0;
    for (int i = 0; i < static_cast<int>(TestMenuCaptions().size()); ++i) {
      if (!IsTestItem(i)) continue;
      w->testAction(i)->trigger();
      QTest::mouseClick(w->optionsDialog()->okButton(), Qt::LeftButton);
      auto* calc = qobject_cast<CalcWindow*>(w->activeResultWindow());
      QVERIFY(calc != nullptr);
      QVERIFY2(w->session().LastPosition >= 2, qPrintable(QString::number(i)));
      const QString shown = calc->valueBox(0)->text();
      QVERIFY2(shown == CliPValue(i, w->session()),
               qPrintable(QStringLiteral("test %1: window %2, command line %3")
                              .arg(i)
                              .arg(shown, CliPValue(i, w->session()))));
      if (shown != QStringLiteral("-")) ++numbers;
    }
    QCOMPARE(numbers, 15);
  }
};

PELMORA_GUI_TEST(EveryProcedureTest)

}  // namespace pelmora::gui_testing

#include "test_every_procedure.moc"
