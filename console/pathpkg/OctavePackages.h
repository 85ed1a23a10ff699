// The "Packages" dialog: the interpreter's installed packages, and its own
// package commands to install, uninstall, load and unload them. The list asks
// for itself again once such a command has been answered.
#pragma once

#include <QDialog>

#include <functional>
#include <string>

class CSessionCore;
class IUserPrompts;
class QLabel;
class QProgressBar;
class QPushButton;
class QTreeWidget;

class COctavePackages : public QDialog {
  Q_OBJECT

 public:
  // Asks the user for a package archive: (starting folder) -> the file, or "".
  using FileChooser = std::function<QString(const QString& start)>;

  // `prompts` asks before uninstalling.
  COctavePackages(CSessionCore& core, IUserPrompts& prompts, QWidget* parent = nullptr);

  QTreeWidget* List() const { return m_list; }
  // Tests choose files instead of a person.
  void SetFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
  // True while one of the dialog's commands waits for the interpreter.
  bool Busy() const { return m_pending > 0; }

  void Refresh();
  void Install();
  void Uninstall();
  void Load();
  void Unload();

 private:
  // The package name of the first selected row; "" for none.
  std::string SelectedName() const;
  // Queues the command with echo; the dialog stays busy until it is answered.
  void Run(const std::string& command, const QString& activity);
  void Answered();
  void UpdateButtons();

  CSessionCore& m_core;
  IUserPrompts& m_prompts;
  QTreeWidget* m_list = nullptr;
  QPushButton* m_install = nullptr;
  QPushButton* m_load = nullptr;
  QPushButton* m_unload = nullptr;
  QPushButton* m_uninstall = nullptr;
  QPushButton* m_refresh = nullptr;
  QLabel* m_activity = nullptr;
  QProgressBar* m_busyBar = nullptr;
  FileChooser m_chooseFile;
  int m_pending = 0;
};
