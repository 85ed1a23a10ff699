#include "console/pathpkg/ReportList.h"

#include <QTreeWidget>

QTreeWidget* NewReportList(QWidget* parent, const QString& objectName, const QString& accessibleName,
                           const QStringList& headings) {
  auto* list = new QTreeWidget(parent);
  list->setObjectName(objectName);
  list->setAccessibleName(accessibleName);
  list->setHeaderLabels(headings);
  list->setRootIsDecorated(false);
  list->setSortingEnabled(false);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setUniformRowHeights(true);
  return list;
}
