// The Documentation pane: a navigation toolbar, the topic list on the left and
// the manual's page on the right. A help request opens the page that describes
// a word and lists every page that mentions it; the list is filled by a search
// on a worker thread, so the window stays responsive.
#pragma once

#include <QWidget>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class CManualBrowser;
class CTopicSearch;
class QAction;
class QToolBar;
class QTreeWidget;

namespace docs_id {
inline constexpr int kBack = 1030;
inline constexpr int kForward = 1031;
inline constexpr int kStop = 1032;
inline constexpr int kRefresh = 1033;
inline constexpr int kHome = 1034;
}  // namespace docs_id

class CDocumentationView : public QWidget {
  Q_OBJECT

 public:
  // The folders that may hold the manual, in order; read at every request, so
  // that a changed setting counts at once.
  using FolderCandidates = std::function<std::vector<std::string>()>;

  explicit CDocumentationView(FolderCandidates candidates, QWidget* parent = nullptr);
  ~CDocumentationView() override;

  // Opens the page that describes `term` (the start page for an empty term) and
  // starts listing the pages that mention it; a search still running is dropped.
  void ShowHelpTopic(const QString& term);
  // Opens the topic selected in the list.
  void OpenSelectedTopic();

  void Back();
  void Forward();
  // Stops the topic search and the page being read.
  void Stop();
  void Refresh();
  void Home();

  CManualBrowser* Browser() const { return m_browser; }
  QTreeWidget* Topics() const { return m_topics; }
  QAction* Action(int id) const;
  // The manual folder of the last request; empty when none was found.
  QString ManualFolder() const { return m_folder; }
  bool Searching() const { return m_searching; }

 signals:
  // The topic list holds the pages of the latest request.
  void TopicsFilled();

 private:
  QToolBar* CreateToolBar();
  void OnTopicsFound(std::uint64_t search, const std::vector<std::string>& files);
  void UpdateActions();

  FolderCandidates m_candidates;
  CManualBrowser* m_browser = nullptr;
  QTreeWidget* m_topics = nullptr;
  std::map<int, QAction*> m_actions;
  QString m_folder;
  bool m_searching = false;
  std::uint64_t m_latestSearch = 0;
  // Last member: its worker ends before the rest of the pane goes.
  std::unique_ptr<CTopicSearch> m_search;
};
