#include "console/pathpkg/OctavePackages.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "console/pathpkg/PathPackageCommands.h"
#include "console/pathpkg/ReportList.h"
#include "console/session/OutputForms.h"
#include "console/session/SessionCore.h"
#include "widgets/UserPrompts.h"

namespace {

struct Column {
  const char* heading;
  int width;
};
constexpr Column kColumns[] = {
    {"Package Name", 120}, {"Version", 60}, {"Short description", 490}, {"Status", 70}};

}  // namespace

COctavePackages::COctavePackages(CSessionCore& core, IUserPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_core(core), m_prompts(prompts) {
  setWindowTitle(tr("Packages"));
  setObjectName(QStringLiteral("Packages"));
  setModal(false);

  QStringList headings;
  for (const Column& column : kColumns) headings << tr(column.heading);
  m_list = NewReportList(this, QStringLiteral("PackageList"), tr("Installed packages"), headings);
  for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) m_list->setColumnWidth(i, kColumns[i].width);

  m_install = new QPushButton(tr("Install package..."), this);
  m_load = new QPushButton(tr("Load"), this);
  m_unload = new QPushButton(tr("Unload"), this);
  m_uninstall = new QPushButton(tr("Uninstall"), this);
  auto* buttons = new QDialogButtonBox(this);
  m_refresh = buttons->addButton(tr("Refresh"), QDialogButtonBox::ActionRole);
  m_refresh->setDefault(true);
  QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
  close->setText(tr("Close"));

  m_activity = new QLabel(this);
  m_activity->setObjectName(QStringLiteral("PackageActivity"));
  m_busyBar = new QProgressBar(this);
  m_busyBar->setRange(0, 0);
  m_busyBar->setMaximumWidth(160);
  m_busyBar->setAccessibleName(tr("Waiting for the interpreter"));
  m_busyBar->hide();

  auto* actions = new QHBoxLayout;
  for (QPushButton* button : {m_install, m_load, m_unload, m_uninstall}) actions->addWidget(button);
  actions->addStretch(1);
  auto* status = new QHBoxLayout;
  status->addWidget(m_activity, 1);
  status->addWidget(m_busyBar);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_list);
  layout->addLayout(actions);
  layout->addLayout(status);
  layout->addWidget(buttons);
  resize(800, 400);

  m_chooseFile = [this](const QString& start) {
    QFileDialog dialog(this, tr("Install package"), start,
                       tr("Octave-forge packages (*.tar.gz)"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("tar.gz"));
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
               ? dialog.selectedFiles().constFirst()
               : QString();
  };
  connect(m_install, &QPushButton::clicked, this, &COctavePackages::Install);
  connect(m_load, &QPushButton::clicked, this, &COctavePackages::Load);
  connect(m_unload, &QPushButton::clicked, this, &COctavePackages::Unload);
  connect(m_uninstall, &QPushButton::clicked, this, &COctavePackages::Uninstall);
  connect(m_refresh, &QPushButton::clicked, this, &COctavePackages::Refresh);
  connect(close, &QPushButton::clicked, this, &QDialog::hide);
  connect(m_list, &QTreeWidget::itemSelectionChanged, this, &COctavePackages::UpdateButtons);
  UpdateButtons();
}

void COctavePackages::Refresh() { m_core.Signals().Raise(m_core.Signals().g_bRefreshPackages); }

std::string COctavePackages::SelectedName() const {
  for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = m_list->topLevelItem(i);
    if (!item->isSelected()) continue;
    const std::string name = item->text(0).toStdString();
    // The rows that stand for no package have no name of one.
    return name == output_forms::kNoPackages ? std::string() : name;
  }
  return {};
}

void COctavePackages::Install() {
  const QString file = m_chooseFile(QDir::homePath());
  if (file.isEmpty()) return;
  const std::string command = pathpkg::InstallPackageCommand(QDir::cleanPath(file).toStdString());
  if (command.empty()) return;
  Run(command, tr("Installing %1: the Command Window shows the interpreter's progress.")
                   .arg(QFileInfo(file).fileName()));
}

void COctavePackages::Uninstall() {
  const std::string name = SelectedName();
  if (name.empty()) return;
  if (!m_prompts.AskYesNo(this, QString::fromStdString(pathpkg::UninstallQuestion(name)))) return;
  Run(pathpkg::UninstallPackageCommand(name), tr("Uninstalling %1...").arg(QString::fromStdString(name)));
}

void COctavePackages::Load() {
  const std::string name = SelectedName();
  if (!name.empty()) Run(pathpkg::LoadPackageCommand(name), tr("Loading %1...").arg(QString::fromStdString(name)));
}

void COctavePackages::Unload() {
  const std::string name = SelectedName();
  if (!name.empty()) Run(pathpkg::UnloadPackageCommand(name), tr("Unloading %1...").arg(QString::fromStdString(name)));
}

void COctavePackages::Run(const std::string& command, const QString& activity) {
  if (command.empty()) return;
  ++m_pending;
  m_activity->setText(activity);
  UpdateButtons();
  // The answer comes on the dispatcher's thread; the dialog outlives the
  // dispatcher, which the main window stops first.
  m_core.EnqueueCommand(command, true, [this] {
    QMetaObject::invokeMethod(this, &COctavePackages::Answered, Qt::QueuedConnection);
  });
}

void COctavePackages::Answered() {
  m_pending = std::max(0, m_pending - 1);
  if (m_pending == 0) m_activity->clear();
  UpdateButtons();
}

void COctavePackages::UpdateButtons() {
  const bool idle = !Busy();
  const bool named = !SelectedName().empty();
  m_install->setEnabled(idle);
  m_refresh->setEnabled(idle);
  for (QPushButton* button : {m_load, m_unload, m_uninstall}) button->setEnabled(idle && named);
  m_busyBar->setVisible(!idle);
  setCursor(idle ? Qt::ArrowCursor : Qt::BusyCursor);
}
