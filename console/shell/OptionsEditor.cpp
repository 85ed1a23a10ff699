#include "console/shell/OptionsEditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QCoreApplication>
#include <QSettings>
#include <QVBoxLayout>

namespace {
// Quire's store and the group holding its preferences.
const QString kEditor = QStringLiteral("Quire");
const QString kGroup = QStringLiteral("General");

bool EditorGroupExists() {
  QSettings store(QCoreApplication::organizationName(), kEditor);
  store.beginGroup(kGroup);
  return !store.childKeys().isEmpty();
}

int ReadInt(const QSettings& store, const QString& key, int fallback) {
  bool ok = false;
  const int value = store.value(key).toInt(&ok);
  return ok ? value : fallback;
}
}  // namespace

COptionsEditor::COptionsEditor(std::function<bool(const std::string&)> sendToEditor,
                               QWidget* parent)
    : QWidget(parent), m_sendToEditor(std::move(sendToEditor)) {
  auto* quire = new QGroupBox(tr("Quire"), this);
  m_autoComplete = new QCheckBox(tr("Enable Auto-completion on each input"), quire);
  m_calltips = new QCheckBox(tr("Function parameters hint on input"), quire);
  m_showAll = new QCheckBox(tr("Show All Characters"), quire);
  m_reopen = new QCheckBox(tr("Reopen files from previous session"), quire);
  m_comment = new QComboBox(quire);
  m_comment->addItems({QStringLiteral("#"), QStringLiteral("%"), QStringLiteral("##")});
  const QString commentText = tr("Default comment style:");
  m_comment->setAccessibleName(commentText);
  auto* commentRow = new QFormLayout;
  commentRow->addRow(commentText, m_comment);
  auto* quireLayout = new QVBoxLayout(quire);
  for (QCheckBox* box : {m_autoComplete, m_calltips, m_showAll, m_reopen})
    quireLayout->addWidget(box);
  quireLayout->addLayout(commentRow);

  auto* tabs = new QGroupBox(tr("Tabs and Indent"), this);
  m_tabSize = new QLineEdit(tabs);
  const QString tabText = tr("Tab size:");
  m_tabSize->setAccessibleName(tabText);
  m_tabSize->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_tabSize));
  m_tabSize->setMaxLength(3);
  auto* tabRow = new QFormLayout;
  tabRow->addRow(tabText, m_tabSize);
  m_useSpaces = new QCheckBox(tr("Use spaces instead of tabs for indentation"), tabs);
  auto* indent = new QGroupBox(tr("Indenting for Enter key"), tabs);
  m_noIndent = new QRadioButton(tr("No indent"), indent);
  m_smartIndent = new QRadioButton(tr("Smart indent"), indent);
  auto* indentLayout = new QVBoxLayout(indent);
  indentLayout->addWidget(m_noIndent);
  indentLayout->addWidget(m_smartIndent);
  auto* tabsLayout = new QVBoxLayout(tabs);
  tabsLayout->addLayout(tabRow);
  tabsLayout->addWidget(m_useSpaces);
  tabsLayout->addWidget(indent);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(quire);
  layout->addWidget(tabs);
  layout->addStretch(1);

  // Quire's own defaults, kept while it has no preferences yet.
  m_autoComplete->setChecked(true);
  m_calltips->setChecked(true);
  m_showAll->setChecked(false);
  m_reopen->setChecked(true);
  m_tabSize->setText(QStringLiteral("4"));
  m_useSpaces->setChecked(false);
  m_smartIndent->setChecked(true);
  m_comment->setCurrentIndex(0);
}

void COptionsEditor::Open() {
  m_found = EditorGroupExists();
  if (!m_found) return;
  QSettings store(QCoreApplication::organizationName(), kEditor);
  store.beginGroup(kGroup);
  m_autoComplete->setChecked(ReadInt(store, QStringLiteral("AutoCompleteEnabled"), 1) != 0);
  m_calltips->setChecked(ReadInt(store, QStringLiteral("CalltipsEnabled"), 1) != 0);
  m_showAll->setChecked(ReadInt(store, QStringLiteral("ShowAllCharacters"), 0) != 0);
  m_reopen->setChecked(ReadInt(store, QStringLiteral("ReopenFiles"), 1) != 0);
  m_tabSize->setText(QString::number(ReadInt(store, QStringLiteral("TabSize"), 4)));
  m_useSpaces->setChecked(ReadInt(store, QStringLiteral("UseSpaces"), 0) != 0);
  if (ReadInt(store, QStringLiteral("SmarIndent"), 1) == 0)
    m_noIndent->setChecked(true);
  else
    m_smartIndent->setChecked(true);
  const int comment = ReadInt(store, QStringLiteral("Comment"), 0);
  m_comment->setCurrentIndex(comment >= 0 && comment < m_comment->count() ? comment : 0);
}

void COptionsEditor::Apply() {
  // Template values must not land in a store Quire has never written.
  if (!m_found || !EditorGroupExists()) return;
  {
    QSettings store(QCoreApplication::organizationName(), kEditor);
    store.beginGroup(kGroup);
    store.setValue(QStringLiteral("AutoCompleteEnabled"), m_autoComplete->isChecked() ? 1 : 0);
    store.setValue(QStringLiteral("CalltipsEnabled"), m_calltips->isChecked() ? 1 : 0);
    store.setValue(QStringLiteral("ShowAllCharacters"), m_showAll->isChecked() ? 1 : 0);
    store.setValue(QStringLiteral("ReopenFiles"), m_reopen->isChecked() ? 1 : 0);
    store.setValue(QStringLiteral("TabSize"), m_tabSize->text().toInt());
    store.setValue(QStringLiteral("UseSpaces"), m_useSpaces->isChecked() ? 1 : 0);
    store.setValue(QStringLiteral("SmarIndent"), m_smartIndent->isChecked() ? 1 : 0);
    store.setValue(QStringLiteral("Comment"), m_comment->currentIndex());
    // Flushed before the editor is told to read them.
    store.sync();
  }
  if (m_sendToEditor) m_sendToEditor("UpdatePreferences");
}
