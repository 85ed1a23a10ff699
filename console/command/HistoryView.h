// The Command History pane: a tool bar over a tree of headings and commands that
// mirrors a CHistoryStore through a CHistoryModel.
#pragma once

#include <QWidget>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "console/command/HistoryStore.h"

class QAction;
class QMenu;
class QToolBar;
class QModelIndex;
class QTreeView;
class CHistoryModel;
class ISettings;
class IUserPrompts;

class CHistoryView : public QWidget, public IHistoryView {
  Q_OBJECT

 public:
  // Registers itself as the store's view (the store must outlive it) and shows
  // what the store already holds.
  // `enqueueVisible` queues a command with echo; `isConnected` says whether an
  // interpreter is there to run it; `prompts` asks before clearing.
  CHistoryView(CHistoryStore& store, ISettings& settings, IUserPrompts& prompts,
               std::function<void(const std::string&)> enqueueVisible,
               std::function<bool()> isConnected, QWidget* parent = nullptr);
  ~CHistoryView() override;

  // IHistoryView: may come from any thread with the store locked, so these only
  // note what changed and post one update to the GUI thread.
  void HistoryEntryAdded(size_t index, const std::string& text, bool isHeading,
                         bool ensureVisible) override;
  void HistoryReset(const std::vector<std::string>& entries) override;

  // Enables Evaluate while connected with a command selected; call when the
  // connection changes.
  void UpdateActions();

  void EvaluateSelected();
  void CopySelected();
  void DeleteSelected();
  void ConfirmAndClear();

  QTreeView* Tree() const { return m_tree; }
  QToolBar* ToolBar() const { return m_toolBar; }
  QMenu* ContextMenu() const { return m_contextMenu; }
  QAction* EvaluateAction() const { return m_evaluate; }
  QAction* CopyAction() const { return m_copy; }
  QAction* DeleteAction() const { return m_delete; }
  QAction* ClearAction() const { return m_clear; }

 private:
  void ScheduleSync();
  // Brings the tree up to date with the store; GUI thread only.
  void Sync();
  void Rebuild(CTextList lines);
  void Append(const CTextList& lines);
  void AppendToOpenSession(const QModelIndex& session, const CTextList& commands);
  void ShowContextMenu(const QPoint& pos);
  QModelIndex SelectedIndex() const;
  QString SelectedText() const;

  CHistoryStore& m_store;
  ISettings& m_settings;
  IUserPrompts& m_prompts;
  std::function<void(const std::string&)> m_enqueueVisible;
  std::function<bool()> m_isConnected;

  QToolBar* m_toolBar = nullptr;
  CHistoryModel* m_model = nullptr;
  QTreeView* m_tree = nullptr;
  QMenu* m_contextMenu = nullptr;
  QAction* m_evaluate = nullptr;
  QAction* m_copy = nullptr;
  QAction* m_delete = nullptr;
  QAction* m_clear = nullptr;

  uint64_t m_generation = 0;  // the store's generation the model shows

  // Written by the store's callbacks, read by Sync.
  std::atomic<bool> m_syncPosted {false};
  std::atomic<long long> m_ensureVisibleIndex {-1};
};
