#include "console/docs/DocumentationView.h"

#include <QHeaderView>
#include <QSplitter>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "console/docs/ManualBrowser.h"
#include "console/docs/ManualFolder.h"
#include "console/docs/ManualNames.h"
#include "console/docs/TopicSearch.h"
#include "widgets/AppIcon.h"

namespace {

constexpr int kTopicListWidth = 140;
constexpr int kTopicColumnWidth = 250;
constexpr int kFileColumn = 1;

}  // namespace

CDocumentationView::CDocumentationView(FolderCandidates candidates, QWidget* parent)
    : QWidget(parent), m_candidates(std::move(candidates)) {
  setAccessibleName(tr("Documentation"));
  m_topics = new QTreeWidget(this);
  m_topics->setAccessibleName(tr("Topics"));
  m_topics->setColumnCount(2);
  m_topics->setHeaderLabels({tr("Topic"), tr("File")});
  m_topics->setColumnWidth(0, kTopicColumnWidth);
  m_topics->setColumnHidden(kFileColumn, true);
  m_topics->setRootIsDecorated(false);
  m_topics->setUniformRowHeights(true);
  m_topics->setSelectionMode(QAbstractItemView::SingleSelection);
  m_topics->header()->setSectionsClickable(false);
  m_browser = new CManualBrowser(this);

  auto* splitter = new QSplitter(Qt::Horizontal, this);
  splitter->addWidget(m_topics);
  splitter->addWidget(m_browser);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({kTopicListWidth, 4 * kTopicListWidth});
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(CreateToolBar());
  layout->addWidget(splitter, 1);

  connect(m_topics, &QTreeWidget::itemActivated, this, &CDocumentationView::OpenSelectedTopic);
  connect(m_browser, &QTextBrowser::historyChanged, this, &CDocumentationView::UpdateActions);
  connect(m_browser, &CManualBrowser::LoadingChanged, this, &CDocumentationView::UpdateActions);
  // The result arrives on the search's thread and is shown on this one.
  m_search = std::make_unique<CTopicSearch>([this](std::uint64_t search, std::vector<std::string> files) {
    QMetaObject::invokeMethod(this, [this, search, files = std::move(files)] { OnTopicsFound(search, files); },
                              Qt::QueuedConnection);
  });
  UpdateActions();
}

CDocumentationView::~CDocumentationView() = default;

QToolBar* CDocumentationView::CreateToolBar() {
  auto* bar = new QToolBar(tr("Documentation"), this);
  bar->setIconSize(QSize(16, 16));
  struct Button {
    int id;
    const char* text;
    const char* icon;
    void (CDocumentationView::*slot)();
  };
  const Button buttons[] = {
      {docs_id::kBack, "Back", "go-previous", &CDocumentationView::Back},
      {docs_id::kForward, "Forward", "go-next", &CDocumentationView::Forward},
      {docs_id::kStop, "Stop", "process-stop", &CDocumentationView::Stop},
      {docs_id::kRefresh, "Refresh", "view-refresh", &CDocumentationView::Refresh},
      {docs_id::kHome, "Home", "go-home", &CDocumentationView::Home},
  };
  for (const Button& button : buttons) {
    QAction* action = bar->addAction(AppIcon(button.icon), tr(button.text));
    action->setToolTip(tr(button.text));
    action->setData(button.id);
    connect(action, &QAction::triggered, this, button.slot);
    m_actions[button.id] = action;
  }
  return bar;
}

QAction* CDocumentationView::Action(int id) const {
  auto found = m_actions.find(id);
  return found == m_actions.end() ? nullptr : found->second;
}

void CDocumentationView::ShowHelpTopic(const QString& term) {
  const std::vector<std::string> candidates = m_candidates();
  m_folder = QString::fromStdString(manual::FindManualFolder(candidates));
  m_topics->clear();
  if (m_folder.isEmpty()) {
    Stop();
    m_browser->ShowHtml(QString::fromStdString(manual::MissingManualPage(candidates)));
    emit TopicsFilled();
    return;
  }
  const manual::HelpTarget target = manual::ResolveHelpTerm(m_folder.toStdString(), term.toStdString());
  m_browser->setSource(QUrl::fromLocalFile(m_folder).resolved(QUrl(QString::fromStdString(target.page))));
  m_searching = true;
  m_latestSearch = m_search->Start(m_folder.toStdString(), target.searchText);
  UpdateActions();
}

void CDocumentationView::OnTopicsFound(std::uint64_t search, const std::vector<std::string>& files) {
  if (search != m_latestSearch || !m_searching) return;
  m_searching = false;
  QList<QTreeWidgetItem*> items;
  items.reserve(static_cast<qsizetype>(files.size()));
  for (const manual::Topic& topic : manual::TopicsOf(files)) {
    items.append(new QTreeWidgetItem(
        QStringList{QString::fromStdString(topic.text), QString::fromStdString(topic.file)}));
  }
  m_topics->setUpdatesEnabled(false);
  m_topics->clear();
  m_topics->addTopLevelItems(items);
  m_topics->setUpdatesEnabled(true);
  UpdateActions();
  emit TopicsFilled();
}

void CDocumentationView::OpenSelectedTopic() {
  const QList<QTreeWidgetItem*> selected = m_topics->selectedItems();
  if (selected.isEmpty() || m_folder.isEmpty()) return;
  m_browser->setSource(QUrl::fromLocalFile(m_folder + selected.first()->text(kFileColumn)));
}

void CDocumentationView::Back() { m_browser->backward(); }

void CDocumentationView::Forward() { m_browser->forward(); }

void CDocumentationView::Stop() {
  m_search->Cancel();
  m_browser->StopLoading();
  m_searching = false;
  UpdateActions();
}

void CDocumentationView::Refresh() { m_browser->reload(); }

void CDocumentationView::Home() {
  if (m_folder.isEmpty()) {
    ShowHelpTopic({});
    return;
  }
  m_browser->setSource(QUrl::fromLocalFile(m_folder + QString::fromLatin1(manual::kStartPage)));
}

void CDocumentationView::UpdateActions() {
  m_actions[docs_id::kBack]->setEnabled(m_browser->CanGoBack());
  m_actions[docs_id::kForward]->setEnabled(m_browser->CanGoForward());
  m_actions[docs_id::kStop]->setEnabled(m_searching || m_browser->Loading());
  m_actions[docs_id::kRefresh]->setEnabled(!m_browser->Page().isEmpty());
}
