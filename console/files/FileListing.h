// Lists the shown folder on a thread of its own, so that a large folder never
// stalls the window. A request that arrives while a listing runs is not lost: the
// newest one runs as soon as the running one ends, and several coalesce into one.
#pragma once

#include <QObject>
#include <QString>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "console/files/DirectoryScanner.h"
#include "console/files/FileListModel.h"

class CFileListing : public QObject {
  Q_OBJECT

 public:
  // `listed` receives each finished listing on this object's (the GUI) thread.
  using Listed = std::function<void(const QString& folder, std::vector<FileRow> rows)>;
  explicit CFileListing(Listed listed, QObject* parent = nullptr);
  ~CFileListing() override;

  // `changes`: what changed since the last request (everything when unknown).
  void Request(const QString& folder, const QString& filter, const FolderChanges& changes = {});

 private:
  void Run();

  Listed m_listed;
  std::mutex m_mutex;
  std::condition_variable m_wake;
  bool m_pending = false;
  bool m_stopping = false;
  std::string m_folder;
  std::string m_filter;
  FolderChanges m_changes;
  std::thread m_thread;
};
