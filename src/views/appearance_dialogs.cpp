#include "views/appearance_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFont>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTextCursor>
#include <QTimer>
#include <QVBoxLayout>

#include "widgets/dialog_placement.h"
#include "widgets/twips.h"
#include "format/number_entry.h"
#include "format/number_format.h"
#include "widgets/number_box.h"
#include "session/session.h"
#include "format/code_page.h"
#include "session/typed_text.h"

namespace pelmora {

int DialogFontSize(const std::string& size) {
  const double points = ParseNumber(size);
  return points >= 6 && points <= 28 ? static_cast<int>(points) : 9;
}

namespace {

constexpr const char* kEditTableCaption = "Edit Table";
constexpr const char* kEditOutputCaption = "Edit Output";
constexpr const char* kEditGraphCaption = "Edit Graph";

// The output font, shown when a window names none.
constexpr const char* kDefaultFontName = "Arial";
constexpr int kDefaultFontSize = 9;

// Widths of the text boxes, in twips.
constexpr int kTitleWidthTwips = 5400;
constexpr int kTitleHeightTwips = 1500;
constexpr int kLabelBoxWidthTwips = 3600;
constexpr int kValueBoxWidthTwips = 1200;

QString Text(const std::string& s) { return QString::fromStdString(s); }

// The label of a control, bound to it so that its accelerator reaches the
// control; named after it ("lblTitle" for txtTitle).
QLabel* NewLabel(const char* caption, QWidget* buddy, QWidget* parent) {
  auto* label = new QLabel(QString::fromLatin1(caption), parent);
  label->setObjectName(QStringLiteral("lbl") + buddy->objectName().mid(3));
  label->setBuddy(buddy);
  return label;
}

template <typename T>
T* Named(T* widget, const QString& name) {
  widget->setObjectName(name);
  return widget;
}

// Selects the item whose text is `text` (case aside); when the list lacks it,
// it is inserted where `before` says it belongs, so that the value can be kept.
template <typename Before>
void ShowOrInsert(QComboBox* combo, const QString& text, Before before) {
  int index = combo->findText(text, Qt::MatchFixedString);
  if (index < 0) {
    index = 0;
    while (index < combo->count() && !before(text, combo->itemText(index))) ++index;
    combo->insertItem(index, text);
  }
  combo->setCurrentIndex(index);
}

// cmbFonts: every font family the screen offers whose name a settings file
// can keep, showing `name` (the output font when there is none).
QComboBox* NewFontList(const std::string& name, QWidget* parent) {
  auto* combo = Named(new QComboBox(parent), QStringLiteral("cmbFonts"));
  for (const QString& family : QFontDatabase::families())
    if (FirstCharacterNotInWindowsAnsi(family.toStdString()).empty()) combo->addItem(family);
  QString shown = Text(name).trimmed();
  if (shown.isEmpty()) shown = QString::fromLatin1(kDefaultFontName);
  ShowOrInsert(combo, shown, [](const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
  });
  return combo;
}

// cmbSize: the sizes 6..28, showing `size` (the output font's size when it
// is not positive).
QComboBox* NewSizeList(int size, QWidget* parent) {
  auto* combo = Named(new QComboBox(parent), QStringLiteral("cmbSize"));
  for (int s = kSmallestFontSize; s <= kLargestFontSize; ++s) combo->addItem(QString::number(s));
  ShowOrInsert(combo, QString::number(size > 0 ? size : kDefaultFontSize),
               [](const QString& a, const QString& b) { return a.toInt() < b.toInt(); });
  return combo;
}

// A list of the numbers first..last, showing `value`, or no choice when the
// list does not hold it.
QComboBox* NewNumberList(const char* name, int first, int last, int value, QWidget* parent) {
  auto* combo = Named(new QComboBox(parent), QString::fromLatin1(name));
  for (int v = first; v <= last; ++v) combo->addItem(QString::number(v));
  combo->setCurrentIndex(value >= first && value <= last ? value - first : -1);
  return combo;
}

// The number chosen in a list that starts at `first`, or `kept` when nothing
// was chosen.
std::int16_t ChosenNumber(const QComboBox* combo, int first, std::int16_t kept) {
  const int index = combo->currentIndex();
  return index < 0 ? kept : static_cast<std::int16_t>(first + index);
}

QFont PreviewFont(const QComboBox* fonts, const QComboBox* sizes, const QCheckBox* bold) {
  QFont font(fonts->currentText());
  const int size = sizes->currentText().toInt();
  if (size > 0) font.setPointSize(size);
  font.setBold(bold->isChecked());
  return font;
}

QPushButton* NewButton(const char* name, const char* caption, QWidget* parent) {
  auto* button = Named(new QPushButton(QString::fromLatin1(caption), parent), QString::fromLatin1(name));
  return button;
}

// The OK and Cancel row at the foot of a dialog.
QHBoxLayout* ButtonRow(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel) {
  ok = NewButton("cmdOK", "&OK", dialog);
  ok->setDefault(true);
  cancel = NewButton("cmdCancel", "&Cancel", dialog);
  QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
  auto* row = new QHBoxLayout;
  row->addStretch();
  row->addWidget(ok);
  row->addWidget(cancel);
  return row;
}

// A focus-in event of a text box: its whole text is selected once the event
// that gave the focus (a click placing the cursor) is over.
template <typename Box>
void SelectAllOnFocus(Box* box, QEvent* event) {
  if (event->type() != QEvent::FocusIn) return;
  QTimer::singleShot(0, box, [box] {
    if (box->hasFocus()) box->selectAll();
  });
}

}  // namespace

// ---- Heading lines -----------------------------------------------------------

std::vector<std::string> SplitHeadingLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
      line.clear();
    } else {
      line += text[i];
    }
  }
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

std::string JoinHeadingLines(const std::vector<std::string>& lines) {
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) text += '\n';
    text += lines[i];
  }
  return text;
}

int MaxHeadingLines() { return kHeadingCount; }

std::string TooManyHeadingLinesMessage() {
  return "Maximum number of heading lines is" + StrSingle(static_cast<Single>(kHeadingCount));
}

// ---- Edit Table ----------------------------------------------------------------

EditTableDialog::EditTableDialog(const TableAppearance& a, Use use, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      confirmed_(a),
      ui_(this) {
  setObjectName(QStringLiteral("frmEditTable"));
  place_ = new DialogPlace(this);
  setWindowTitle(QString::fromLatin1(use == Use::Output ? kEditOutputCaption : kEditTableCaption));
  setModal(true);
  setProperty("helpContext", kAppearanceHelpContext);

  txtTitle_ = Named(new QPlainTextEdit(this), QStringLiteral("txtTitle"));
  txtTitle_->setPlainText(Text(JoinHeadingLines(a.headings)));
  txtTitle_->setTabChangesFocus(true);
  txtTitle_->setLineWrapMode(QPlainTextEdit::NoWrap);
  txtTitle_->setFixedSize(TwipsToPixels(kTitleWidthTwips), TwipsToPixels(kTitleHeightTwips));
  txtTitle_->installEventFilter(this);
  if (use == Use::Table) connect(txtTitle_, &QPlainTextEdit::textChanged, this, &EditTableDialog::CheckTitle);
  cmbFonts_ = NewFontList(a.fontName, this);
  cmbSize_ = NewSizeList(a.fontSize, this);
  chkBold_ = Named(new QCheckBox(this), QStringLiteral("chkBold"));
  chkBold_->setChecked(a.bold);
  cmbCol_ = NewNumberList("cmbCol", 1, kMaxTableColumns, a.columns, this);
  cmbDec_ = NewNumberList("cmbDec", 0, kMaxTableDecimals, a.decimals, this);

  auto* grid = new QGridLayout;
  auto* lblTitle = NewLabel("&Title:", txtTitle_, this);
  grid->addWidget(lblTitle, 0, 0, Qt::AlignTop);
  grid->addWidget(txtTitle_, 0, 1);
  grid->addWidget(NewLabel("&Font Name:", cmbFonts_, this), 1, 0);
  grid->addWidget(cmbFonts_, 1, 1);
  grid->addWidget(NewLabel("Font &Size:", cmbSize_, this), 2, 0);
  grid->addWidget(cmbSize_, 2, 1, Qt::AlignLeft);
  grid->addWidget(NewLabel("Font &Bold:", chkBold_, this), 3, 0);
  grid->addWidget(chkBold_, 3, 1, Qt::AlignLeft);
  lblCol_ = NewLabel("&No Of Columns:", cmbCol_, this);
  grid->addWidget(lblCol_, 4, 0);
  grid->addWidget(cmbCol_, 4, 1, Qt::AlignLeft);
  lblDec_ = NewLabel("No Of &Decimals:", cmbDec_, this);
  grid->addWidget(lblDec_, 5, 0);
  grid->addWidget(cmbDec_, 5, 1, Qt::AlignLeft);
  chkWhole_ = Named(new QCheckBox(QStringLiteral("&Whole Sample Sizes"), this), QStringLiteral("chkWhole"));
  chkWhole_->setChecked(a.wholeSizes);
  grid->addWidget(chkWhole_, 6, 1, Qt::AlignLeft);

  const bool table = use == Use::Table;
  chkWhole_->setVisible(table);
  lblCol_->setVisible(table);
  cmbCol_->setVisible(table);
  lblDec_->setVisible(table);
  cmbDec_->setVisible(table);

  auto* layout = new QVBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->addLayout(grid);
  layout->addLayout(ButtonRow(this, cmdOK_, cmdCancel_));

  connect(cmdOK_, &QPushButton::clicked, this, &EditTableDialog::OkClicked);
  connect(cmbFonts_, &QComboBox::currentIndexChanged, this, &EditTableDialog::ShowPreview);
  connect(cmbSize_, &QComboBox::currentIndexChanged, this, &EditTableDialog::ShowPreview);
  connect(chkBold_, &QCheckBox::toggled, this, &EditTableDialog::ShowPreview);
  ShowPreview();
  txtTitle_->setFocus();
}

void EditTableDialog::ShowPreview() { txtTitle_->setFont(PreviewFont(cmbFonts_, cmbSize_, chkBold_)); }

void EditTableDialog::CheckTitle() {
  if (checkingTitle_) return;
  std::string text = txtTitle_->toPlainText().toStdString();
  const std::string typed = text;
  while (!CheckWindowsAnsi(text, ui_)) {
  }
  if (text == typed) return;
  // The text without the refused characters, the cursor where it was.
  checkingTitle_ = true;
  const int removed = static_cast<int>(QString::fromStdString(typed).size() - QString::fromStdString(text).size());
  const int cursor = std::max(0, txtTitle_->textCursor().position() - removed);
  txtTitle_->setPlainText(QString::fromStdString(text));
  QTextCursor c = txtTitle_->textCursor();
  c.setPosition(std::min(cursor, static_cast<int>(txtTitle_->toPlainText().size())));
  txtTitle_->setTextCursor(c);
  checkingTitle_ = false;
}

void EditTableDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) place_->PlaceFor(parentWidget());
}

bool EditTableDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txtTitle_) SelectAllOnFocus(txtTitle_, event);
  return QDialog::eventFilter(watched, event);
}

void EditTableDialog::OkClicked() {
  std::vector<std::string> lines = SplitHeadingLines(txtTitle_->toPlainText().toStdString());
  if (static_cast<int>(lines.size()) > MaxHeadingLines()) {
    ui_.Warn(TooManyHeadingLinesMessage());
    txtTitle_->setFocus();
    return;
  }
  TableAppearance a = confirmed_;
  a.headings = std::move(lines);
  a.fontName = cmbFonts_->currentText().toStdString();
  a.fontSize = cmbSize_->currentText().toInt();
  a.bold = chkBold_->isChecked();
  a.columns = ChosenNumber(cmbCol_, 1, confirmed_.columns);
  a.decimals = ChosenNumber(cmbDec_, 0, confirmed_.decimals);
  a.wholeSizes = chkWhole_->isChecked();
  confirmed_ = std::move(a);
  accept();
}

// ---- Edit Graph ----------------------------------------------------------------

EditGraphDialog::EditGraphDialog(const GraphTexts& t, UserInterface& ui, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), confirmed_(t), ui_(ui) {
  setObjectName(QStringLiteral("frmEditGraph"));
  place_ = new DialogPlace(this);
  setWindowTitle(QString::fromLatin1(kEditGraphCaption));
  setModal(true);
  setProperty("helpContext", kAppearanceHelpContext);

  auto textBox = [this](const char* name, const std::string& text, int widthTwips) {
    auto* box = Named(new QLineEdit(Text(text), this), QString::fromLatin1(name));
    box->setFixedWidth(TwipsToPixels(widthTwips));
    KeepTextsInSettingsFiles(box, ui_);
    return box;
  };
  auto valueBoxes = [this](const char* name, const std::array<std::string, 3>& texts,
                           std::array<NumberBox*, 3>& boxes) {
    for (std::size_t i = 0; i < 3; ++i) {
      auto* box =
          Named(new NumberBox(ui_, this), QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(i + 1));
      box->setText(Text(texts[i]));
      box->setFixedWidth(TwipsToPixels(kValueBoxWidthTwips));
      boxes[i] = box;
    }
  };

  txtTitle_ = textBox("txtTitle", t.title, kTitleWidthTwips);
  txtTitle_->installEventFilter(this);
  txtXAxisLabel_ = textBox("txtXAxisLabel", t.xLabel, kLabelBoxWidthTwips);
  valueBoxes("txtXAxisValue", t.xAxis, txtXAxisValue_);
  txtYAxisLabel_ = textBox("txtYAxisLabel", t.yLabel, kLabelBoxWidthTwips);
  valueBoxes("txtYAxisValue", t.yAxis, txtYAxisValue_);
  txtZaxisLabel_ = textBox("txtZaxisLabel", t.zLabel, kLabelBoxWidthTwips);
  cmbFonts_ = NewFontList(t.fontName, this);
  cmbSize_ = NewSizeList(t.fontSize, this);
  chkBold_ = Named(new QCheckBox(QStringLiteral("Font &Bold"), this), QStringLiteral("chkBold"));
  chkBold_->setChecked(t.bold);

  auto* titleRow = new QHBoxLayout;
  titleRow->addWidget(NewLabel("&Title:", txtTitle_, this));
  titleRow->addWidget(txtTitle_);
  titleRow->addStretch();

  // One frame per axis: its title, then minimum, maximum and tick.
  auto axisFrame = [this](const char* name, const char* caption, QLineEdit* label, const char* labelCaption,
                          const std::array<NumberBox*, 3>& boxes,
                          const std::array<const char*, 3>& captions) {
    auto* frame = Named(new QGroupBox(QString::fromLatin1(caption), this), QString::fromLatin1(name));
    auto* grid = new QGridLayout(frame);
    grid->addWidget(NewLabel(labelCaption, label, frame), 0, 0);
    grid->addWidget(label, 0, 1, 1, 5, Qt::AlignLeft);
    for (std::size_t i = 0; i < 3; ++i) {
      const int column = 2 * static_cast<int>(i);
      grid->addWidget(NewLabel(captions[i], boxes[i], frame), 1, column);
      grid->addWidget(boxes[i], 1, column + 1);
    }
    return frame;
  };
  QGroupBox* xFrame = axisFrame("fraXAxis", "XAxis:", txtXAxisLabel_, "&Label:", txtXAxisValue_,
                                {"&Xmin:", "X&max:", "Xt&ick:"});
  QGroupBox* yFrame = axisFrame("fraYAxis", "YAxis:", txtYAxisLabel_, "L&abel:", txtYAxisValue_,
                                {"&Ymin:", "Yma&x:", "Ytic&k:"});

  auto* zRow = new QHBoxLayout;
  zRow->addWidget(NewLabel("&ZAxis:", txtZaxisLabel_, this));
  zRow->addWidget(txtZaxisLabel_);
  zRow->addStretch();

  auto* fontRow = new QHBoxLayout;
  fontRow->addWidget(NewLabel("&Font Name:", cmbFonts_, this));
  fontRow->addWidget(cmbFonts_);
  fontRow->addWidget(NewLabel("Font &Size:", cmbSize_, this));
  fontRow->addWidget(cmbSize_);
  fontRow->addWidget(chkBold_);
  fontRow->addStretch();

  auto* layout = new QVBoxLayout(this);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->addLayout(titleRow);
  layout->addWidget(xFrame);
  layout->addWidget(yFrame);
  layout->addLayout(zRow);
  layout->addLayout(fontRow);
  layout->addLayout(ButtonRow(this, cmdOK_, cmdCancel_));

  connect(cmdOK_, &QPushButton::clicked, this, &EditGraphDialog::OkClicked);
  connect(cmbFonts_, &QComboBox::currentIndexChanged, this, &EditGraphDialog::ShowPreview);
  connect(cmbSize_, &QComboBox::currentIndexChanged, this, &EditGraphDialog::ShowPreview);
  connect(chkBold_, &QCheckBox::toggled, this, &EditGraphDialog::ShowPreview);
  ShowPreview();
  txtTitle_->setFocus();
}

NumberBox* EditGraphDialog::txtXAxisValue(int i) const {
  return txtXAxisValue_.at(static_cast<std::size_t>(i - 1));
}

NumberBox* EditGraphDialog::txtYAxisValue(int i) const {
  return txtYAxisValue_.at(static_cast<std::size_t>(i - 1));
}

NumberBox* EditGraphDialog::axisBox(AxisBox box) const {
  const int k = static_cast<int>(box);
  return k < 3 ? txtXAxisValue(k + 1) : txtYAxisValue(k - 2);
}

void EditGraphDialog::ShowPreview() { txtTitle_->setFont(PreviewFont(cmbFonts_, cmbSize_, chkBold_)); }

void EditGraphDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) place_->PlaceFor(parentWidget());
}

bool EditGraphDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txtTitle_) SelectAllOnFocus(txtTitle_, event);
  return QDialog::eventFilter(watched, event);
}

GraphTexts EditGraphDialog::Shown() const {
  GraphTexts t;
  t.title = txtTitle_->text().toStdString();
  t.xLabel = txtXAxisLabel_->text().toStdString();
  t.yLabel = txtYAxisLabel_->text().toStdString();
  t.zLabel = txtZaxisLabel_->text().toStdString();
  for (std::size_t i = 0; i < 3; ++i) {
    t.xAxis[i] = txtXAxisValue_[i]->text().toStdString();
    t.yAxis[i] = txtYAxisValue_[i]->text().toStdString();
  }
  t.fontName = cmbFonts_->currentText().toStdString();
  t.fontSize = cmbSize_->currentText().toInt();
  t.bold = chkBold_->isChecked();
  return t;
}

void EditGraphDialog::OkClicked() {
  GraphTexts t = Shown();
  const AxisTexts x{t.xAxis[0], t.xAxis[1], t.xAxis[2]};
  const AxisTexts y{t.yAxis[0], t.yAxis[1], t.yAxis[2]};
  if (const std::optional<AxisBox> rejected = CheckUserAxes(ui_, x, y)) {
    NumberBox* box = axisBox(*rejected);
    box->setFocus();
    box->selectAll();
    return;
  }
  confirmed_ = std::move(t);
  accept();
}

}  // namespace pelmora
