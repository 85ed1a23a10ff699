#include "console/files/FilesExplorer.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>

namespace {

bool CarriesFiles(const QMimeData* data) {
  if (!data || !data->hasUrls()) return false;
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile()) return true;
  }
  return false;
}

Qt::DropAction ActionFor(Qt::KeyboardModifiers modifiers) {
  return modifiers & Qt::ControlModifier ? Qt::CopyAction : Qt::MoveAction;
}

}  // namespace

CFilesExplorer::CFilesExplorer(QWidget* parent) : QTreeView(parent) {
  setObjectName(QStringLiteral("FilesExplorer"));
  setAccessibleName(tr("Files"));
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setAllColumnsShowFocus(true);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setDragEnabled(true);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  setDropIndicatorShown(false);
  setDragDropMode(QAbstractItemView::DragDrop);
  setDefaultDropAction(Qt::MoveAction);
  header()->setSortIndicatorClearable(true);
  header()->setSortIndicator(-1, Qt::AscendingOrder);
  setSortingEnabled(true);
}

void CFilesExplorer::dragEnterEvent(QDragEnterEvent* event) {
  if (!CarriesFiles(event->mimeData())) {
    event->ignore();
    return;
  }
  event->setDropAction(ActionFor(event->modifiers()));
  event->accept();
}

void CFilesExplorer::dragMoveEvent(QDragMoveEvent* event) {
  if (!CarriesFiles(event->mimeData())) {
    event->ignore();
    return;
  }
  event->setDropAction(ActionFor(event->modifiers()));
  event->accept();
}

void CFilesExplorer::dropEvent(QDropEvent* event) {
  if (!CarriesFiles(event->mimeData())) {
    event->ignore();
    return;
  }
  const Qt::DropAction action = ActionFor(event->modifiers());
  event->setDropAction(action);
  event->accept();
  emit FilesDropped(event->mimeData()->urls(), action == Qt::CopyAction);
}
