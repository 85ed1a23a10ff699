#include "console/files/DirectoryWatcher.h"

#include <QDir>
#include <QSocketNotifier>

#include <sys/inotify.h>
#include <sys/ioctl.h>
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

}  // namespace

CDirectoryWatcher::CDirectoryWatcher(QObject* parent) : QObject(parent) {
  m_settle.setSingleShot(true);
  m_settle.setInterval(kSettleMs);
  connect(&m_settle, &QTimer::timeout, this, &CDirectoryWatcher::Changed);
}

CDirectoryWatcher::~CDirectoryWatcher() { Stop(); }

void CDirectoryWatcher::Stop() {
  m_settle.stop();
  delete m_notifier;
  m_notifier = nullptr;
  if (m_fd >= 0) close(m_fd);  // ends every watch of it
  m_fd = -1;
  m_watches.clear();
  m_folder.clear();
}

bool CDirectoryWatcher::Watch(const QString& folder) {
  Stop();
  m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (m_fd < 0) return false;
  m_folder = folder;
  AddWatch(folder, true);
  if (m_watches.empty()) {
    Stop();
    return false;
  }
  const QStringList subfolders = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  for (const QString& name : subfolders) AddWatch(QDir(folder).filePath(name), false);
  m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
  connect(m_notifier, &QSocketNotifier::activated, this, &CDirectoryWatcher::ReadEvents);
  return true;
}

bool CDirectoryWatcher::HasPendingChanges() const {
  int waiting = 0;
  return m_settle.isActive() || (m_fd >= 0 && ioctl(m_fd, FIONREAD, &waiting) == 0 && waiting > 0);
}

void CDirectoryWatcher::AddWatch(const QString& path, bool shownFolder) {
  const int watch = inotify_add_watch(m_fd, QFile::encodeName(path).constData(),
                                      (shownFolder ? kShownFolderEvents : kSubfolderEvents) | IN_ONLYDIR);
  if (watch >= 0) m_watches[watch] = shownFolder;
}

void CDirectoryWatcher::ReadEvents() {
  alignas(inotify_event) char buffer[16384];
  bool relevant = false;
  while (true) {
    const ssize_t length = read(m_fd, buffer, sizeof buffer);
    if (length <= 0) break;
    for (ssize_t at = 0; at < length;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      if (event->mask & IN_Q_OVERFLOW) {
        relevant = true;  // changes were lost: list again
        continue;
      }
      const auto found = m_watches.find(event->wd);
      if (found == m_watches.end()) continue;
      const bool inShownFolder = found->second;
      if (event->mask & IN_IGNORED) {
        m_watches.erase(found);
        continue;
      }
      if (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF)) {
        relevant = true;
        continue;
      }
      const QString name = event->len ? QFile::decodeName(event->name) : QString();
      if (file_commands::IsIgnoredChange(name.toStdString())) continue;
      relevant = true;
      // A new subfolder is watched as the others are.
      if (inShownFolder && (event->mask & IN_ISDIR) && (event->mask & (IN_CREATE | IN_MOVED_TO)))
        AddWatch(QDir(m_folder).filePath(name), false);
    }
  }
  if (relevant && !m_settle.isActive()) m_settle.start();
}
