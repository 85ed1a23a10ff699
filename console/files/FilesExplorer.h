// The file pane's list: a report of the folder's rows that files can be dragged
// out of (as file URLs) and dropped onto (Ctrl copies, otherwise they move).
#pragma once

#include <QList>
#include <QTreeView>
#include <QUrl>

#include <functional>

class CFilesExplorer : public QTreeView {
  Q_OBJECT

 public:
  explicit CFilesExplorer(QWidget* parent = nullptr);

 signals:
  // Local files dropped on the list; `copy` when Ctrl was held.
  void FilesDropped(const QList<QUrl>& files, bool copy);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};
