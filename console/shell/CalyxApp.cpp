#include "console/shell/CalyxApp.h"

#include <QApplication>
#include <QPainter>
#include <QSettings>
#include <QSplashScreen>
#include <QTimer>

#include <ctime>

#include "common/UserDirs.h"
#include "console/command/CompletionPopup.h"
#include "console/command/ConsoleView.h"
#include "console/pathpkg/OctavePackages.h"
#include "console/pathpkg/OctavePaths.h"
#include "console/session/SessionCore.h"
#include "console/session/SessionWorker.h"
#include "console/session/StartupCommands.h"
#include "console/shell/CommandIds.h"
#include "console/shell/Looks.h"
#include "console/shell/MainFrame.h"
#include "console/workspace/VariableEditView.h"
#include "console/workspace/VariableView.h"
#include "console/update/AutoUpdater.h"
#include "console/update/UpdateSchedule.h"

namespace {

constexpr int kSplashMs = 5000;

QPixmap SplashPicture() {
  QPixmap picture(420, 220);
  picture.fill(QColor(32, 74, 135));
  QPainter painter(&picture);
  painter.setPen(Qt::white);
  QFont title(QStringLiteral("Sans"), 36, QFont::Bold);
  painter.setFont(title);
  painter.drawText(QRect(0, 40, 420, 90), Qt::AlignCenter, QStringLiteral("Calyx"));
  painter.setFont(QFont(QStringLiteral("Sans"), 11));
  painter.drawText(QRect(0, 130, 420, 40), Qt::AlignCenter,
                   QObject::tr("A workbench for GNU Octave — version %1")
                       .arg(QApplication::applicationVersion()));
  return picture;
}

}  // namespace

CCalyxApp::CCalyxApp(IUserPrompts* prompts) : m_prompts(prompts ? *prompts : m_desktopPrompts) {}

CCalyxApp::~CCalyxApp() {
  // The window's shutdown ends the session's threads, which still use the window.
  if (m_frame) m_frame->ShutDown();
  m_worker.reset();
  m_core.reset();
  m_frame.reset();
}

bool CCalyxApp::InitInstance(const CalyxOptions& options) {
  m_dataDir = DefaultDataDir("Calyx");
  // The interpreter starts first and takes its time to come up while the window
  // is built; its output waits for the console.
  m_core = std::make_unique<CSessionCore>(SessionViews{}, m_dataDir, m_history);
#ifdef _WIN32
  m_core->Redirector().SetProgramName("octave.exe");
#else
  m_core->Redirector().SetProgramName("octave-cli");
#endif
  if (AutoStart()) m_core->Redirector().StartProcess(ConfiguredInterpreterCommandLine(m_settings));
  // The look goes on before the widgets exist: on a built window it would style
  // each of them again.
  QSettings state;
  const int look = state.value(QStringLiteral("ApplicationLook"), command_id::kDefaultLook).toInt();
  ApplyApplicationLook(look);
  m_frame = std::make_unique<CMainFrame>(m_settings, m_history, m_prompts);
  m_frame->OnApplicationLook(look);
  m_frame->restoreGeometry(state.value(QStringLiteral("Layout/geometry")).toByteArray());
  m_frame->restoreState(state.value(QStringLiteral("Layout/state")).toByteArray());

  SessionViews views;
  views.console = m_frame->Console();
  views.workspace = m_frame->Workspace();
  views.searchPath = &m_searchPath;
  views.packages = &m_packages;
  views.completion = m_frame->Completion();
  views.variableEditor = m_frame->VariableEditor();
  views.host = m_frame.get();
  views.settings = &m_settings;
  m_core->SetViews(views);
  m_worker = std::make_unique<CSessionWorker>(*m_core);
  m_frame->AttachSession(m_core.get(), m_worker.get());
  m_searchPath.Attach(m_frame->PathDialog()->List());
  m_packages.Attach(m_frame->PackageDialog()->List());
  if (!options.startFolder.empty()) m_settings.SetString("Octave", "workpath", options.startFolder);
  m_core->StartDispatcher();
  if (AutoStart()) {
    m_frame->Connect();
  } else {
    m_frame->ShowManualStartPage();
  }

  if (options.show) {
    m_frame->show();
    if (options.splash) {
      auto* splash = new QSplashScreen(SplashPicture());
      splash->show();
      QTimer::singleShot(kSplashMs, splash, [splash] {
        splash->close();
        splash->deleteLater();
      });
    }
  }
  RunUpdateSchedule();
  return true;
}

bool CCalyxApp::AutoStart() { return m_settings.GetInt("Octave", "AutoStart", 1) != 0; }

void CCalyxApp::RunUpdateSchedule() {
  CAutoUpdater* updater = m_frame->Updater();
  if (updater->Configured() && TakeDailyUpdateCheck(m_settings, std::time(nullptr))) {
    updater->CheckForUpdate(true);
  }
}
