// The "Set Paths" dialog: the interpreter's search path, and the folders the user
// adds to it or removes from it. The folders the user added are kept in the user
// data file and given back to the interpreter at every start.
#pragma once

#include <QDialog>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

class CSessionCore;
class ISettings;
class QProgressDialog;
class QPushButton;
class QTreeWidget;

class COctavePaths : public QDialog {
  Q_OBJECT

 public:
  // Asks the user for a folder: (title, starting folder) -> the folder, or "".
  using FolderChooser = std::function<QString(const QString& title, const QString& start)>;

  COctavePaths(CSessionCore& core, ISettings& settings, QWidget* parent = nullptr);
  ~COctavePaths() override;

  QTreeWidget* List() const { return m_list; }
  // Tests choose folders instead of a person.
  void SetFolderChooser(FolderChooser chooser) { m_chooseFolder = std::move(chooser); }
  // True while "Add with Subfolders" lists the folders below the chosen one.
  bool Scanning() const { return m_scan.joinable(); }

  void Refresh();
  void AddFolder();
  void AddWithSubfolders();
  void Remove();

 private:
  QString StartFolder() const;
  // Appends to the stored list and queues the addition of `folders`.
  void AddFolders(const std::vector<std::string>& folders);
  void ScanFinished(const std::string& root, bool completed, const std::vector<std::string>& found);
  void EndScan();
  void UpdateButtons();

  CSessionCore& m_core;
  ISettings& m_settings;
  QTreeWidget* m_list = nullptr;
  QPushButton* m_add = nullptr;
  QPushButton* m_addWithSubfolders = nullptr;
  QPushButton* m_remove = nullptr;
  FolderChooser m_chooseFolder;
  QProgressDialog* m_progress = nullptr;
  std::thread m_scan;
  std::atomic<bool> m_cancelScan{false};
};
