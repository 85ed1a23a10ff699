#include "console/shell/OptionsOctave.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "common/Settings.h"
#include "common/UserDirs.h"
#include "widgets/FolderBrowseEdit.h"
#include "widgets/UserPrompts.h"

namespace {
#ifdef _WIN32
constexpr const char* kInterpreterFile = "octave.exe";
constexpr const char* kInterpreterLabel = "Octave.exe";
#else
constexpr const char* kInterpreterFile = "octave-cli";
constexpr const char* kInterpreterLabel = "octave-cli";
#endif
}  // namespace

COptionsOctave::COptionsOctave(ISettings& settings, IUserPrompts& prompts, QWidget* parent)
    : QWidget(parent), m_settings(settings), m_prompts(prompts) {
  auto* group = new QGroupBox(tr("GNU Octave"), this);
  auto* label = new QLabel(tr("GNU Octave Executable Files Directory:"), group);
  m_folder = new CFolderBrowseEdit(group);
  m_folder->SetAccessibleName(label->text());
  label->setBuddy(m_folder);
  m_autoStart = new QCheckBox(tr("Autoconnect at startup"), group);

  auto* groupLayout = new QVBoxLayout(group);
  groupLayout->addWidget(label);
  groupLayout->addWidget(m_folder);
  groupLayout->addWidget(m_autoStart);

  auto* manualGroup = new QGroupBox(tr("Octave Manual"), this);
  auto* manualLabel = new QLabel(tr("Octave Manual Folder (empty: found automatically):"), manualGroup);
  m_manualFolder = new CFolderBrowseEdit(manualGroup);
  m_manualFolder->SetAccessibleName(tr("Octave Manual Folder"));
  manualLabel->setBuddy(m_manualFolder);
  auto* manualLayout = new QVBoxLayout(manualGroup);
  manualLayout->addWidget(manualLabel);
  manualLayout->addWidget(m_manualFolder);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(manualGroup);
  layout->addStretch(1);

  connect(m_folder, &CFolderBrowseEdit::folderChosen, this, &COptionsOctave::OnFolderChosen);
}

void COptionsOctave::Open() {
  const std::string path = m_settings.GetString("Octave", "path", kDefaultPath);
  m_acceptedFolder = QString::fromStdString(LongPathName(path));
  m_folder->SetText(m_acceptedFolder);
  m_autoStart->setChecked(m_settings.GetInt("Octave", "AutoStart", 1) != 0);
  m_manualFolder->SetText(QString::fromStdString(m_settings.GetString("Octave", "docpath", "")));
}

void COptionsOctave::Apply() {
  m_settings.SetInt("Octave", "AutoStart", m_autoStart->isChecked() ? 1 : 0);
  m_settings.SetString("Octave", "docpath", m_manualFolder->Text().trimmed().toStdString());
}

bool COptionsOctave::Validate() {
  const QString typed = m_folder->Text().trimmed();
  return typed == m_acceptedFolder || OnFolderChosen(typed);
}

bool COptionsOctave::OnFolderChosen(const QString& folder) {
  if (folder.isEmpty() ||
      !QFileInfo(QDir(folder), QString::fromLatin1(kInterpreterFile)).isFile()) {
    m_folder->SetText(m_acceptedFolder);
    m_prompts.ShowError(this, QStringLiteral("%1 does not exist in path\n%2")
                                  .arg(QString::fromLatin1(kInterpreterLabel), folder));
    return false;
  }
  // Written at once, so that Cancel keeps a folder the user has already checked.
  m_settings.SetString("Octave", "path", folder.toStdString());
  m_acceptedFolder = folder;
  return true;
}
