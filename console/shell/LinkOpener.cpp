#include "console/shell/LinkOpener.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

#include "common/UserDirs.h"
#include "console/session/ConsoleLinks.h"
#include "console/session/SessionCore.h"
#include "console/session/StartupCommands.h"

CLinkOpener::CLinkOpener(CSessionCore& core, ISessionHost& host,
                         std::function<void(const QString&)> report, QObject* parent,
                         std::string editorProgram)
    : QObject(parent),
      m_core(core),
      m_host(host),
      m_report(std::move(report)),
      m_editorProgram(editorProgram.empty() ? EditorProgram(ProgramFolder()) : std::move(editorProgram)) {}

void CLinkOpener::OpenWebAddress(const std::string& address) {
  if (!QDesktopServices::openUrl(QUrl(QString::fromStdString(address))))
    m_report(tr("No web browser opened %1").arg(QString::fromStdString(address)));
}

void CLinkOpener::OpenFileAt(const std::string& path, long line) {
  if (m_host.SendToEditor(console_links::FilePositionTarget(path, line), true)) return;
  // No editor runs: one is started on the file, as "quire FILE:LINE".
  const QString editor = QString::fromStdString(m_editorProgram);
  const QString place = QString::fromStdString(path) + QLatin1Char(':') + QString::number(line);
  if (!QProcess::startDetached(editor, {place}))
    m_report(tr("Quire could not be started to show %1").arg(place));
}

void CLinkOpener::OpenFunctionAt(const std::string& name, long line) {
  m_report(tr("Looking for the file of %1").arg(QString::fromStdString(name)));
  m_core.EnqueueQuestion(console_links::FunctionFileQuery(name), [this, name, line](const std::string& answer) {
    const std::optional<std::string> file = console_links::FunctionFileOfAnswer(answer);
    // The answer comes on the dispatcher's thread; the editor is reached from this one.
    QMetaObject::invokeMethod(this, [this, file, name, line] {
      if (file) {
        m_report({});
        OpenFileAt(*file, line);
      } else {
        m_report(tr("Octave knows no file for %1").arg(QString::fromStdString(name)));
      }
    }, Qt::QueuedConnection);
  });
}
