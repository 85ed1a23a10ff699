#include "console/files/DirectoryWatcher.h"

#include <QDir>
#include <QSocketNotifier>

#include <linux/magic.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>

#include "console/files/FileCommands.h"

namespace {

// Long enough to gather a burst of changes into one refill, short enough that
// the list follows the disk at once for a person.
constexpr int kSettleMs = 100;

// In the shown folder every change of an entry can alter its row; in a subfolder
// only entries coming and going change its date.
constexpr uint32_t kShownFolderEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO |
                                        IN_MODIFY | IN_CLOSE_WRITE | IN_ATTRIB | IN_DELETE_SELF |
                                        IN_MOVE_SELF;
constexpr uint32_t kSubfolderEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;

// File systems whose changes made by another machine or process the kernel may
// never report.
bool ReportsEveryChange(const QString& folder) {
  struct statfs info{};
  if (statfs(QFile::encodeName(folder).constData(), &info) != 0) return false;
  switch (static_cast<unsigned long>(info.f_type)) {
    case NFS_SUPER_MAGIC:
    case SMB_SUPER_MAGIC:
    case CIFS_SUPER_MAGIC:
    case SMB2_SUPER_MAGIC:
    case FUSE_SUPER_MAGIC:
    case V9FS_MAGIC:
    case CEPH_SUPER_MAGIC:
    case AFS_SUPER_MAGIC:
    case AFS_FS_MAGIC:
    case CODA_SUPER_MAGIC:
      return false;
    default:
      return true;
  }
}

}  // namespace

CDirectoryWatcher::CDirectoryWatcher(QObject* parent) : QObject(parent) {
  m_settle.setSingleShot(true);
  m_settle.setInterval(kSettleMs);
  connect(&m_settle, &QTimer::timeout, this, [this] {
    ++m_wakes;
    emit Changed();
  });
}

CDirectoryWatcher::~CDirectoryWatcher() { Stop(); }

void CDirectoryWatcher::Stop() {
  m_settle.stop();
  delete m_notifier;
  m_notifier = nullptr;
  if (m_fd >= 0) close(m_fd);  // ends every watch of it
  m_fd = -1;
  m_folderWatch = -1;
  m_watches.clear();
  m_folder.clear();
  m_changes = {};
}

bool CDirectoryWatcher::Watch(const QString& folder) {
  Stop();
  m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (m_fd < 0) return false;
  m_folder = folder;
  AddWatch(folder, {});
  if (m_folderWatch < 0) {
    Stop();
    return false;
  }
  m_complete = ReportsEveryChange(folder);
  const QStringList subfolders = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  for (const QString& name : subfolders) AddWatch(QDir(folder).filePath(name), QFile::encodeName(name).toStdString());
  m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
  connect(m_notifier, &QSocketNotifier::activated, this, &CDirectoryWatcher::ReadEvents);
  return true;
}

bool CDirectoryWatcher::HasPendingChanges() const {
  int waiting = 0;
  return m_settle.isActive() || (m_fd >= 0 && ioctl(m_fd, FIONREAD, &waiting) == 0 && waiting > 0);
}

FolderChanges CDirectoryWatcher::TakeChanges() {
  if (m_fd >= 0) ReadEvents();
  FolderChanges changes = std::exchange(m_changes, FolderChanges{false, {}});
  if (m_folderWatch < 0 || !m_complete) changes = {};
  return changes;
}

void CDirectoryWatcher::AddWatch(const QString& path, const std::string& entry) {
  const int watch = inotify_add_watch(m_fd, QFile::encodeName(path).constData(),
                                      (entry.empty() ? kShownFolderEvents : kSubfolderEvents) | IN_ONLYDIR);
  if (watch < 0) {
    // Without it a change of that subfolder's date would go unseen.
    if (!entry.empty()) m_complete = false;
    return;
  }
  m_watches[watch] = entry;
  if (entry.empty()) m_folderWatch = watch;
}

void CDirectoryWatcher::ReadEvents() {
  ++m_wakes;
  alignas(inotify_event) char buffer[16384];
  bool relevant = false;
  while (true) {
    const ssize_t length = read(m_fd, buffer, sizeof buffer);
    if (length <= 0) break;
    for (ssize_t at = 0; at < length;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      if (event->mask & IN_Q_OVERFLOW) {
        relevant = true;  // changes were lost: list everything again
        m_changes = {};
        continue;
      }
      const auto found = m_watches.find(event->wd);
      if (found == m_watches.end()) continue;
      const bool inShownFolder = found->second.empty();
      if (event->mask & IN_IGNORED) {
        if (event->wd == m_folderWatch) m_folderWatch = -1;
        m_watches.erase(found);
        continue;
      }
      if (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF)) {
        relevant = true;
        m_changes = {};
        continue;
      }
      const std::string name = event->len ? std::string(event->name) : std::string();
      // In a subfolder, what changes is that subfolder's row (its date).
      m_changes.Add({false, {inShownFolder ? name : found->second}});
      if (file_commands::IsIgnoredChange(name)) continue;
      relevant = true;
      // A new subfolder is watched as the others are.
      if (inShownFolder && (event->mask & IN_ISDIR) && (event->mask & (IN_CREATE | IN_MOVED_TO)))
        AddWatch(QDir(m_folder).filePath(QFile::decodeName(event->name)), name);
    }
  }
  if (relevant && !m_settle.isActive()) m_settle.start();
}
