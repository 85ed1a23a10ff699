// The console's links as the desktop opens them: web addresses in the desktop's
// browser, file positions in Quire (started with the file when it is not
// running), functions once the interpreter has said which file defines them.
#pragma once

#include <QObject>

#include <functional>
#include <string>

#include "console/command/LinkOpener.h"

class CSessionCore;
class ISessionHost;

class CLinkOpener : public QObject, public IConsoleLinkOpener {
  Q_OBJECT

 public:
  // `report` shows a short message where the user looks (the status bar).
  // `editorProgram` is what starts the editor: Quire beside this program unless given.
  CLinkOpener(CSessionCore& core, ISessionHost& host, std::function<void(const QString&)> report,
              QObject* parent = nullptr, std::string editorProgram = {});

  void OpenWebAddress(const std::string& address) override;
  void OpenFileAt(const std::string& path, long line) override;
  void OpenFunctionAt(const std::string& name, long line) override;

 private:
  CSessionCore& m_core;
  ISessionHost& m_host;
  std::function<void(const QString&)> m_report;
  const std::string m_editorProgram;
};
