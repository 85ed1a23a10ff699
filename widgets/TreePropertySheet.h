// A property sheet whose pages are picked from a tree on the left, with only OK
// and Cancel below.
#pragma once

#include <QDialog>
#include <QIcon>
#include <QString>
#include <QStringList>
#include <vector>

class QLabel;
class QStackedWidget;
class QTreeWidget;
class QTreeWidgetItem;

// What a page of the sheet does besides showing its controls.
class IPropertyPage {
 public:
  virtual ~IPropertyPage() = default;
  // The first time the page becomes current: fill the controls from the store.
  virtual void Open() {}
  // On OK, before any page writes: false keeps the sheet open on this page
  // (the page has told the user what is wrong).
  virtual bool Validate() { return true; }
  // On OK, for every page that was opened: write the controls to the store.
  virtual void Apply() = 0;
};

class CTreePropertySheet : public QDialog {
  Q_OBJECT

 public:
  explicit CTreePropertySheet(const QString& title, QWidget* parent = nullptr);

  // Adds a node under `parent` (-1: top level) and returns its index. A null
  // `page` makes a node that only groups others. Pages implementing
  // IPropertyPage are opened and applied; the sheet takes ownership of `page`.
  int AddPage(QWidget* page, const QString& title, const QIcon& icon = QIcon(), int parent = -1);

  int NodeCount() const;
  // Titles of the nodes as the tree shows them, top to bottom.
  QStringList NodeTitles() const;

  // Makes the node current, opening its page the first time. The first node is
  // made current when the sheet is first shown.
  void SelectPage(int node);
  int CurrentNode() const;
  // The page on the right: the node's own, or the placeholder of a node without one.
  QWidget* CurrentWidget() const;
  bool WasOpened(int node) const;

  // OK and Cancel without the buttons.
  void Accept() { accept(); }
  void Reject() { reject(); }

  // Validates, then applies every opened page in node order and closes; a page
  // that refuses its input is shown and the sheet stays open.
  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  struct Node {
    QTreeWidgetItem* item = nullptr;
    QWidget* page = nullptr;
    bool opened = false;
  };

  void OnCurrentItemChanged(QTreeWidgetItem* item);

  std::vector<Node> m_nodes;
  QTreeWidget* m_tree = nullptr;
  QLabel* m_caption = nullptr;
  QStackedWidget* m_stack = nullptr;
  QLabel* m_placeholder = nullptr;
};
