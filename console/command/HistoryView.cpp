#include "console/command/HistoryView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

#include "console/command/HistoryModel.h"
#include "console/session/SessionViews.h"
#include "widgets/AppIcon.h"
#include "widgets/UserPrompts.h"

namespace {

QIcon DrawnIcon(const std::function<void(QPainter&)>& draw) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  draw(painter);
  painter.end();
  return QIcon(pixmap);
}

// A session heading: a small calendar page.
QIcon HeadingIcon() {
  return DrawnIcon([](QPainter& p) {
    p.setPen(QPen(QColor(70, 90, 130), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1.5, 2.5, 13, 12));
    p.fillRect(QRectF(2, 3, 12, 3), QColor(200, 60, 50));
    p.setPen(QPen(QColor(90, 90, 90), 1));
    for (int y = 8; y <= 12; y += 2) p.drawLine(QPointF(4, y + 0.5), QPointF(12, y + 0.5));
  });
}

// A command: a prompt chevron.
QIcon CommandIcon() {
  return DrawnIcon([](QPainter& p) {
    p.setPen(QPen(QColor(30, 110, 40), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath chevron;
    chevron.moveTo(4, 4);
    chevron.lineTo(9, 8);
    chevron.lineTo(4, 12);
    p.drawPath(chevron);
    p.drawLine(QPointF(10, 12.5), QPointF(13, 12.5));
  });
}

}  // namespace

CHistoryView::CHistoryView(CHistoryStore& store, ISettings& settings, IUserPrompts& prompts,
                           std::function<void(const std::string&)> enqueueVisible,
                           std::function<bool()> isConnected, QWidget* parent)
    : QWidget(parent),
      m_store(store),
      m_settings(settings),
      m_prompts(prompts),
      m_enqueueVisible(std::move(enqueueVisible)),
      m_isConnected(std::move(isConnected)) {
  m_toolBar = new QToolBar(this);
  m_toolBar->setStyleSheet(QStringLiteral("QToolBar { border: 0px; }"));
  m_toolBar->setIconSize(QSize(16, 16));
  m_toolBar->setMovable(false);
  m_toolBar->setFloatable(false);

  m_model = new CHistoryModel(HeadingIcon(), CommandIcon(), this);
  m_tree = new QTreeView(this);
  m_tree->setModel(m_model);
  m_tree->setHeaderHidden(true);
  m_tree->setRootIsDecorated(true);
  m_tree->setItemsExpandable(true);
  m_tree->setUniformRowHeights(true);
  m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
  m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
  m_tree->setAccessibleName(tr("Command History"));

  auto* treeBox = new QVBoxLayout;
  treeBox->setContentsMargins(1, 1, 1, 1);
  treeBox->addWidget(m_tree);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(m_toolBar);
  layout->addLayout(treeBox);
  setFocusProxy(m_tree);

  // The shortcuts belong to the pane alone: Ctrl+C and Enter mean something else
  // in the console next to it.
  auto makeAction = [this](const QString& text, const QString& iconText, const QString& tip,
                           const QIcon& icon, void (CHistoryView::*slot)()) {
    auto* action = new QAction(icon, text, this);
    action->setIconText(iconText);
    action->setToolTip(tip);
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(action, &QAction::triggered, this, slot);
    addAction(action);
    return action;
  };
  m_evaluate = makeAction(tr("Evaluate\tEnter"), tr("Evaluate"), tr("Evaluate the statement"),
                          AppIcon("media-playback-start"), &CHistoryView::EvaluateSelected);
  m_evaluate->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
  m_copy = makeAction(tr("Copy\tCtrl+C"), tr("Copy"), tr("Copy the statement"), AppIcon("edit-copy"),
                      &CHistoryView::CopySelected);
  m_copy->setShortcut(QKeySequence::Copy);
  m_delete = makeAction(tr("Delete\tDel"), tr("Delete"), tr("Delete the statement"),
                        AppIcon("edit-delete"), &CHistoryView::DeleteSelected);
  m_delete->setShortcut(QKeySequence(Qt::Key_Delete));
  m_clear = makeAction(tr("Clear Command History"), tr("Clear"), tr("Clear Command Hystory"),
                       AppIcon("edit-clear-history"),
                       &CHistoryView::ConfirmAndClear);

  m_toolBar->addAction(m_evaluate);
  m_toolBar->addAction(m_copy);
  m_toolBar->addAction(m_clear);
  m_toolBar->addAction(m_delete);

  m_contextMenu = new QMenu(this);
  m_contextMenu->addAction(m_evaluate);
  m_contextMenu->addAction(m_copy);
  m_contextMenu->addSeparator();
  m_contextMenu->addAction(m_delete);
  m_contextMenu->addAction(m_clear);

  connect(m_tree->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &CHistoryView::UpdateActions);
  connect(m_tree, &QTreeView::doubleClicked, this, [this] {
    if (m_evaluate->isEnabled()) m_evaluate->trigger();
  });
  connect(m_tree, &QTreeView::customContextMenuRequested, this, &CHistoryView::ShowContextMenu);

  m_store.SetView(this);
  Sync();
}

CHistoryView::~CHistoryView() {
  // Once this returns the store calls no more; posted updates die with the widget.
  m_store.SetView(nullptr);
}

void CHistoryView::HistoryEntryAdded(size_t index, const std::string&, bool, bool ensureVisible) {
  // Calls come one at a time under the store's lock, so the latest index is the
  // highest since the last reset.
  if (ensureVisible) m_ensureVisibleIndex = static_cast<long long>(index);
  ScheduleSync();
}

void CHistoryView::HistoryReset(const std::vector<std::string>&) {
  // The store's generation tells Sync to rebuild.
  m_ensureVisibleIndex = -1;
  ScheduleSync();
}

void CHistoryView::ScheduleSync() {
  if (m_syncPosted.exchange(true)) return;  // one posted update covers all changes before it runs
  QMetaObject::invokeMethod(this, &CHistoryView::Sync, Qt::QueuedConnection);
}

void CHistoryView::Sync() {
  // Cleared before reading the store: a change made after this posts a new update.
  m_syncPosted = false;
  const long long visible = m_ensureVisibleIndex.exchange(-1);
  CHistoryStore::SChanges changes = m_store.ChangesSince(m_generation, m_model->EntryCount());
  if (changes.generation == m_generation) {
    Append(changes.lines);
  } else {
    m_generation = changes.generation;
    Rebuild(std::move(changes.lines));
  }
  if (visible >= 0) {
    const QModelIndex index = m_model->IndexOf(static_cast<size_t>(visible));
    if (index.isValid()) m_tree->scrollTo(index);
  }
  UpdateActions();
}

void CHistoryView::Rebuild(CTextList lines) {
  // Keep what the user set: collapsed sessions and the position of the selection
  // (after a delete the next entry is selected, so Del can be pressed again).
  std::set<std::string, std::less<>> collapsed;
  for (int row = 0; row < m_model->rowCount(); ++row) {
    const QModelIndex root = m_model->index(row, 0);
    if (m_model->rowCount(root) > 0 && !m_tree->isExpanded(root))
      collapsed.emplace(m_model->Entry(m_model->EntryOf(root)));
  }
  const QModelIndex selectedIndex = SelectedIndex();
  const size_t selected = m_model->EntryOf(selectedIndex);

  // Sessions are opened one by one rather than by expandAll, which would keep a
  // persistent index for every entry. Right after the reset the tree only notes
  // them; it lays out its rows once, when it is next painted.
  m_model->Reset(std::move(lines));
  for (int row = 0; row < m_model->rowCount(); ++row) {
    const QModelIndex root = m_model->index(row, 0);
    const std::string_view entry = m_model->Entry(m_model->EntryOf(root));
    if (CHistoryStore::IsHeading(entry) && !collapsed.contains(entry)) m_tree->expand(root);
  }
  if (selectedIndex.isValid() && m_model->EntryCount() > 0)
    m_tree->setCurrentIndex(m_model->IndexOf(std::min(selected, m_model->EntryCount() - 1)));
}

void CHistoryView::Append(const CTextList& lines) {
  bool onlyCommands = true;
  for (size_t i = 0; i < lines.Size() && onlyCommands; ++i)
    onlyCommands = !CHistoryStore::IsHeading(lines[i]);
  const QModelIndex session = m_model->LastHeading();
  if (onlyCommands && session.isValid() && m_tree->isExpanded(session)) {
    AppendToOpenSession(session, lines);
    return;
  }
  const size_t first = m_model->EntryCount();
  m_model->Append(lines);
  // A new session starts open.
  for (size_t entry = first; entry < m_model->EntryCount(); ++entry)
    if (CHistoryStore::IsHeading(m_model->Entry(entry))) m_tree->expand(m_model->IndexOf(entry));
}

void CHistoryView::AppendToOpenSession(const QModelIndex& session, const CTextList& commands) {
  // Rows inserted under an open parent make the tree lay out every row it
  // shows again, a cost that grows with the whole history; under a closed
  // parent it only notes them. So the session is closed while its commands go
  // in and opened again, which lays out that session alone. The rows above it
  // stay where they were, and so does the scroll position, which the closing
  // may have pulled up.
  QScrollBar* scrollBar = m_tree->verticalScrollBar();
  const int scrolled = scrollBar->value();
  const bool animated = m_tree->isAnimated();
  m_tree->setAnimated(false);
  m_tree->collapse(session);
  m_model->Append(commands);
  m_tree->expand(session);
  m_tree->setAnimated(animated);
  scrollBar->setValue(scrolled);
}

QModelIndex CHistoryView::SelectedIndex() const {
  const QModelIndexList selected = m_tree->selectionModel()->selectedIndexes();
  return selected.isEmpty() ? QModelIndex() : selected.front();
}

QString CHistoryView::SelectedText() const { return SelectedIndex().data().toString(); }

void CHistoryView::UpdateActions() {
  const QString text = SelectedText();
  m_evaluate->setEnabled(m_isConnected && m_isConnected() && !text.isEmpty() &&
                         !CHistoryStore::IsHeading(text.toStdString()));
}

void CHistoryView::EvaluateSelected() {
  const QString text = SelectedText();
  if (text.isEmpty() || text.contains(QLatin1String("%-- "))) return;
  const std::string command = text.toStdString();
  if (m_enqueueVisible) m_enqueueVisible(command);
  m_store.AddHistoryEntry(command, true);
}

void CHistoryView::CopySelected() {
  const QString text = SelectedText();
  if (!text.isEmpty()) QApplication::clipboard()->setText(text);
}

void CHistoryView::DeleteSelected() {
  const size_t index = m_model->EntryOf(SelectedIndex());
  if (index >= m_model->EntryCount()) return;
  // A reset may not have reached the tree yet; never delete some other entry.
  const std::vector<std::string> lines = m_store.Lines();
  if (index < lines.size() && lines[index] == m_model->Entry(index)) m_store.DeleteHistoryEntry(index);
}

void CHistoryView::ConfirmAndClear() {
  if (ConfirmBySetting(m_prompts, this, m_settings, "General", "ConfirmClearHistory", 0,
                       tr("Are you sure you want to clear your command history.")))
    m_store.ClearHistory();
}

void CHistoryView::ShowContextMenu(const QPoint& pos) {
  const QModelIndex under = m_tree->indexAt(pos);
  if (under.isValid()) m_tree->setCurrentIndex(under);
  m_tree->setFocus(Qt::MouseFocusReason);
  UpdateActions();
  m_contextMenu->exec(m_tree->viewport()->mapToGlobal(pos));
}
