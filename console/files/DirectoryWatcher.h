// Watches the shown folder and its direct subfolders, which is everything whose
// change can alter a row of the list, through the kernel's change notification:
// no polling and no snapshot of the tree, so nothing runs while nothing changes.
// Changes of temporary, backup and hidden files are ignored. A burst of changes
// is reported once it has settled for a moment, not once per change.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <map>

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

 signals:
  void Changed();

 private:
  void AddWatch(const QString& path, bool shownFolder);
  void ReadEvents();

  QString m_folder;
  int m_fd = -1;
  QSocketNotifier* m_notifier = nullptr;
  // Watch descriptor to whether it is the shown folder.
  std::map<int, bool> m_watches;
  QTimer m_settle;
};
