#include "console/files/FileListing.h"

#include <QMetaObject>

#include <utility>

#include "console/files/DirectoryScanner.h"

CFileListing::CFileListing(Listed listed, QObject* parent)
    : QObject(parent), m_listed(std::move(listed)), m_thread([this] { Run(); }) {}

CFileListing::~CFileListing() {
  {
    std::lock_guard lock(m_mutex);
    m_stopping = true;
  }
  m_wake.notify_one();
  m_thread.join();
}

void CFileListing::Request(const QString& folder, const QString& filter, const FolderChanges& changes) {
  {
    std::lock_guard lock(m_mutex);
    // Requests that coalesce carry the changes of all of them.
    if (m_pending)
      m_changes.Add(changes);
    else
      m_changes = changes;
    m_folder = folder.toStdString();
    m_filter = filter.toStdString();
    m_pending = true;
  }
  m_wake.notify_one();
}

void CFileListing::Run() {
  CDirectoryScanner scanner;
  CFileRowBuilder builder;
  std::unique_lock lock(m_mutex);
  while (true) {
    m_wake.wait(lock, [this] { return m_pending || m_stopping; });
    if (m_stopping) return;
    m_pending = false;
    const std::string folder = m_folder;
    const std::string filter = m_filter;
    const FolderChanges changes = std::exchange(m_changes, {});
    lock.unlock();
    std::vector<FileRow> rows = builder.Build(scanner.Scan(folder, filter, changes));
    // Dropped unseen when this object is gone before the GUI thread gets to it.
    QMetaObject::invokeMethod(
        this,
        [this, folder = QString::fromStdString(folder), rows = std::move(rows)]() mutable {
          m_listed(folder, std::move(rows));
        },
        Qt::QueuedConnection);
    lock.lock();
  }
}
