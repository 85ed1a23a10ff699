// The manual's page view: Qt's HTML browser whose pages are built on a worker
// thread (CPageLoader) and shown when ready, so that a large page never stalls
// the window. It keeps its own Back/Forward history (the base browser's only
// knows the pages it loads itself), follows the manual's redirection files to
// the page and anchor they name, and hands links to other sites to the
// desktop's browser.
#pragma once

#include <QTextBrowser>
#include <QUrl>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class CPageLoader;

class CManualBrowser : public QTextBrowser {
  Q_OBJECT

 public:
  explicit CManualBrowser(QWidget* parent = nullptr);
  ~CManualBrowser() override;

  // Where a redirection file leads (the URL itself when it is none).
  static QUrl Resolved(const QUrl& url);

  // The page on screen, with the anchor it was opened at; empty before the
  // first page and while a text of our own is shown.
  QUrl Page() const { return m_shown.url; }
  // A page is being built.
  bool Loading() const { return m_loading.has_value(); }
  bool CanGoBack() const { return !m_back.empty(); }
  bool CanGoForward() const { return !m_forward.empty(); }

  // Shows a text of our own instead of a page (no history entry); a page
  // still being built is dropped.
  void ShowHtml(const QString& html);
  // Drops the page being built; the page on screen stays.
  void StopLoading();

 public slots:
  void backward() override;
  void forward() override;
  // Reads the page on screen again, keeping its scroll position.
  void reload() override;

 signals:
  // A navigation ended: `page` is on screen, at its anchor or its former
  // scroll position.
  void PageShown(const QUrl& page);
  void LoadingChanged(bool loading);

 protected:
  // Every new navigation passes here: requests and followed links.
  void doSetSource(const QUrl& url, QTextDocument::ResourceType type) override;

 private:
  // A page in the history: its address and where it was scrolled to (none:
  // at its anchor).
  struct Visit {
    QUrl url;
    std::optional<int> scroll;
  };
  enum class Move { kNew, kBack, kForward, kReload };
  struct Pending {
    std::uint64_t load = 0;
    Visit visit;
    Move move = Move::kNew;
  };

  void Go(Visit visit, Move move);
  void OnLoaded(std::uint64_t load, std::unique_ptr<QTextDocument> page);
  // Updates the history for `move` to `visit`, while the page it leaves is
  // still on screen.
  void Record(Move move, Visit& visit);
  void Install(std::unique_ptr<QTextDocument> page);
  void Arrive(const Visit& visit);
  void ScrollTo(const Visit& visit);

  Visit m_shown;
  std::vector<Visit> m_back;
  std::vector<Visit> m_forward;
  std::optional<Pending> m_loading;
  // A scroll position beyond the part of the page laid out so far.
  std::optional<int> m_wantedScroll;
  // Last member: its worker ends before the rest of the browser goes.
  std::unique_ptr<CPageLoader> m_loader;
};
