// Quire's application: settings under (the organisation, "Quire"), the user file
// "userfiles.dat", the keyword list, the find and replace histories, the link
// state, the single-instance rule and the main frame.
#pragma once

#include <QStringList>

#include <memory>
#include <string>
#include <vector>

#include "common/Ini.h"
#include "editor/app/LinkDispatcher.h"
#include "editor/app/Questions.h"
#include "editor/view/ViewSettings.h"

class CMainFrame;
class CSingleInstance;

struct QuirePreferences {
  bool autoComplete = true;  // "AutoCompleteEnabled"
  bool callTips = true;      // "CalltipsEnabled"
  ViewSettings view;         // "TabSize", "UseSpaces", "SmarIndent", "Comment", "ShowAllCharacters"
  bool reopenFiles = true;   // "ReopenFiles"
  bool cellMode = true;      // "CellMode"
};

struct QuireOptions {
  bool show = true;
  bool singleInstance = true;
};

class CQuireApp {
 public:
  enum class Start { Running, HandedOver, Failed };

  // `questions` answers for the user; the desktop's boxes when none is given.
  explicit CQuireApp(IQuestions* questions = nullptr);
  ~CQuireApp();

  // `files` as given on the command line (relative to the current folder).
  Start InitInstance(const QStringList& files, const QuireOptions& options = {});
  // Writes the find and replace histories.
  void ExitInstance();

  // Re-reads the "General" keys.
  void ReloadPreferences();
  const QuirePreferences& Preferences() const { return m_prefs; }

  // Settings of the application's store, read at every call with the default.
  static int ProfileInt(const QString& section, const QString& key, int fallback);
  static void WriteProfileInt(const QString& section, const QString& key, int value);

  const std::vector<std::string>& Keywords() const { return m_keywords; }
  std::vector<std::string>& FindHistory() { return m_findHistory; }
  std::vector<std::string>& ReplaceHistory() { return m_replaceHistory; }
  CIni& UserFile() { return m_userFile; }
  SLinkState& LinkState() { return m_link; }
  CMainFrame* Frame() const { return m_frame.get(); }
  IQuestions& Questions() const { return *m_questions; }

  // Sends `text` and "\r\n" to the console. When the console is not running
  // and `askToStart` is set, offers to start it (the text is not sent).
  bool SendToConsole(std::string text, bool bringToFront, bool askToStart);

 private:
  void ReadHistories();
  void WriteDefaultsWhereMissing();
  void LoadKeywords();

  CDesktopQuestions m_desktopQuestions;
  IQuestions* m_questions;
  QuirePreferences m_prefs;
  std::vector<std::string> m_keywords;
  std::vector<std::string> m_findHistory;
  std::vector<std::string> m_replaceHistory;
  CIni m_userFile;
  SLinkState m_link;
  std::unique_ptr<CSingleInstance> m_instance;
  std::unique_ptr<CMainFrame> m_frame;
};
