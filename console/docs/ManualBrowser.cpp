#include "console/docs/ManualBrowser.h"

#include <QAccessible>
#include <QDesktopServices>
#include <QScrollBar>

#include <algorithm>

#include "console/docs/ManualFolder.h"
#include "console/docs/ManualNames.h"
#include "console/docs/PageLoader.h"

namespace {

bool SameFile(const QUrl& a, const QUrl& b) {
  return a.adjusted(QUrl::RemoveFragment) == b.adjusted(QUrl::RemoveFragment);
}

}  // namespace

CManualBrowser::CManualBrowser(QWidget* parent) : QTextBrowser(parent) {
  setAccessibleName(tr("Manual page"));
  setOpenLinks(true);
  setOpenExternalLinks(true);
  m_loader = std::make_unique<CPageLoader>([this](std::uint64_t load, std::unique_ptr<QTextDocument> page) {
    OnLoaded(load, std::move(page));
  });
  // A former scroll position is reached once the page is laid out that far.
  connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, [this](int, int maximum) {
    if (!m_wantedScroll) return;
    verticalScrollBar()->setValue(std::min(*m_wantedScroll, maximum));
    if (maximum >= *m_wantedScroll) m_wantedScroll.reset();
  });
}

CManualBrowser::~CManualBrowser() = default;

QUrl CManualBrowser::Resolved(const QUrl& url) {
  if (!url.isLocalFile() || !manual::IsRedirectName(url.fileName().toStdString())) return url;
  const std::string target = manual::ReadRedirect(url.toLocalFile().toStdString());
  if (target.empty()) return url;
  return url.resolved(QUrl(QString::fromStdString(target)));
}

void CManualBrowser::doSetSource(const QUrl& requested, QTextDocument::ResourceType) {
  // A link's name is relative to the page that holds it.
  const QUrl url = requested.isRelative() && !m_shown.url.isEmpty() ? m_shown.url.resolved(requested) : requested;
  if (!url.isLocalFile() && !url.scheme().isEmpty()) {
    QDesktopServices::openUrl(url);
    return;
  }
  Go({Resolved(url), std::nullopt}, Move::kNew);
}

void CManualBrowser::backward() {
  if (!m_back.empty()) Go(m_back.back(), Move::kBack);
}

void CManualBrowser::forward() {
  if (!m_forward.empty()) Go(m_forward.back(), Move::kForward);
}

void CManualBrowser::reload() {
  if (!m_shown.url.isEmpty()) Go(m_shown, Move::kReload);
}

void CManualBrowser::Go(Visit visit, Move move) {
  StopLoading();
  m_wantedScroll.reset();
  // Another place in the page on screen: it is there already.
  if (move != Move::kReload && !m_shown.url.isEmpty() && SameFile(visit.url, m_shown.url)) {
    Record(move, visit);
    Arrive(visit);
    return;
  }
  const std::uint64_t load = m_loader->Load(visit.url.adjusted(QUrl::RemoveFragment), font());
  m_loading = Pending{load, std::move(visit), move};
  emit LoadingChanged(true);
}

void CManualBrowser::OnLoaded(std::uint64_t load, std::unique_ptr<QTextDocument> page) {
  if (!m_loading || m_loading->load != load) return;
  Pending arrived = std::move(*m_loading);
  m_loading.reset();
  Record(arrived.move, arrived.visit);
  Install(std::move(page));
  Arrive(arrived.visit);
  emit LoadingChanged(false);
}

void CManualBrowser::Record(Move move, Visit& visit) {
  const Visit left{m_shown.url, verticalScrollBar()->value()};
  switch (move) {
    case Move::kNew:
      // The page on screen again is no new place to go back from.
      if (left.url.isEmpty() || left.url == visit.url) return;
      m_back.push_back(left);
      m_forward.clear();
      return;
    case Move::kBack:
      m_back.pop_back();
      if (!left.url.isEmpty()) m_forward.push_back(left);
      return;
    case Move::kForward:
      m_forward.pop_back();
      if (!left.url.isEmpty()) m_back.push_back(left);
      return;
    case Move::kReload:
      visit.scroll = left.scroll;
      return;
  }
}

void CManualBrowser::Install(std::unique_ptr<QTextDocument> page) {
  const QString before = QAccessible::isActive() ? toPlainText() : QString();
  // The browser's first document belongs to it and goes with setDocument;
  // the pages shown since are ours.
  QTextDocument* previous = document()->parent() == this ? document() : nullptr;
  page->setParent(this);
  setDocument(page.release());
  delete previous;
  if (QAccessible::isActive()) {
    QAccessibleTextUpdateEvent event(this, 0, before, toPlainText());
    QAccessible::updateAccessibility(&event);
  }
}

void CManualBrowser::Arrive(const Visit& visit) {
  m_shown = visit;
  ScrollTo(visit);
  emit historyChanged();
  emit PageShown(visit.url);
}

void CManualBrowser::ScrollTo(const Visit& visit) {
  horizontalScrollBar()->setValue(0);
  if (visit.scroll) {
    m_wantedScroll = visit.scroll;
    verticalScrollBar()->setValue(*visit.scroll);
    if (verticalScrollBar()->maximum() >= *visit.scroll) m_wantedScroll.reset();
  } else if (visit.url.hasFragment()) {
    scrollToAnchor(visit.url.fragment());
  } else {
    verticalScrollBar()->setValue(0);
  }
}

void CManualBrowser::ShowHtml(const QString& html) {
  StopLoading();
  m_wantedScroll.reset();
  auto page = std::make_unique<QTextDocument>();
  page->setDefaultFont(font());
  page->setHtml(html);
  Install(std::move(page));
  m_shown = {};
  emit historyChanged();
}

void CManualBrowser::StopLoading() {
  m_loader->Cancel();
  if (!m_loading) return;
  m_loading.reset();
  emit LoadingChanged(false);
}
