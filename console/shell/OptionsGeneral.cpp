#include "console/shell/OptionsGeneral.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "common/Ini.h"
#include "common/Settings.h"

namespace {
// Nine digits always fit an int, so no typed number can overflow.
constexpr int kMaxDigits = 9;
}  // namespace

COptionsGeneral::COptionsGeneral(ISettings& settings, CIni& userData, QComboBox* pathBox,
                                 std::function<std::string()> currentFolder, QWidget* parent)
    : QWidget(parent),
      m_settings(settings),
      m_userData(userData),
      m_pathBox(pathBox),
      m_currentFolder(std::move(currentFolder)) {
  auto* update = new QGroupBox(tr("Auto-update"), this);
  auto* updateLayout = new QVBoxLayout(update);
  updateLayout->addWidget(
      AddCheck(update, tr("Automatically check for updates"), "General", "AutoUpdate", 1));

  auto* messages = new QGroupBox(tr("Messages"), this);
  auto* messagesLayout = new QVBoxLayout(messages);
  messagesLayout->addWidget(AddCheck(messages, tr("Warn before clearing the Command Window"),
                                     "General", "ConfirmClearWindow", 0));
  messagesLayout->addWidget(AddCheck(messages, tr("Warn before deleting Command History items"),
                                     "General", "ConfirmClearHistory", 0));
  messagesLayout->addWidget(AddCheck(messages, tr("Confirm when deleting Variables"), "General",
                                     "ConfirmClearVariables", 0));
  messagesLayout->addWidget(
      AddCheck(messages, tr("Confirm disconnect before exiting"), "Octave", "ConfirmExit", 1));
  messagesLayout->addWidget(
      AddCheck(messages, tr("Play a beep on errors"), "General", "BeepOnErrors", 0));

  auto* command = new QGroupBox(tr("Command Window"), this);
  auto* commandLayout = new QFormLayout(command);
  const QString linesText = tr("Number of lines in command window:");
  commandLayout->addRow(linesText, AddNumber(command, linesText, "General", "MaxLines", 2000));

  auto* folders = new QGroupBox(tr("Current Directory"), this);
  auto* foldersLayout = new QHBoxLayout(folders);
  auto* before = new QLabel(tr("Save most recent"), folders);
  auto* after = new QLabel(tr("directories"), folders);
  QLineEdit* maxDirs =
      AddNumber(folders, tr("Save most recent directories"), "General", "MaxDirs", 20);
  before->setBuddy(maxDirs);
  auto* clearAll = new QPushButton(tr("Clear All"), folders);
  foldersLayout->addWidget(before);
  foldersLayout->addWidget(maxDirs);
  foldersLayout->addWidget(after);
  foldersLayout->addStretch(1);
  foldersLayout->addWidget(clearAll);
  connect(clearAll, &QPushButton::clicked, this, &COptionsGeneral::ClearRecentFolders);

  auto* history = new QGroupBox(tr("History Window"), this);
  auto* historyLayout = new QFormLayout(history);
  const QString histText = tr("Max. history lines:");
  historyLayout->addRow(histText, AddNumber(history, histText, "General", "MaxHist", 100));

  auto* layout = new QVBoxLayout(this);
  for (QGroupBox* group : {update, messages, command, folders, history}) layout->addWidget(group);
  layout->addStretch(1);
}

QCheckBox* COptionsGeneral::AddCheck(QWidget* group, const QString& text, const char* section,
                                     const char* key, int fallback) {
  auto* box = new QCheckBox(text, group);
  m_checks.push_back({section, key, fallback, box});
  return box;
}

QLineEdit* COptionsGeneral::AddNumber(QWidget* group, const QString& name, const char* section,
                                      const char* key, int fallback) {
  auto* edit = new QLineEdit(group);
  edit->setAccessibleName(name);
  edit->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
  edit->setMaxLength(kMaxDigits);
  m_numbers.push_back({section, key, fallback, edit});
  return edit;
}

void COptionsGeneral::Open() {
  for (const CheckOption& option : m_checks)
    option.box->setChecked(m_settings.GetInt(option.section, option.key, option.fallback) != 0);
  for (const NumberOption& option : m_numbers)
    option.edit->setText(
        QString::number(m_settings.GetInt(option.section, option.key, option.fallback)));
}

void COptionsGeneral::Apply() {
  for (const CheckOption& option : m_checks)
    m_settings.SetInt(option.section, option.key, option.box->isChecked() ? 1 : 0);
  for (const NumberOption& option : m_numbers) {
    // An empty field reads as 0, as the field's only other content is digits.
    m_settings.SetInt(option.section, option.key, option.edit->text().toInt());
  }
}

void COptionsGeneral::ClearRecentFolders() {
  std::string current;
  if (m_pathBox) {
    const QString text = m_pathBox->currentText();
    m_pathBox->clear();
    // A box without an edit can show a text only as an entry of its list.
    if (m_pathBox->isEditable())
      m_pathBox->setEditText(text);
    else if (!text.isEmpty())
      m_pathBox->addItem(text);
    current = text.toStdString();
  } else if (m_currentFolder) {
    current = m_currentFolder();
  }
  m_userData.WriteArray("WorkingPaths", {current}, "|;|");
}
