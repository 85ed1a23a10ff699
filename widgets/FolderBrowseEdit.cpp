#include "widgets/FolderBrowseEdit.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

CFolderBrowseEdit::CFolderBrowseEdit(QWidget* parent) : QWidget(parent) {
  m_edit = new QLineEdit(this);
  m_button = new QToolButton(this);
  m_button->setText(QStringLiteral("..."));
  m_button->setAccessibleName(tr("Browse"));
  m_button->setToolTip(tr("Browse"));
  setFocusProxy(m_edit);

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  layout->addWidget(m_edit, 1);
  layout->addWidget(m_button);

  connect(m_button, &QToolButton::clicked, this, &CFolderBrowseEdit::Browse);
  connect(m_edit, &QLineEdit::returnPressed, this, [this] { ChooseFolder(m_edit->text()); });
}

QString CFolderBrowseEdit::Text() const { return m_edit->text(); }

void CFolderBrowseEdit::SetText(const QString& text) { m_edit->setText(text); }

void CFolderBrowseEdit::SetAccessibleName(const QString& name) {
  setAccessibleName(name);
  m_edit->setAccessibleName(name);
}

void CFolderBrowseEdit::ChooseFolder(const QString& folder) {
  m_edit->setText(folder);
  emit folderChosen(folder);
}

void CFolderBrowseEdit::Browse() {
  const QString folder =
      QFileDialog::getExistingDirectory(this, tr("Browse For Folder"), m_edit->text());
  if (!folder.isEmpty()) ChooseFolder(QDir::toNativeSeparators(folder));
}
