#include "console/docs/ManualBrowser.h"

#include <QDesktopServices>

#include "console/docs/ManualFolder.h"
#include "console/docs/ManualNames.h"

CManualBrowser::CManualBrowser(QWidget* parent) : QTextBrowser(parent) {
  setAccessibleName(tr("Manual page"));
  setOpenLinks(true);
  setOpenExternalLinks(true);
}

QUrl CManualBrowser::Resolved(const QUrl& url) {
  if (!url.isLocalFile() || !manual::IsRedirectName(url.fileName().toStdString())) return url;
  const std::string target = manual::ReadRedirect(url.toLocalFile().toStdString());
  if (target.empty()) return url;
  return url.resolved(QUrl(QString::fromStdString(target)));
}

void CManualBrowser::doSetSource(const QUrl& requested, QTextDocument::ResourceType type) {
  // A link's name is relative to the page that holds it.
  const QUrl url = requested.isRelative() && !source().isEmpty() ? source().resolved(requested) : requested;
  if (!url.isLocalFile() && !url.scheme().isEmpty() && url.scheme() != QLatin1String("qrc")) {
    QDesktopServices::openUrl(url);
    return;
  }
  QTextBrowser::doSetSource(Resolved(url), type);
}
