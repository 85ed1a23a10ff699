// The command window: the interpreter's output is appended here and the user
// types commands after the last prompt.
#pragma once

#include <QPlainTextEdit>

#include <string>

#include "console/command/InputLineUndo.h"
#include "console/session/SessionViews.h"

class AutoComplete;
class CHistoryStore;
class IConsoleLinkOpener;
class IUserPrompts;
class CSessionCore;
class CSessionWorker;

class CCalyxView : public QPlainTextEdit, public IConsole {
  Q_OBJECT

 public:
  // `prompts` asks before Clear Command Window.
  explicit CCalyxView(IUserPrompts& prompts, QWidget* parent = nullptr);
  ~CCalyxView() override;

  // The session this console types into, its history and its settings.
  void Attach(CSessionCore* core, CSessionWorker* worker, CHistoryStore* history,
              ISettings* settings, ISessionHost* host, AutoComplete* completion);

  // IConsole: any thread; carried to the GUI thread.
  std::string Tail(size_t count) override;
  std::string Text() override;
  void AppendOutput(const std::string& chunk, const std::vector<ConsoleMark>& marks,
                    int maxLines) override;
  bool EchoCommand(const std::string& line) override;
  void ResetTo(const std::string& prompt) override;
  void ReplaceInConsole(const std::string& find, const std::string& replacement) override;
  void SetReadOnly(bool readOnly) override;
  void MoveCaretToEnd() override;

  // Where clicks on web addresses and on the interpreter's file positions go.
  void SetLinkOpener(IConsoleLinkOpener* opener) { m_linkOpener = opener; }

  int InputStart() const { return m_inputStart; }
  // Where the lines typed ahead of the interpreter begin (the end of its output).
  int TypedStart() const { return m_typedStart; }
  // A new session starts unarmed: the first Ctrl+C only warns.
  void ResetInterrupt() { m_bInterruptArmed = false; }
  // Clears the console (asking first when "ConfirmClearWindow" is set).
  void ClearWindow();
  // Undo and redo of what the user typed on the input line.
  void UndoInput();
  void RedoInput();
  bool CanUndoInput() const { return m_undo.CanUndo(); }
  bool CanRedoInput() const { return m_undo.CanRedo(); }

 signals:
  // A key that would have typed was refused: the console takes no input now.
  void InputRefused();

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;
  // Copies and drags take a line shown cut whole.
  QMimeData* createMimeDataFromSelection() const override;

 private:
  class ProgramChange;
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
  // The target of the link under a point of the viewport; empty when none.
  QString LinkAt(const QPoint& point) const;
  // Inserts interpreter output before the lines typed ahead; returns where.
  int InsertOutput(const QString& text);
  // The middle of a long line, left out before the line reached the window:
  // its UTF-8 bytes, how many characters they are, and where in the shown
  // text it belongs.
  struct HiddenPart {
    int position;
    std::string utf8;
    qsizetype characters;
  };
  // One piece of shown output, placed in one call on the window's thread.
  void AppendPiece(const QString& text, const std::vector<ConsoleMark>& marks, std::vector<HiddenPart> hidden,
                   int maxLines);
  // Shows the output lines between two positions that grew too long cut,
  // with the parts of them left out before (positions in order).
  void CutLongLines(int from, int to, std::vector<HiddenPart> hidden);
  // The tail of the interpreter's side: the text before the lines typed ahead.
  QString OutputTail(int count) const;
  // Keys of a read-only console: its own keys work, typing is refused.
  void ReadOnlyKey(QKeyEvent* event);
  // The user changed the document (output and echoes are not the user's).
  void OnContentsChange(int position, int removed, int added);
  void ShowUndoStep(const std::optional<QString>& line);
  QTextCharFormat BaseFormat() const;
  std::string CurrentPrompt() const;

  CSessionCore* m_core = nullptr;
  CSessionWorker* m_worker = nullptr;
  CHistoryStore* m_history = nullptr;
  ISettings* m_settings = nullptr;
  IUserPrompts& m_prompts;
  ISessionHost* m_host = nullptr;
  AutoComplete* m_completion = nullptr;
  IConsoleLinkOpener* m_linkOpener = nullptr;
  // invariant: m_typedStart <= m_inputStart <= the text's length. The lines
  // between them are typed ahead and queued, each ending with a line end.
  int m_typedStart = 0;
  int m_inputStart = 0;  // where the user's input begins
  bool m_bInterruptArmed = false;
  int m_programChanges = 0;  // > 0 while output or echoes change the text
  bool m_bRecalling = false;
  // The prefix of the current history recall; empty optional when the next
  // Up or Down starts a new one.
  std::optional<QString> m_recallPrefix;
  int m_typingEnd = -1;  // where the last typed character ended, from the input start
  QString m_lastInput;   // the input line after the last change
  CInputLineUndo m_undo;
};
