#include "editor/app/QuireApp.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>

#include "common/UserDirs.h"
#include "common/link/Link.h"
#include "editor/app/DocumentRules.h"
#include "editor/app/LinkRules.h"
#include "editor/app/MainFrame.h"
#include "editor/app/QuireDoc.h"
#include "editor/app/Questions.h"
#include "editor/app/SingleInstance.h"
#include "editor/view/Keywords.h"

namespace {

struct SGeneralKey {
  const char* key;
  int fallback;
};
// The keys of "General" with their defaults.
constexpr SGeneralKey kGeneralKeys[] = {
    {"AutoCompleteEnabled", 1}, {"CalltipsEnabled", 1}, {"ShowAllCharacters", 0},
    {"SmarIndent", 1},          {"Comment", 0},         {"UseSpaces", 1},
    {"TabSize", 4},             {"ReopenFiles", 1},     {"CellMode", 1},
};

int General(const char* key) {
  for (const SGeneralKey& k : kGeneralKeys)
    if (qstrcmp(k.key, key) == 0) return CQuireApp::ProfileInt(QStringLiteral("General"), QString::fromLatin1(key), k.fallback);
  return 0;
}

std::vector<std::string> ReadHistory(const QString& countKey, const QString& entryKey) {
  QSettings store;
  store.beginGroup(QStringLiteral("EDIT"));
  // The first (oldest) hundred entries at the most.
  const int count = std::min(store.value(countKey, 0).toInt(), 100);
  std::vector<std::string> entries;
  for (int i = 0; i < count; ++i) entries.push_back(store.value(entryKey.arg(i)).toString().toStdString());
  return quire::CleanHistory(entries);
}

void WriteHistory(const QString& countKey, const QString& entryKey, const std::vector<std::string>& entries) {
  QSettings store;
  store.beginGroup(QStringLiteral("EDIT"));
  // Entries of a longer earlier history must not come back.
  const int before = store.value(countKey, 0).toInt();
  for (int i = static_cast<int>(entries.size()); i < before; ++i) store.remove(entryKey.arg(i));
  store.setValue(countKey, static_cast<int>(entries.size()));
  for (size_t i = 0; i < entries.size(); ++i)
    store.setValue(entryKey.arg(i), QString::fromStdString(entries[i]));
}

}  // namespace

CQuireApp::CQuireApp(IQuestions* questions)
    : m_questions(questions ? questions : &m_desktopQuestions) {}

CQuireApp::~CQuireApp() {
  // The frame's views use the keyword list and the state; it goes first.
  m_frame.reset();
}

int CQuireApp::ProfileInt(const QString& section, const QString& key, int fallback) {
  bool ok = false;
  const int value = QSettings().value(section + QLatin1Char('/') + key).toInt(&ok);
  return ok ? value : fallback;
}

void CQuireApp::WriteProfileInt(const QString& section, const QString& key, int value) {
  QSettings().setValue(section + QLatin1Char('/') + key, value);
}

CQuireApp::Start CQuireApp::InitInstance(const QStringList& files, const QuireOptions& options) {
  QStringList absolute;
  for (const QString& file : files) absolute << QFileInfo(file).absoluteFilePath();

  if (options.singleInstance) {
    m_instance = std::make_unique<CSingleInstance>();
    if (m_instance->ClaimOrHandOver(absolute) == CSingleInstance::Claim::HandedOver)
      return Start::HandedOver;
  }

  ReadHistories();
  WriteDefaultsWhereMissing();
  ReloadPreferences();

  const std::string dataDir = DefaultDataDir("Quire");
  m_userFile.SetPath(dataDir.empty() ? std::string() : dataDir + "userfiles.dat");
  LoadKeywords();

  m_frame = std::make_unique<CMainFrame>(*this);
  if (!m_frame->Create()) return Start::Failed;
  if (m_instance) {
    QObject::connect(m_instance.get(), &CSingleInstance::openRequested, m_frame.get(),
                     &CMainFrame::OnHandOver);
  }

  CQuireDoc* first = nullptr;
  for (const QString& file : absolute) {
    CQuireDoc* doc = m_frame->OpenArgument(file);
    if (!first) first = doc;
  }
  if (options.show) m_frame->show();

  if (m_prefs.reopenFiles) {
    std::vector<std::string> listed;
    m_userFile.GetArray("OpenFiles", listed, quire::kOpenFilesSeparator);
    std::vector<std::string> open;
    for (CQuireDoc* doc : m_frame->Documents()) open.push_back(doc->Path());
    const auto exists = [](const std::string& path) { return QFileInfo(QString::fromStdString(path)).isFile(); };
    for (const std::string& path : quire::FilesToReopen(listed, open, exists))
      m_frame->OpenDocument(path, false);
  }
  if (first) m_frame->Activate(first);
  // The console answers with its list of names; no question when it is not
  // running. Asked once the frame can receive the answer.
  SendToConsole(quire_link::kCompletionRequest, false, false);
  return Start::Running;
}

void CQuireApp::ExitInstance() {
  WriteHistory(QStringLiteral("FINDSTRINGCOUNT"), QStringLiteral("FINDSTRING%1"), m_findHistory);
  WriteHistory(QStringLiteral("REPLACESTRINGCOUNT"), QStringLiteral("REPLACESTRING%1"), m_replaceHistory);
  m_findHistory.clear();
  m_replaceHistory.clear();
}

void CQuireApp::ReloadPreferences() {
  m_prefs.autoComplete = General("AutoCompleteEnabled") != 0;
  m_prefs.callTips = General("CalltipsEnabled") != 0;
  m_prefs.view.showAllCharacters = General("ShowAllCharacters") != 0;
  m_prefs.view.smartIndent = General("SmarIndent") != 0;
  m_prefs.view.comment = General("Comment");
  m_prefs.view.useSpaces = General("UseSpaces") != 0;
  // The indentation operations divide by the tab size.
  m_prefs.view.tabSize = std::max(1, General("TabSize"));
  m_prefs.reopenFiles = General("ReopenFiles") != 0;
  m_prefs.cellMode = General("CellMode") != 0;
}

bool CQuireApp::SendToConsole(std::string text, bool bringToFront, bool askToStart) {
  text += "\r\n";
  // Another program's window cannot be raised from here; no text Quire sends
  // asks for it.
  (void)bringToFront;
  if (calyx_link::TitleExists(quire_link::kConsoleTitle))
    return calyx_link::SendToTitle(quire_link::kConsoleTitle, text);
  if (askToStart &&
      m_questions->AskStartConsole(m_frame.get(), QString::fromLatin1(quire_link::kConsoleTitle) +
                                         QString::fromLatin1(quire_link::kNotRunningQuestion))) {
    const QString folder = QString::fromStdString(ProgramFolder());
    m_questions->StartProgram(QDir(folder).filePath(QStringLiteral("calyx")), folder + QLatin1Char('/'));
  }
  return false;
}

void CQuireApp::ReadHistories() {
  m_findHistory = ReadHistory(QStringLiteral("FINDSTRINGCOUNT"), QStringLiteral("FINDSTRING%1"));
  m_replaceHistory = ReadHistory(QStringLiteral("REPLACESTRINGCOUNT"), QStringLiteral("REPLACESTRING%1"));
}

void CQuireApp::WriteDefaultsWhereMissing() {
  // The console's options page edits these keys only once Quire has written them.
  QSettings store;
  store.beginGroup(QStringLiteral("General"));
  for (const SGeneralKey& k : kGeneralKeys) {
    const QString key = QString::fromLatin1(k.key);
    if (!store.contains(key)) store.setValue(key, k.fallback);
  }
}

void CQuireApp::LoadKeywords() {
  std::vector<std::string> loaded;
  m_userFile.GetArray("KeyWords", loaded, quire::kListSeparator, "System");
  m_keywords = KeywordsOrBuiltIn(loaded);
}
