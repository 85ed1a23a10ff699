#include "widgets/TreePropertySheet.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStackedWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int kNodeRole = Qt::UserRole + 1;
}

CTreePropertySheet::CTreePropertySheet(const QString& title, QWidget* parent) : QDialog(parent) {
  setWindowTitle(title);

  m_tree = new QTreeWidget(this);
  m_tree->setAccessibleName(tr("Pages"));
  m_tree->setHeaderHidden(true);
  m_tree->setColumnCount(1);
  m_tree->setRootIsDecorated(true);
  m_tree->setFixedWidth(170);

  m_caption = new QLabel(this);
  QFont bold = m_caption->font();
  bold.setBold(true);
  m_caption->setFont(bold);

  m_stack = new QStackedWidget(this);
  m_placeholder = new QLabel(m_stack);
  m_placeholder->setObjectName(QStringLiteral("placeholder"));
  m_placeholder->setAlignment(Qt::AlignCenter);
  m_placeholder->setWordWrap(true);
  m_stack->addWidget(m_placeholder);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &CTreePropertySheet::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &CTreePropertySheet::reject);

  auto* right = new QVBoxLayout;
  right->addWidget(m_caption);
  right->addWidget(m_stack, 1);
  auto* body = new QHBoxLayout;
  body->addWidget(m_tree);
  body->addLayout(right, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(body, 1);
  layout->addWidget(buttons);

  connect(m_tree, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* current, QTreeWidgetItem*) { OnCurrentItemChanged(current); });
}

int CTreePropertySheet::AddPage(QWidget* page, const QString& title, const QIcon& icon,
                                int parent) {
  QTreeWidgetItem* item = nullptr;
  if (parent >= 0 && parent < NodeCount())
    item = new QTreeWidgetItem(m_nodes[parent].item);
  else
    item = new QTreeWidgetItem(m_tree);
  item->setText(0, title);
  item->setIcon(0, icon);
  const int index = NodeCount();
  item->setData(0, kNodeRole, index);
  if (page) m_stack->addWidget(page);
  m_nodes.push_back({item, page, false});
  m_tree->expandAll();
  return index;
}

int CTreePropertySheet::NodeCount() const { return static_cast<int>(m_nodes.size()); }

QStringList CTreePropertySheet::NodeTitles() const {
  QStringList titles;
  for (QTreeWidgetItemIterator it(m_tree); *it; ++it) titles << (*it)->text(0);
  return titles;
}

void CTreePropertySheet::SelectPage(int node) {
  if (node < 0 || node >= NodeCount()) return;
  // Setting the current item of the current node emits nothing: open it here too.
  if (m_tree->currentItem() == m_nodes[node].item)
    OnCurrentItemChanged(m_nodes[node].item);
  else
    m_tree->setCurrentItem(m_nodes[node].item);
}

int CTreePropertySheet::CurrentNode() const {
  const QTreeWidgetItem* item = m_tree->currentItem();
  return item ? item->data(0, kNodeRole).toInt() : -1;
}

QWidget* CTreePropertySheet::CurrentWidget() const { return m_stack->currentWidget(); }

bool CTreePropertySheet::WasOpened(int node) const {
  return node >= 0 && node < NodeCount() && m_nodes[node].opened;
}

void CTreePropertySheet::OnCurrentItemChanged(QTreeWidgetItem* item) {
  if (!item) return;
  Node& node = m_nodes[item->data(0, kNodeRole).toInt()];
  m_caption->setText(item->text(0));
  if (!node.page) {
    m_placeholder->setText(tr("Select an item of '%1'.").arg(item->text(0)));
    m_stack->setCurrentWidget(m_placeholder);
    return;
  }
  if (!node.opened) {
    node.opened = true;
    if (auto* page = dynamic_cast<IPropertyPage*>(node.page)) page->Open();
  }
  m_stack->setCurrentWidget(node.page);
}

void CTreePropertySheet::accept() {
  for (int index = 0; index < NodeCount(); ++index) {
    const Node& node = m_nodes[index];
    if (!node.opened) continue;
    auto* page = dynamic_cast<IPropertyPage*>(node.page);
    if (page && !page->Validate()) {
      SelectPage(index);
      return;
    }
  }
  for (const Node& node : m_nodes) {
    if (!node.opened) continue;
    if (auto* page = dynamic_cast<IPropertyPage*>(node.page)) page->Apply();
  }
  QDialog::accept();
}

void CTreePropertySheet::showEvent(QShowEvent* event) {
  if (CurrentNode() < 0 && NodeCount() > 0) SelectPage(0);
  QDialog::showEvent(event);
}
