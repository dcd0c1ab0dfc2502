// Every item of the Test Procedures menu computes in the Calculation window,
// and the window shows what pelmora-cli gives for the same selection.
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <sstream>

#include "cli/cli.h"
#include "forms/calc_window.h"
#include "forms/options_dialog.h"
#include "gui/gui_test.h"
#include "session/procedure_table.h"

namespace pelmora::gui_testing {

namespace {

// The text pelmora-cli shows for the unknown at position 0 of a selection
// with its start-up values, for the samples and tails the window's options
// hold (they carry over from one selection to the next).
QString CliText(std::vector<std::string> selection, const Session& s) {
  const std::string id = std::to_string(s.ParameterList[0]);
  for (const std::string& a :
       {std::string("--samples"), std::to_string(s.SampleCount), std::string("--tails"),
        std::to_string(s.TailCount), std::string("--unknown"), id, std::string("--json")})
    selection.push_back(a);
  std::ostringstream out, err;
  RunCli(selection, out, err);
  const std::string json = out.str();
  const std::string key = "\"unknown\": {\"id\": " + id + ", ";
  const auto at = json.find(key);
  if (at == std::string::npos) return QString::fromStdString(err.str());
  const auto text = json.find("\"text\": \"", at);
  const auto end = json.find('"', text + 9);
  return QString::fromStdString(json.substr(text + 9, end - text - 9));
}

QString CliPValue(Procedure test, const Session& s) { return CliText({"--test", ProcedureName(test)}, s); }

}  // namespace

class EveryProcedureTest : public QObject {
  Q_OBJECT
 private slots:
  void everyTestProcedureComputesAsTheCommandLineDoes() {
    auto w = StartProgram();
    int numbers = 0;
    for (const ProcedureRow& row : Procedures()) {
      if (row.menu != Menu::Tests) continue;
      const Procedure i = row.procedure;
      w->menus().procedure(i)->trigger();
      QTest::mouseClick(w->optionsDialog()->okButton(), Qt::LeftButton);
      auto* calc = qobject_cast<CalcWindow*>(w->activeResultWindow());
      QVERIFY(calc != nullptr);
      QVERIFY2(w->session().LastPosition >= 2, qPrintable(QString::fromStdString(ProcedureName(i))));
      const QString shown = calc->valueBox(0)->text();
      QVERIFY2(shown == CliPValue(i, w->session()),
               qPrintable(QStringLiteral("test %1: window %2, command line %3")
                              .arg(QString::fromStdString(ProcedureName(i)))
                              .arg(shown, CliPValue(i, w->session()))));
      if (shown != QStringLiteral("-")) ++numbers;
    }
    QCOMPARE(numbers, 15);
  }

  void everySampleDistributionComputesAsTheCommandLineDoes() {
    auto w = StartProgram();
    // Selections with a message (a check of the start-up values, "Not
    // Available") have it answered; the command line reports it likewise.
    QTimer dismiss;
    QStringList said;
    QObject::connect(&dismiss, &QTimer::timeout, [&said] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        said << box->text();
        box->accept();
      }
    });
    dismiss.start(5);
    static const char* const kKinds[] = {"test", "estimate", "interval"};
    int selections = 0, numbers = 0;
    for (const ProcedureRow& row : Procedures()) {
      if (row.menu != Menu::Distributions) continue;
      const Procedure i = row.procedure;
      w->menus().procedure(i)->trigger();
      OptionsDialog* o = w->optionsDialog();
      const Session& s = w->session();
      for (int choice = 0; choice < o->parameterList()->count(); ++choice) {
        o->parameterList()->setCurrentRow(choice);
        for (int kind = 0; kind < 3; ++kind) {
          if (!o->procedureButton(kind)->isEnabled()) continue;
          o->procedureButton(kind)->click();
          // The start-up values, as the command line has them; a result of an
          // earlier selection would otherwise stand in a shared parameter.
          w->session().catalogue = CatalogueValues();
          QTest::mouseClick(o->okButton(), Qt::LeftButton);
          auto* calc = qobject_cast<CalcWindow*>(w->activeResultWindow());
          QVERIFY(calc != nullptr);
          // The first caption makes the first parameter the unknown.
          QTest::mouseClick(calc->label(0), Qt::LeftButton);
          const QString shown = calc->valueBox(0)->text();
          const QString cli = CliText({"--distribution", ProcedureName(i), "--parameter",
                                       std::to_string(choice), "--kind", kKinds[kind]},
                                      s);
          QVERIFY2(shown == cli,
                   qPrintable(QStringLiteral("distribution %1 choice %2 kind %3: window %4, command line %5")
                                  .arg(QString::fromStdString(ProcedureName(i)))
                                  .arg(choice)
                                  .arg(kind)
                                  .arg(shown, cli) +
                              said.join(QStringLiteral(" / "))));
          said.clear();
          ++selections;
          if (shown != QStringLiteral("-")) ++numbers;
        }
      }
    }
    qInfo("Sample distributions in the window: %d selections, %d computed", selections, numbers);
    QVERIFY(selections >= 40);
    QVERIFY(numbers > selections / 2);
  }
};

PELMORA_GUI_TEST(EveryProcedureTest)

}  // namespace pelmora::gui_testing

#include "test_every_procedure.moc"
