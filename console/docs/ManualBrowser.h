// The manual's page view: Qt's HTML browser, with the manual's redirection
// files followed to the page and anchor they name, and links to other sites
// handed to the desktop's browser.
#pragma once

#include <QTextBrowser>

class CManualBrowser : public QTextBrowser {
  Q_OBJECT

 public:
  explicit CManualBrowser(QWidget* parent = nullptr);

  // Where a redirection file leads (the URL itself when it is none).
  static QUrl Resolved(const QUrl& url);

 protected:
  // Every new navigation passes here: requests and followed links.
  void doSetSource(const QUrl& url, QTextDocument::ResourceType type) override;
};
