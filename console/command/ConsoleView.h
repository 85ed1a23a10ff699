// The command window: the interpreter's output is appended here and the user
// types commands after the last prompt.
#pragma once

#include <QPlainTextEdit>

#include <string>

#include "console/session/SessionViews.h"

class AutoComplete;
class CHistoryStore;
class CSessionCore;
class CSessionWorker;

class CCalyxView : public QPlainTextEdit, public IConsole {
  Q_OBJECT

 public:
  explicit CCalyxView(QWidget* parent = nullptr);
  ~CCalyxView() override;

  // The session this console types into, its history and its settings.
  void Attach(CSessionCore* core, CSessionWorker* worker, CHistoryStore* history,
              ISettings* settings, ISessionHost* host, AutoComplete* completion);

  // IConsole: any thread; carried to the GUI thread.
  std::string Tail(size_t count) override;
  std::string Text() override;
  void AppendOutput(const std::string& chunk, const std::vector<ConsoleMark>& marks,
                    int maxLines) override;
  void ReplaceInput(const std::string& text) override;
  void ResetTo(const std::string& prompt) override;
  void ReplaceInConsole(const std::string& find, const std::string& replacement) override;
  void SetReadOnly(bool readOnly) override;
  void MoveCaretToEnd() override;

  int InputStart() const { return m_inputStart; }
  // A new session starts unarmed: the first Ctrl+C only warns.
  void ResetInterrupt() { m_bInterruptArmed = false; }
  // Clears the console (asking first when "ConfirmClearWindow" is set).
  void ClearWindow();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;

 private:
  // Each key handler returns true when it swallowed the key.
  bool HandleKey(QKeyEvent* event);
  bool OnEnter();
  bool OnTab();
  bool OnInterruptKey();
  void Recall(bool backward);
  bool BeforeInput() const;
  void ToEnd();
  void ReplaceInputText(const QString& text);
  QString InputText() const;
  void FollowLink(const QString& link);
  QTextCharFormat BaseFormat() const;
  std::string CurrentPrompt() const;

  CSessionCore* m_core = nullptr;
  CSessionWorker* m_worker = nullptr;
  CHistoryStore* m_history = nullptr;
  ISettings* m_settings = nullptr;
  ISessionHost* m_host = nullptr;
  AutoComplete* m_completion = nullptr;
  int m_inputStart = 0;  // where the user's input begins
  bool m_bInterruptArmed = false;
};
