#include "views/output_dialog.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <cmath>

#include "widgets/dialog_placement.h"
#include "widgets/twips.h"
#include "session/session.h"
#include "views/appearance_dialogs.h"

namespace pelmora {

namespace {

constexpr int kMarginPixels = 5;

// picOutput: paints the output its dialog last wrote.
class OutputPicture : public QWidget {
 public:
  OutputPicture(const MeasuredOutput& output, QWidget* parent) : QWidget(parent), output_(output) {
    setObjectName(QStringLiteral("picOutput"));
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(QPen(Qt::black, 0));
    DrawCalculationOutput(painter, output_, QPointF(kMarginPixels, kMarginPixels));
  }

 private:
  const MeasuredOutput& output_;
};

}  // namespace

OutputDialog::OutputDialog(Session& s, ResultWindow& window, std::function<void()> print, QWidget* parent)
    : QDialog(parent), s_(s), window_(window), print_(std::move(print)) {
  setObjectName(QStringLiteral("frmOutput"));
  place_ = new DialogPlace(this);
  setWindowTitle(QStringLiteral("Output"));
  area_ = new QScrollArea(this);
  area_->setWidgetResizable(false);
  area_->horizontalScrollBar()->setObjectName(QStringLiteral("HScroll1"));
  area_->verticalScrollBar()->setObjectName(QStringLiteral("VScroll1"));
  picOutput_ = new OutputPicture(output_, area_);
  area_->setWidget(picOutput_);

  auto button = [this](const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromLatin1(caption), this);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
  };
  cmdCopyOutput_ = button("cmdCopyOutput", "C&opy");
  cmdPrintOutput_ = button("cmdPrintOutput", "&Print");
  cmdEditOutput_ = button("cmdEditOutput", "&Edit Output");
  cmdCancel_ = button("cmdCancel", "&Cancel");
  connect(cmdCopyOutput_, &QPushButton::clicked, this, &OutputDialog::Copy);
  connect(cmdPrintOutput_, &QPushButton::clicked, this, [this] {
    if (print_) print_();
  });
  connect(cmdEditOutput_, &QPushButton::clicked, this, &OutputDialog::EditOutput);
  connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {cmdCopyOutput_, cmdPrintOutput_, cmdEditOutput_, cmdCancel_}) buttons->addWidget(b);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(area_, 1);
  layout->addLayout(buttons);
  resize(TwipsToPixels(9000), TwipsToPixels(5000));
  WriteOutput();
}

void OutputDialog::WriteOutput() {
  const QFont font = OutputQFont(s_);
  picOutput_->setFont(font);
  output_ = MeasureCalculationOutput(s_, font, picOutput_);
  const QSizeF size = output_.size();
  picOutput_->resize(static_cast<int>(std::ceil(size.width())) + 2 * kMarginPixels,
                     static_cast<int>(std::ceil(size.height())) + 2 * kMarginPixels);
  picOutput_->update();
}

void OutputDialog::Copy() {
  const std::string confirmation = CopyResult(s_, window_);
  accept();
  emit copied(QString::fromStdString(confirmation));
}

void OutputDialog::EditOutput() {
  TableAppearance a;
  a.fontName = s_.OutputFontName;
  a.fontSize = DialogFontSize(s_.OutputFontSize);
  a.bold = s_.OutputFontBold != 0;
  EditTableDialog dialog(a, EditTableDialog::Use::Output, this);
  if (dialog.exec() != QDialog::Accepted) return;
  const TableAppearance edited = dialog.appearance();
  s_.OutputFontName = edited.fontName;
  s_.OutputFontSize = std::to_string(edited.fontSize);
  s_.OutputFontBold = edited.bold ? 1 : 0;
  WriteOutput();
}

void OutputDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Beside the window it acts on, not over it.
  if (!event->spontaneous()) place_->PlaceFor(parentWidget());
}

}  // namespace pelmora
