#include "console/pathpkg/OctavePaths.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QProgressDialog>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/FolderList.h"
#include "console/pathpkg/PathPackageCommands.h"
#include "console/pathpkg/ReportList.h"
#include "console/pathpkg/SubfolderScan.h"
#include "console/session/SessionCore.h"
#include "console/session/StartupCommands.h"

namespace {

constexpr const char* kPopulating = "Populating list. Please wait...";
// A scan shorter than this shows no progress window.
constexpr int kProgressDelayMs = 400;

}  // namespace

COctavePaths::COctavePaths(CSessionCore& core, ISettings& settings, QWidget* parent)
    : QDialog(parent), m_core(core), m_settings(settings) {
  setWindowTitle(tr("Set Paths"));
  setObjectName(QStringLiteral("SetPaths"));
  setModal(false);

  m_list = NewReportList(this, QStringLiteral("SearchPathList"), tr("Calyx Search Path"),
                         {tr("Calyx Search Path")});
  m_list->header()->setStretchLastSection(true);

  m_add = new QPushButton(tr("Add folder..."), this);
  m_addWithSubfolders = new QPushButton(tr("Add with Subfolders"), this);
  m_remove = new QPushButton(tr("Remove"), this);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* refresh = buttons->addButton(tr("Refresh"), QDialogButtonBox::ActionRole);
  refresh->setDefault(true);
  QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
  close->setText(tr("Close"));

  auto* actions = new QHBoxLayout;
  for (QPushButton* button : {m_add, m_addWithSubfolders, m_remove}) actions->addWidget(button);
  actions->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_list);
  layout->addLayout(actions);
  layout->addWidget(buttons);
  resize(560, 420);

  m_chooseFolder = [this](const QString& title, const QString& start) {
    return QFileDialog::getExistingDirectory(this, title, start);
  };
  connect(m_add, &QPushButton::clicked, this, &COctavePaths::AddFolder);
  connect(m_addWithSubfolders, &QPushButton::clicked, this, &COctavePaths::AddWithSubfolders);
  connect(m_remove, &QPushButton::clicked, this, &COctavePaths::Remove);
  connect(refresh, &QPushButton::clicked, this, &COctavePaths::Refresh);
  connect(close, &QPushButton::clicked, this, &QDialog::hide);
  connect(m_list, &QTreeWidget::itemSelectionChanged, this, &COctavePaths::UpdateButtons);
  UpdateButtons();
}

COctavePaths::~COctavePaths() {
  m_cancelScan = true;
  EndScan();
}

void COctavePaths::Refresh() { m_core.Signals().Raise(m_core.Signals().g_bRefreshPath); }

QString COctavePaths::StartFolder() const {
  // The interpreter's working folder: where a user's own folders are near.
  const QString work = QString::fromStdString(m_settings.GetString("Octave", "workpath", ""));
  return QDir(work).exists() && !work.isEmpty() ? work : QDir::homePath();
}

void COctavePaths::AddFolders(const std::vector<std::string>& folders) {
  std::vector<std::string> userPaths = folder_list::Read(m_core.UserData(), kUserPathsKey);
  userPaths.insert(userPaths.end(), folders.begin(), folders.end());
  folder_list::Write(m_core.UserData(), kUserPathsKey, userPaths);
  m_core.EnqueueCommand(pathpkg::AddFoldersCommand(folders), false);
}

void COctavePaths::AddFolder() {
  const QString folder = m_chooseFolder(tr("Select path to add"), StartFolder());
  if (folder.isEmpty()) return;
  AddFolders({QDir::cleanPath(folder).toStdString()});
}

void COctavePaths::AddWithSubfolders() {
  if (Scanning()) return;
  const QString chosen = m_chooseFolder(tr("Select path to add with subfolders"), StartFolder());
  if (chosen.isEmpty()) return;
  const std::string root = QDir::cleanPath(chosen).toStdString();

  m_progress = new QProgressDialog(tr("Listing the folders below %1...").arg(chosen), tr("Cancel"),
                                   0, 0, this);
  m_progress->setWindowTitle(tr("Add with Subfolders"));
  m_progress->setMinimumDuration(kProgressDelayMs);
  m_progress->setAutoClose(false);
  m_progress->setAutoReset(false);
  connect(m_progress, &QProgressDialog::canceled, this, [this] { m_cancelScan = true; });

  m_cancelScan = false;
  m_scan = std::thread([this, root] {
    const auto progress = [this](size_t found) {
      QMetaObject::invokeMethod(
          this,
          [this, found] {
            if (m_progress) m_progress->setLabelText(tr("Folders found: %1").arg(found));
          },
          Qt::QueuedConnection);
    };
    std::optional<std::vector<std::string>> found = ScanSubfolders(root, m_cancelScan, progress);
    QMetaObject::invokeMethod(
        this,
        [this, root, completed = found.has_value(), folders = found.value_or(std::vector<std::string>{})] {
          ScanFinished(root, completed, folders);
        },
        Qt::QueuedConnection);
  });
  UpdateButtons();
}

void COctavePaths::ScanFinished(const std::string& root, bool completed,
                                const std::vector<std::string>& found) {
  EndScan();
  UpdateButtons();
  if (!completed) return;  // cancelled: nothing changes
  std::vector<std::string> folders{root};
  folders.insert(folders.end(), found.begin(), found.end());
  AddFolders(folders);
}

void COctavePaths::EndScan() {
  if (m_scan.joinable()) m_scan.join();
  if (m_progress) {
    m_progress->deleteLater();
    m_progress = nullptr;
  }
}

void COctavePaths::Remove() {
  std::vector<std::string> removed;
  // In list order, whatever order the rows were selected in.
  for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = m_list->topLevelItem(i);
    if (item->isSelected() && item->text(0) != QLatin1String(kPopulating)) {
      removed.push_back(item->text(0).toStdString());
    }
  }
  if (removed.empty()) return;
  std::vector<std::string> userPaths = folder_list::Read(m_core.UserData(), kUserPathsKey);
  pathpkg::ForgetFolders(userPaths, removed);
  folder_list::Write(m_core.UserData(), kUserPathsKey, userPaths);
  m_core.EnqueueCommand(pathpkg::RemoveFoldersCommand(removed), false);
}

void COctavePaths::UpdateButtons() {
  m_add->setEnabled(!Scanning());
  m_addWithSubfolders->setEnabled(!Scanning());
  m_remove->setEnabled(!m_list->selectedItems().isEmpty());
}
