#include "console/files/PathComboButton.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

CPathComboButton::CPathComboButton(QComboBox* box, std::function<void(const std::string&)> change)
    : QObject(box), m_box(box), m_change(std::move(change)) {
  m_box->setInsertPolicy(QComboBox::NoInsert);
  // Enter is taken before the box's own handling, which would also report a
  // pick when the text equals an entry of the list.
  if (m_box->lineEdit()) m_box->lineEdit()->installEventFilter(this);
  connect(m_box, &QComboBox::activated, this,
          [this](int index) { m_change(m_box->itemText(index).toStdString()); });
}

bool CPathComboButton::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      m_change(m_box->currentText().toStdString());
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

void CPathComboButton::SetText(const std::string& text) {
  const QString shown = QString::fromStdString(text);
  const QSignalBlocker quiet(m_box);
  const int index = m_box->findText(shown);
  if (index >= 0) m_box->setCurrentIndex(index);
  m_box->setEditText(shown);
}

void CPathComboButton::SetItems(const std::vector<std::string>& items) {
  const QSignalBlocker quiet(m_box);
  const QString shown = m_box->currentText();
  m_box->clear();
  for (const std::string& item : items) m_box->addItem(QString::fromStdString(item));
  m_box->setEditText(shown);
}

void CPathComboButton::AddItem(const std::string& text) {
  const QSignalBlocker quiet(m_box);
  const QString shown = m_box->currentText();
  m_box->addItem(QString::fromStdString(text));
  m_box->setEditText(shown);
}

void CPathComboButton::RemoveItem(const std::string& text) {
  const QSignalBlocker quiet(m_box);
  const QString shown = m_box->currentText();
  const int index = m_box->findText(QString::fromStdString(text), Qt::MatchExactly | Qt::MatchCaseSensitive);
  if (index >= 0) m_box->removeItem(index);
  m_box->setEditText(shown);
}

void CPathComboButton::TakeFocus() { m_box->setFocus(Qt::OtherFocusReason); }
