// CMainFrame's end of the link with the console: the endpoint the console
// finds by this window's caption, what is sent to the console, and the
// dispatcher's answers about preferences and tips.
#include <chrono>
#include <future>

#include "editor/app/MainFrame.h"
#include "editor/app/Questions.h"
#include "editor/app/QuireApp.h"
#include "editor/app/QuireDoc.h"
#include "editor/view/ScintillaWnd.h"

void CMainFrame::PublishCaption(const std::string& caption) {
  if (m_endpoint.IsOpen()) {
    m_endpoint.SetTitle(caption);
    return;
  }
  auto closing = m_closing;
  m_endpoint.Open(caption, [this, closing](const std::string& text) {
    if (*closing) return;
    // The sender waits until the dispatcher has run on this window's thread.
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    QMetaObject::invokeMethod(
        this,
        [this, text, done] {
          OnCopyData(text);
          done->set_value();
        },
        Qt::QueuedConnection);
    while (finished.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready)
      if (*closing) return;
  });
}

bool CMainFrame::Send(const std::string& text, bool ask) { return m_app.SendToConsole(text, false, ask); }

void CMainFrame::OnCopyData(const std::string& text) {
  m_dispatcher.Dispatch(text);
  UpdateCommands();
}

void CMainFrame::ReloadPreferences() {
  m_app.ReloadPreferences();
  for (CQuireDoc* doc : Documents()) {
    doc->View()->ApplyTabSettings();
    doc->View()->SetShowAllCharacters(m_app.Preferences().view.showAllCharacters);
  }
}

bool CMainFrame::CallTipsEnabled() { return m_app.Preferences().callTips; }

void CMainFrame::ShowHtmlTip(const std::string& html) {
  const STipPoint at = m_app.LinkState().tipPoint;
  m_app.Questions().ShowHtmlTip(QPoint(at.x, at.y), QString::fromStdString(html), this);
}

void CMainFrame::ShowCallTip() {
  if (CQuireDoc* doc = ActiveDocument()) doc->View()->ShowCallTip(m_app.LinkState().callTipLines, 0, 0);
}
