#include "console/shell/RowList.h"

#include <QTreeWidget>

#include "widgets/GuiThread.h"

std::vector<ListRow> CRowList::Rows() {
  std::lock_guard lock(m_mutex);
  return m_rows;
}

void CRowList::SetRows(const std::vector<ListRow>& rows) {
  QTreeWidget* widget;
  {
    std::lock_guard lock(m_mutex);
    m_rows = rows;
    widget = m_widget;
  }
  if (widget) RunOnGuiThread(widget, [&] { Show(rows); });
}

void CRowList::Attach(QTreeWidget* widget) {
  std::vector<ListRow> rows;
  {
    std::lock_guard lock(m_mutex);
    m_widget = widget;
    rows = m_rows;
  }
  Show(rows);
}

void CRowList::Show(const std::vector<ListRow>& rows) {
  m_widget->setUpdatesEnabled(false);
  m_widget->clear();
  for (const ListRow& row : rows) {
    QStringList columns;
    for (const std::string& column : row.columns) columns << QString::fromStdString(column);
    new QTreeWidgetItem(m_widget, columns);
  }
  m_widget->setUpdatesEnabled(true);
}
