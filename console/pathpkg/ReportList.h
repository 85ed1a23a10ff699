// The dialogs' lists: one row per entry, selected whole, kept in the
// interpreter's order (no sorting by header), several rows selectable.
#pragma once

#include <QStringList>

class QTreeWidget;
class QWidget;

QTreeWidget* NewReportList(QWidget* parent, const QString& objectName, const QString& accessibleName,
                           const QStringList& headings);
