#include "app/help_window.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <map>

#include "session/user_interface.h"

namespace pelmora {

namespace {

constexpr const char* kContentsFile = "contents.html";
constexpr const char* kUsingHelpFile = "using-help.html";
constexpr int kTopicRole = Qt::UserRole + 1;

}  // namespace

std::vector<HelpTopic> ParseHelpTopics(const QString& text) {
  std::vector<HelpTopic> topics;
  QString section;
  for (QString line : text.split(QLatin1Char('\n'))) {
    line.remove(QLatin1Char('\r'));
    if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
    if (line.startsWith(QStringLiteral("=="))) {
      section = line.mid(2).trimmed();
      continue;
    }
    const QStringList fields = line.split(QLatin1Char('\t'));
    if (fields.size() < 3) continue;
    bool ok = false;
    HelpTopic t;
    t.context = fields[0].trimmed().toInt(&ok);
    t.file = fields[1].trimmed();
    t.title = fields[2].trimmed();
    if (!ok || t.file.isEmpty() || t.file.contains(QStringLiteral("..")) || t.file.contains(QLatin1Char('/')))
      continue;
    if (fields.size() > 3)
      for (const QString& k : fields[3].split(QLatin1Char(';')))
        if (!k.trimmed().isEmpty()) t.keywords << k.trimmed();
    t.section = section;
    topics.push_back(t);
  }
  return topics;
}

QString HelpFolder() {
  return QDir(QCoreApplication::applicationDirPath())
      .filePath(QString::fromLatin1(kProgramTitle) + QString::fromLatin1(kProgramVersion));
}

HelpWindow::HelpWindow(const QString& folder, QWidget* parent)
    : QDialog(parent, Qt::Window), folder_(folder) {
  setObjectName(QStringLiteral("frmHelp"));
  setWindowTitle(QString::fromLatin1(kProgramTitle) + QStringLiteral(" Help"));
  resize(900, 620);

  QFile map(QDir(folder_).filePath(QStringLiteral("topics.txt")));
  if (map.open(QIODevice::ReadOnly | QIODevice::Text))
    topics_ = ParseHelpTopics(QString::fromUtf8(map.readAll()));

  tabs_ = new QTabWidget;
  contents_ = new QTreeWidget;
  contents_->setObjectName(QStringLiteral("helpContents"));
  contents_->setHeaderHidden(true);
  std::map<QString, QTreeWidgetItem*> sections;
  for (std::size_t i = 0; i < topics_.size(); ++i) {
    const HelpTopic& t = topics_[i];
    QTreeWidgetItem* parentItem = nullptr;
    if (!t.section.isEmpty()) {
      auto it = sections.find(t.section);
      if (it == sections.end()) {
        auto* item = new QTreeWidgetItem(contents_, QStringList{t.section});
        it = sections.emplace(t.section, item).first;
      }
      parentItem = it->second;
    }
    auto* item = parentItem != nullptr ? new QTreeWidgetItem(parentItem, QStringList{t.title})
                                       : new QTreeWidgetItem(contents_, QStringList{t.title});
    item->setData(0, kTopicRole, t.file);
  }
  contents_->expandAll();
  connect(contents_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
    const QString file = item->data(0, kTopicRole).toString();
    if (!file.isEmpty()) ShowFile(file);
  });
  connect(contents_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
    const QString file = item->data(0, kTopicRole).toString();
    if (!file.isEmpty()) ShowFile(file);
  });
  tabs_->addTab(contents_, QStringLiteral("&Contents"));

  auto* search = new QWidget;
  auto* searchLayout = new QVBoxLayout(search);
  searchBox_ = new QLineEdit;
  searchBox_->setObjectName(QStringLiteral("helpSearch"));
  searchBox_->setPlaceholderText(QStringLiteral("Type the first letters of a word"));
  keywordList_ = new QListWidget;
  keywordList_->setObjectName(QStringLiteral("helpKeywords"));
  auto* display = new QPushButton(QStringLiteral("&Display"));
  searchLayout->addWidget(searchBox_);
  searchLayout->addWidget(keywordList_);
  searchLayout->addWidget(display);
  connect(searchBox_, &QLineEdit::textChanged, this, &HelpWindow::FilterKeywords);
  connect(searchBox_, &QLineEdit::returnPressed, this, &HelpWindow::OpenKeyword);
  connect(keywordList_, &QListWidget::itemActivated, this, &HelpWindow::OpenKeyword);
  connect(display, &QPushButton::clicked, this, &HelpWindow::OpenKeyword);
  tabs_->addTab(search, QStringLiteral("&Search"));
  FilterKeywords(QString());

  browser_ = new QTextBrowser;
  browser_->setObjectName(QStringLiteral("helpPage"));
  browser_->setSearchPaths({folder_});
  browser_->setOpenExternalLinks(false);

  auto* back = new QPushButton(QStringLiteral("&Back"));
  auto* forward = new QPushButton(QStringLiteral("&Forward"));
  auto* start = new QPushButton(QStringLiteral("C&ontents"));
  back->setEnabled(false);
  forward->setEnabled(false);
  connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
  connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
  connect(start, &QPushButton::clicked, this, &HelpWindow::ShowContents);
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(start);
  buttons->addWidget(back);
  buttons->addWidget(forward);
  buttons->addStretch();

  auto* splitter = new QSplitter;
  splitter->addWidget(tabs_);
  splitter->addWidget(browser_);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({260, 640});

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(splitter);
}

QString HelpWindow::currentFile() const { return browser_->source().fileName(); }

void HelpWindow::ShowFile(const QString& file) {
  const QString path = QDir(folder_).filePath(file);
  if (!QFile::exists(path)) {
    browser_->setHtml(
        QStringLiteral("<h1>Help is not available</h1><p>The help page <b>%1</b> was not found in "
                       "the folder <b>%2</b>.</p>")
            .arg(file.toHtmlEscaped(), folder_.toHtmlEscaped()));
    return;
  }
  browser_->setSource(QUrl::fromLocalFile(path));
}

void HelpWindow::ShowContents() {
  tabs_->setCurrentIndex(0);
  ShowFile(QString::fromLatin1(kContentsFile));
}

void HelpWindow::ShowSearch() {
  tabs_->setCurrentIndex(1);
  if (browser_->source().isEmpty()) ShowFile(QString::fromLatin1(kContentsFile));
  searchBox_->setFocus();
  searchBox_->selectAll();
}

void HelpWindow::ShowHowToUseHelp() { ShowFile(QString::fromLatin1(kUsingHelpFile)); }

void HelpWindow::ShowContext(int context) {
  for (const HelpTopic& t : topics_) {
    if (t.context == context && context != 0) {
      ShowFile(t.file);
      return;
    }
  }
  ShowContents();
}

void HelpWindow::FilterKeywords(const QString& typed) {
  keywordList_->clear();
  std::multimap<QString, const HelpTopic*> entries;
  for (const HelpTopic& t : topics_) {
    entries.emplace(t.title.toLower(), &t);
    for (const QString& k : t.keywords) entries.emplace(k.toLower(), &t);
  }
  const QString key = typed.trimmed().toLower();
  for (const auto& [word, topic] : entries) {
    if (!key.isEmpty() && !word.startsWith(key)) continue;
    const bool isTitle = word == topic->title.toLower();
    auto* item =
        new QListWidgetItem(isTitle ? topic->title : word + QStringLiteral(" \u2013 ") + topic->title);
    item->setData(kTopicRole, topic->file);
    keywordList_->addItem(item);
  }
  if (keywordList_->count() > 0) keywordList_->setCurrentRow(0);
}

void HelpWindow::OpenKeyword() {
  QListWidgetItem* item = keywordList_->currentItem();
  if (item != nullptr) ShowFile(item->data(kTopicRole).toString());
}

ParameterMeanings HelpPageMeanings(const QString& folder, int context) {
  const QDir dir(folder);
  QFile map(dir.filePath(QStringLiteral("topics.txt")));
  if (!map.open(QIODevice::ReadOnly)) return {};
  for (const HelpTopic& t : ParseHelpTopics(QString::fromUtf8(map.readAll()))) {
    if (t.context != context) continue;
    QFile page(dir.filePath(t.file));
    return page.open(QIODevice::ReadOnly) ? ReadParameterMeanings(page.readAll().toStdString())
                                          : ParameterMeanings();
  }
  return {};
}

}  // namespace pelmora
