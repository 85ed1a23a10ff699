// Watches the shown folder and its direct subfolders, which is everything whose
// change can alter a row of the list, through the kernel's change notification:
// no polling and no snapshot of the tree, so nothing runs while nothing changes.
// Changes of temporary, backup and hidden files are ignored. A burst of changes
// is reported once it has settled for a moment, not once per change. It also
// remembers which entries changed, so that a listing asks the disk only about them.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <map>
#include <string>

#include "console/files/DirectoryScanner.h"

class QSocketNotifier;

class CDirectoryWatcher : public QObject {
  Q_OBJECT

 public:
  explicit CDirectoryWatcher(QObject* parent = nullptr);
  ~CDirectoryWatcher() override;

  // Stops watching the old folder before the new one is watched. False when the
  // folder cannot be watched (the list is then refreshed only on request).
  bool Watch(const QString& folder);
  void Stop();
  const QString& Folder() const { return m_folder; }
  int WatchCount() const { return static_cast<int>(m_watches.size()); }
  // Whether changes wait to be read or to settle (a report may still come).
  bool HasPendingChanges() const;
  // The entries of the shown folder that changed since the last call; everything
  // when the watch is not complete (a folder on a network or user-space file
  // system, whose changes made elsewhere the kernel does not report, included).
  FolderChanges TakeChanges();
  // How often the watcher's code ran: on kernel events and settled bursts.
  int Wakes() const { return m_wakes; }

 signals:
  void Changed();

 private:
  void AddWatch(const QString& path, const std::string& entry);
  void ReadEvents();

  QString m_folder;
  int m_fd = -1;
  int m_folderWatch = -1;
  bool m_complete = false;
  QSocketNotifier* m_notifier = nullptr;
  // Watch descriptor to the entry of the shown folder it watches ("" for the folder).
  std::map<int, std::string> m_watches;
  FolderChanges m_changes;
  QTimer m_settle;
  int m_wakes = 0;
};
