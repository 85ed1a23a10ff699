#include "console/command/HistoryView.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <set>

#include "console/session/SessionViews.h"
#include "widgets/AppIcon.h"
#include "widgets/ConfirmBox.h"

namespace {

constexpr int kIndexRole = Qt::UserRole;

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

CHistoryView::CHistoryView(CHistoryStore& store, ISettings& settings,
                           std::function<void(const std::string&)> enqueueVisible,
                           std::function<bool()> isConnected, QWidget* parent)
    : QWidget(parent),
      m_store(store),
      m_settings(settings),
      m_enqueueVisible(std::move(enqueueVisible)),
      m_isConnected(std::move(isConnected)) {
  m_toolBar = new QToolBar(this);
  m_toolBar->setStyleSheet(QStringLiteral("QToolBar { border: 0px; }"));
  m_toolBar->setIconSize(QSize(16, 16));
  m_toolBar->setMovable(false);
  m_toolBar->setFloatable(false);

  m_tree = new QTreeWidget(this);
  m_tree->setColumnCount(1);
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

  connect(m_tree, &QTreeWidget::itemSelectionChanged, this, &CHistoryView::UpdateActions);
  connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this] {
    if (m_evaluate->isEnabled()) m_evaluate->trigger();
  });
  connect(m_tree, &QTreeWidget::customContextMenuRequested, this, &CHistoryView::ShowContextMenu);

  m_store.SetView(this);
  m_resetPending = true;
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
  m_ensureVisibleIndex = -1;
  m_resetPending = true;
  ScheduleSync();
}

void CHistoryView::ScheduleSync() {
  if (m_syncPosted.exchange(true)) return;  // one posted update covers all changes before it runs
  QMetaObject::invokeMethod(this, &CHistoryView::Sync, Qt::QueuedConnection);
}

void CHistoryView::Sync() {
  // Cleared before reading the store: a change made after this posts a new update.
  m_syncPosted = false;
  const bool reset = m_resetPending.exchange(false);
  const long long visible = m_ensureVisibleIndex.exchange(-1);
  const std::vector<std::string> lines = m_store.Lines();

  const bool extendsTree = !reset && m_shown.size() <= lines.size() &&
                           std::equal(m_shown.begin(), m_shown.end(), lines.begin());
  if (extendsTree) {
    for (size_t i = m_shown.size(); i < lines.size(); ++i) Append(i, lines[i]);
  } else {
    Rebuild(lines);
  }
  if (visible >= 0 && static_cast<size_t>(visible) < m_items.size())
    m_tree->scrollToItem(m_items[static_cast<size_t>(visible)]);
  UpdateActions();
}

void CHistoryView::Rebuild(const std::vector<std::string>& lines) {
  // Keep what the user set: collapsed sessions and the position of the selection
  // (after a delete the next entry is selected, so Del can be pressed again).
  std::set<std::string> collapsed;
  for (QTreeWidgetItem* item : m_items)
    if (item->childCount() > 0 && !item->isExpanded()) collapsed.insert(item->text(0).toStdString());
  const QList<QTreeWidgetItem*> selected = m_tree->selectedItems();
  const long long selectedIndex =
      selected.isEmpty() ? -1 : selected.front()->data(0, kIndexRole).toLongLong();

  m_tree->clear();
  m_shown.clear();
  m_items.clear();
  m_lastHeading = nullptr;
  for (size_t i = 0; i < lines.size(); ++i) Append(i, lines[i]);

  for (QTreeWidgetItem* item : m_items)
    if (item->childCount() > 0 && collapsed.count(item->text(0).toStdString())) item->setExpanded(false);
  if (selectedIndex >= 0 && !m_items.empty()) {
    const size_t row = std::min(static_cast<size_t>(selectedIndex), m_items.size() - 1);
    m_tree->setCurrentItem(m_items[row]);
  }
}

void CHistoryView::Append(size_t index, const std::string& text) {
  auto* item = new QTreeWidgetItem(QStringList {QString::fromStdString(text)});
  item->setData(0, kIndexRole, static_cast<qulonglong>(index));
  if (CHistoryStore::IsHeading(text)) {
    item->setIcon(0, HeadingIcon());
    m_tree->addTopLevelItem(item);
    item->setExpanded(true);
    m_lastHeading = item;
  } else {
    item->setIcon(0, CommandIcon());
    if (m_lastHeading)
      m_lastHeading->addChild(item);
    else
      m_tree->addTopLevelItem(item);
  }
  m_shown.push_back(text);
  m_items.push_back(item);
}

QString CHistoryView::SelectedText() const {
  const QList<QTreeWidgetItem*> selected = m_tree->selectedItems();
  return selected.isEmpty() ? QString() : selected.front()->text(0);
}

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
  const QList<QTreeWidgetItem*> selected = m_tree->selectedItems();
  if (selected.isEmpty()) return;
  const size_t index = selected.front()->data(0, kIndexRole).toULongLong();
  // A reset may not have reached the tree yet; never delete some other entry.
  const std::vector<std::string> lines = m_store.Lines();
  if (index < lines.size() && lines[index] == selected.front()->text(0).toStdString())
    m_store.DeleteHistoryEntry(index);
}

void CHistoryView::ConfirmAndClear() {
  if (ConfirmBySetting(this, m_settings, "General", "ConfirmClearHistory", 0,
                       tr("Are you sure you want to clear your command history.")))
    m_store.ClearHistory();
}

void CHistoryView::ShowContextMenu(const QPoint& pos) {
  if (QTreeWidgetItem* item = m_tree->itemAt(pos)) m_tree->setCurrentItem(item);
  m_tree->setFocus(Qt::MouseFocusReason);
  UpdateActions();
  m_contextMenu->exec(m_tree->viewport()->mapToGlobal(pos));
}
