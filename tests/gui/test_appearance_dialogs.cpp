// The appearance dialogs: "Edit Table" / "Edit Output" show the window's
// values, preview the font, split the title into heading lines and hand back
// what OK confirmed; "Edit Graph" checks the typed axis values on OK and keeps
// the dialog open on the rejected box; both refuse, as it is typed, a
// character a settings file cannot keep.
#include <QCheckBox>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

#include "gui/gui_test.h"
#include "views/appearance_dialogs.h"
#include "session/settings_file.h"
#include "widgets/number_box.h"

namespace pelmora::gui_testing {

namespace {

TableAppearance SomeTable() {
  TableAppearance a;
  a.headings = {"Student's t-test", "Unknown: Sample Size 1"};
  a.fontName = "Arial";
  a.fontSize = 12;
  a.bold = true;
  a.columns = 4;
  a.decimals = 3;
  return a;
}

GraphTexts SomeGraph() {
  GraphTexts t;
  t.title = "Power curves";
  t.xLabel = "Sample Size";
  t.yLabel = "Power";
  t.zLabel = "Mean 2*";
  t.xAxis = {"0", "100", "10"};
  t.yAxis = {"0", "1", "0.1"};
  t.fontName = "Arial";
  t.fontSize = 10;
  return t;
}

// Some family of the list other than the one shown.
int OtherFontIndex(QComboBox* fonts) { return fonts->currentIndex() == 0 ? 1 : 0; }

// Shows the dialog and waits until it is the active window.
bool ShowActive(QDialog& dialog) {
  dialog.show();
  dialog.activateWindow();
  return QTest::qWaitForWindowActive(&dialog);
}

// Runs the dialog modally; `user` plays the user's part once the dialog is up.
int ExecWith(QDialog& dialog, std::function<void()> user) {
  QTimer::singleShot(0, &dialog, std::move(user));
  return dialog.exec();
}

// Types any text, one key per character (QTest types ASCII only).
void TypeAny(QWidget* box, const QString& text) {
  for (const QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, c == '\n' ? Qt::Key_Return : 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(box, &press);
  }
}

// "Größe µ ≥ 5": the last but one character is not in the Windows code page.
const QString kGreaterEqual = QString::fromUtf8("Gr\xC3\xB6\xC3\x9F" "e \xC2\xB5 \xE2\x89\xA5 5");
const QString kKept = QString::fromUtf8("Gr\xC3\xB6\xC3\x9F" "e \xC2\xB5  5");
const std::string kNotKept =
    "\"\xE2\x89\xA5\" cannot be kept in a settings file, which holds only the characters of the Windows code page "
    "1252 (Western European).";

}  // namespace

class AppearanceDialogsTest : public QObject {
  Q_OBJECT
 private slots:
  void titleTextIsSplitAtItsLineBreaks() {
    QCOMPARE(SplitHeadingLines("one\ntwo"), (std::vector<std::string>{"one", "two"}));
    QCOMPARE(SplitHeadingLines("one\r\ntwo\r\n"), (std::vector<std::string>{"one", "two"}));
    // An empty line between two lines is a heading line of its own.
    QCOMPARE(SplitHeadingLines("one\n\ntwo"), (std::vector<std::string>{"one", "", "two"}));
    // Line breaks at the end add no lines; an empty text has none.
    QCOMPARE(SplitHeadingLines("one\n\n"), (std::vector<std::string>{"one"}));
    QVERIFY(SplitHeadingLines("").empty());
    QVERIFY(SplitHeadingLines("\n").empty());
    // Blanks are kept as typed.
    QCOMPARE(SplitHeadingLines("  indented "), (std::vector<std::string>{"  indented "}));
    QCOMPARE(JoinHeadingLines({"one", "", "two"}), std::string("one\n\ntwo"));
    QCOMPARE(TooManyHeadingLinesMessage(), std::string("Maximum number of heading lines is 16"));
  }

  void valuesTheListsLackAreShownAndKept() {
    TableAppearance a = SomeTable();
    a.fontName = "No Such Font Pelmora";
    a.fontSize = 36;
    a.columns = 0;
    a.decimals = -1;
    EditTableDialog dialog(a, EditTableDialog::Use::Table);
    QCOMPARE(dialog.cmbFonts()->currentText(), QStringLiteral("No Such Font Pelmora"));
    QCOMPARE(dialog.cmbSize()->currentText(), QStringLiteral("36"));
    // Automatic decimals and an unset column count: no choice shown.
    QCOMPARE(dialog.cmbCol()->currentIndex(), -1);
    QCOMPARE(dialog.cmbDec()->currentIndex(), -1);
    QVERIFY(ShowActive(dialog));
    dialog.cmdOK()->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.appearance(), a);
    // Without a font the output font is shown.
    a.fontName = "";
    a.fontSize = 0;
    EditTableDialog plain(a, EditTableDialog::Use::Table);
    QCOMPARE(plain.cmbFonts()->currentText(), QStringLiteral("Arial"));
    QCOMPARE(plain.cmbSize()->currentText(), QStringLiteral("9"));
  }

  void okStoresTitleFontColumnsAndDecimals() {
    const TableAppearance before = SomeTable();
    EditTableDialog dialog(before, EditTableDialog::Use::Table);
    QVERIFY(ShowActive(dialog));
    const int other = OtherFontIndex(dialog.cmbFonts());
    const QString family = dialog.cmbFonts()->itemText(other);
    dialog.cmbFonts()->setCurrentIndex(other);
    dialog.cmbSize()->setCurrentIndex(dialog.cmbSize()->findText(QStringLiteral("14")));
    // The title shows the chosen font at once.
    QCOMPARE(dialog.txtTitle()->font().family(), family);
    QCOMPARE(dialog.txtTitle()->font().pointSize(), 14);
    QTest::mouseClick(dialog.chkBold(), Qt::LeftButton);
    QVERIFY(!dialog.txtTitle()->font().bold());
    dialog.cmbCol()->setCurrentIndex(2);
    dialog.cmbDec()->setCurrentIndex(5);
    dialog.txtTitle()->setFocus();
    QTRY_COMPARE(dialog.txtTitle()->textCursor().selectedText(),
                 QStringLiteral("Student's t-test\u2029Unknown: Sample Size 1"));
    // Return in the title starts a new line and does not close.
    QTest::keyClicks(dialog.txtTitle(), QStringLiteral("First line"));
    QTest::keyClick(dialog.txtTitle(), Qt::Key_Return);
    QTest::keyClick(dialog.txtTitle(), Qt::Key_Return);
    QTest::keyClicks(dialog.txtTitle(), QStringLiteral("Third line"));
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.appearance(), before);  // nothing handed back before OK
    dialog.cmdOK()->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const TableAppearance after = dialog.appearance();
    QCOMPARE(after.headings, (std::vector<std::string>{"First line", "", "Third line"}));
    QCOMPARE(QString::fromStdString(after.fontName), family);
    QCOMPARE(after.fontSize, 14);
    QCOMPARE(after.bold, false);
    QCOMPARE(after.columns, std::int16_t{3});
    QCOMPARE(after.decimals, std::int16_t{5});
    // "Edit Output" hands back the font and keeps columns and decimals.
    EditTableDialog output(before, EditTableDialog::Use::Output);
    QVERIFY(ShowActive(output));
    output.cmbSize()->setCurrentIndex(output.cmbSize()->findText(QStringLiteral("8")));
    output.cmdOK()->click();
    TableAppearance expected = before;
    expected.fontSize = 8;
    QCOMPARE(output.appearance(), expected);
  }

  void cancelAndEscapeStoreNothing() {
    const TableAppearance before = SomeTable();
    for (bool escape : {false, true}) {
      EditTableDialog dialog(before, EditTableDialog::Use::Table);
      const int code = ExecWith(dialog, [&dialog, escape] {
        dialog.cmbFonts()->setCurrentIndex(OtherFontIndex(dialog.cmbFonts()));
        dialog.cmbCol()->setCurrentIndex(0);
        dialog.txtTitle()->setPlainText(QStringLiteral("changed"));
        if (escape)
          QTest::keyClick(dialog.txtTitle(), Qt::Key_Escape);
        else
          dialog.cmdCancel()->click();
      });
      QCOMPARE(code, int(QDialog::Rejected));
      QCOMPARE(dialog.appearance(), before);
    }
    RecordingUserInterface ui;
    EditGraphDialog graph(SomeGraph(), ui);
    const int code = ExecWith(graph, [&graph] {
      Type(graph.txtTitle(), QStringLiteral("changed"));
      graph.cmdCancel()->click();
    });
    QCOMPARE(code, int(QDialog::Rejected));
    QCOMPARE(graph.texts(), SomeGraph());
  }

  void moreThanSixteenHeadingLinesAreRefused() {
    const TableAppearance a = SomeTable();
    EditTableDialog dialog(a, EditTableDialog::Use::Table);
    QVERIFY(ShowActive(dialog));
    QStringList lines;
    for (int i = 1; i <= 17; ++i) lines << QStringLiteral("Line %1").arg(i);
    dialog.txtTitle()->setPlainText(lines.join('\n'));
    {
      auto answer = AnswerNextMessageBox(QMessageBox::Ok);
      dialog.cmdOK()->click();
      QCOMPARE(answer->text, QStringLiteral("Maximum number of heading lines is 16"));
      QCOMPARE(answer->title, QStringLiteral("Pelmora"));
    }
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.appearance(), a);
    QTRY_COMPARE(dialog.focusWidget(), static_cast<QWidget*>(dialog.txtTitle()));
    // Sixteen lines (and a final line break) pass.
    lines.removeLast();
    dialog.txtTitle()->setPlainText(lines.join('\n') + '\n');
    dialog.cmdOK()->click();
    QCOMPARE(dialog.appearance().headings.size(), std::size_t{16});
  }

  // "Größe µ ≥ 5" typed as a graph's title or a table's heading: the
  // character the code page lacks is refused and named; the rest is kept.
  void aCharacterASettingsFileCannotKeepIsRefused() {
    RecordingUserInterface ui;
    EditGraphDialog graph(SomeGraph(), ui);
    QVERIFY(ShowActive(graph));
    for (QLineEdit* box : {graph.txtTitle(), graph.txtXAxisLabel(), graph.txtZaxisLabel()}) {
      box->clear();
      TypeAny(box, kGreaterEqual);
      QCOMPARE(box->text(), kKept);
      QCOMPARE(ui.LastText(), kNotKept);
    }
    QCOMPARE(ui.messages.size(), std::size_t{3});
    graph.cmdOK()->click();
    QCOMPARE(QString::fromStdString(graph.texts().title), kKept);

    EditTableDialog table(SomeTable(), EditTableDialog::Use::Table);
    QVERIFY(ShowActive(table));
    table.txtTitle()->setFocus();
    table.txtTitle()->moveCursor(QTextCursor::End);
    auto answer = AnswerNextMessageBox(QMessageBox::Ok);
    TypeAny(table.txtTitle(), QStringLiteral("\n") + kGreaterEqual);
    QTRY_VERIFY(answer->seen);
    QCOMPARE(answer->text.toStdString(), kNotKept);
    QCOMPARE(table.txtTitle()->toPlainText().split('\n').last(), kKept);
    // Every family offered can be kept.
    for (int i = 0; i < table.cmbFonts()->count(); ++i)
      QVERIFY(FirstCharacterNotInWindowsAnsi(table.cmbFonts()->itemText(i).toStdString()).empty());
  }

  void axisValuesAreCheckedOnOk() {
    struct Case {
      std::array<std::string, 3> x, y;
      std::string message;  // empty: accepted
      AxisBox box;
    };
    const Case cases[] = {
        {{"0", "100", "10"}, {"0", " ", "0.1"}, "A Value Is Missing", AxisBox::YMax},
        {{"", "100", "10"}, {"0", "1", "0.1"}, "A Value Is Missing", AxisBox::XMin},
        {{"0", "100", "10"}, {"5", "1", "1"}, "Error In Relation: Min = 5 > Max = 1", AxisBox::YMin},
        {{"0", "1", "0.001"},
         {"0", "1", "0.1"},
         "Min = 0,  Max = 1  and  Tick = 0.001  Results In Too Many Intervals   (Maximum Number =  200)",
         AxisBox::XTick},
        {{"0", "100", "0"}, {"0", "1", "0.1"}, "0  Is Not Allowed", AxisBox::XTick},
        {{"0", "100", "10"}, {"0", "1", "0,0"}, "0,0  Is Not Allowed", AxisBox::YTick},
        {{"0", "100", "10"}, {"0", "0", "1"}, "", AxisBox::YTick},  // an automatic y-axis
    };
    for (const Case& c : cases) {
      RecordingUserInterface ui;
      GraphTexts t = SomeGraph();
      t.xAxis = c.x;
      t.yAxis = c.y;
      EditGraphDialog dialog(t, ui);
      QVERIFY(ShowActive(dialog));
      dialog.cmdOK()->click();
      QCOMPARE(dialog.isVisible(), !c.message.empty());
      if (c.message.empty()) {
        QVERIFY(ui.messages.empty());
        QCOMPARE(dialog.texts(), t);
        continue;
      }
      QCOMPARE(ui.messages.size(), std::size_t{1});
      QCOMPARE(QString::fromStdString(ui.LastText()), QString::fromStdString(c.message));
      QCOMPARE(ui.messages[0].title, std::string("Can't Calculate"));
      QCOMPARE(dialog.texts(), t);
      QTRY_VERIFY(dialog.axisBox(c.box)->hasFocus());
      QCOMPARE(dialog.axisBox(c.box)->selectedText(), dialog.axisBox(c.box)->text());
    }
  }

  void validValuesAreAcceptedAndHandedBack() {
    RecordingUserInterface ui;
    EditGraphDialog dialog(SomeGraph(), ui);
    QVERIFY(ShowActive(dialog));
    // A letter in an axis box is refused as in every value box.
    Type(dialog.txtYAxisValue(2), QStringLiteral("1a"));
    QCOMPARE(ui.LastText(), std::string("a   is not allowed. Must be a digit."));
    QCOMPARE(dialog.txtYAxisValue(2)->text(), QStringLiteral("1"));
    ui.messages.clear();
    Type(dialog.txtTitle(), QStringLiteral("New title"));
    Type(dialog.txtXAxisLabel(), QStringLiteral("Size (n)"));
    Type(dialog.txtYAxisLabel(), QStringLiteral("1 - beta"));
    Type(dialog.txtZaxisLabel(), QStringLiteral("delta"));
    const char* const values[] = {"10", "50", "5", "0,5", "1", "0.05"};
    for (int i = 0; i < 6; ++i) Type(dialog.axisBox(static_cast<AxisBox>(i)), QString::fromLatin1(values[i]));
    dialog.cmbSize()->setCurrentIndex(dialog.cmbSize()->findText(QStringLiteral("11")));
    dialog.chkBold()->click();
    // Return in a value box is the OK button.
    QTest::keyClick(dialog.txtYAxisValue(3), Qt::Key_Return);
    QVERIFY(ui.messages.empty());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    GraphTexts expected = SomeGraph();
    expected.title = "New title";
    expected.xLabel = "Size (n)";
    expected.yLabel = "1 - beta";
    expected.zLabel = "delta";
    expected.xAxis = {"10", "50", "5"};
    expected.yAxis = {"0,5", "1", "0.05"};
    expected.fontSize = 11;
    expected.bold = true;
    QCOMPARE(dialog.texts(), expected);
  }
};

PELMORA_GUI_TEST(AppearanceDialogsTest)

}  // namespace pelmora::gui_testing

#include "test_appearance_dialogs.moc"
