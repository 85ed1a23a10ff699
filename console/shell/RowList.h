// A report list's rows as the session fills them, shown in a tree widget once
// one is attached. Any thread may set the rows; the widget is updated on its own
// thread, and only when the rows change.
#pragma once

#include <mutex>
#include <vector>

#include "console/session/SessionViews.h"

class QTreeWidget;

class CRowList : public IRowList {
 public:
  std::vector<ListRow> Rows() override;
  void SetRows(const std::vector<ListRow>& rows) override;
  void Attach(QTreeWidget* widget);

 private:
  void Show(const std::vector<ListRow>& rows);

  std::mutex m_mutex;
  std::vector<ListRow> m_rows;
  QTreeWidget* m_widget = nullptr;
};
