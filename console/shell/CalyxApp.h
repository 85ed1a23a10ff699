// The application: settings, the history store, the session's core (which starts
// the interpreter first), the main window and the session worker; the window
// goes down first, the session's threads with it.
#pragma once

#include <memory>
#include <string>

#include "console/command/HistoryStore.h"
#include "console/shell/CalyxArgs.h"
#include "console/shell/QtSettings.h"
#include "console/shell/RowList.h"
#include "widgets/UserPrompts.h"

class CMainFrame;
class CSessionCore;
class CSessionWorker;
class QApplication;

class CCalyxApp {
 public:
  // Questions and messages go to `prompts` when given (tests), else to message boxes.
  explicit CCalyxApp(IUserPrompts* prompts = nullptr);
  ~CCalyxApp();

  // Starts the interpreter when "AutoStart" is set, builds the window and the
  // session around it and connects.
  bool InitInstance(const CalyxOptions& options);

  CMainFrame* Frame() const { return m_frame.get(); }
  CSessionCore* Core() const { return m_core.get(); }
  CSessionWorker* Worker() const { return m_worker.get(); }
  ISettings& Settings() { return m_settings; }
  CHistoryStore& History() { return m_history; }

 private:
  bool AutoStart();
  void RunUpdateSchedule();

  CQtSettings m_settings;
  CHistoryStore m_history;
  CDesktopPrompts m_desktopPrompts;
  IUserPrompts& m_prompts;
  std::string m_dataDir;
  CRowList m_searchPath;
  CRowList m_packages;
  std::unique_ptr<CMainFrame> m_frame;
  std::unique_ptr<CSessionCore> m_core;
  std::unique_ptr<CSessionWorker> m_worker;
};
