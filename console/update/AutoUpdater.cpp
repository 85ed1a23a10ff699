#include "console/update/AutoUpdater.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include "console/update/DialogCheckUpdate.h"
#include "console/update/UpdateVersion.h"
#include "widgets/UserPrompts.h"

namespace {

// The manifest is a short text: anything longer is not one.
constexpr qint64 kMaxManifestBytes = 4096;

}  // namespace

UpdateSource BuiltInUpdateSource() {
  return {QStringLiteral(CALYX_UPDATE_MANIFEST_URL), QStringLiteral(CALYX_DOWNLOAD_PAGE_URL),
          QStringLiteral(CALYX_VERSION)};
}

CAutoUpdater::CAutoUpdater(UpdateSource source, IUserPrompts& prompts, QWidget* window)
    : QObject(window), m_source(std::move(source)), m_prompts(prompts), m_window(window) {}

CAutoUpdater::~CAutoUpdater() {
  if (m_reply) m_reply->abort();
}

void CAutoUpdater::CheckForUpdate(bool automatic) {
  if (!Configured()) {
    if (!automatic) {
      m_prompts.ShowInformation(m_window,
                                tr("This build of Calyx does not check for updates: the package "
                                   "manager that installed it keeps it up to date."));
    }
    return;
  }
  if (m_reply) {
    // One check at a time; the command's answer is given when it ends.
    m_automatic = m_automatic && automatic;
    return;
  }
  m_automatic = automatic;
  if (!m_network) m_network = new QNetworkAccessManager(this);
  QNetworkRequest request{QUrl(m_source.manifestUrl)};
  request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
  request.setTransferTimeout(m_source.timeoutMs);
  request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("AutoUpdateAgent"));
  m_reply = m_network->get(request);
  connect(m_reply, &QNetworkReply::finished, this, [this, reply = m_reply.data()] { Finished(reply); });
}

void CAutoUpdater::Finished(QNetworkReply* reply) {
  reply->deleteLater();
  m_reply = nullptr;
  UpdateOutcome outcome;
  if (reply->error() == QNetworkReply::OperationCanceledError) {
    outcome.failure = tr("the server did not answer within %1 seconds.").arg(m_source.timeoutMs / 1000.0);
  } else if (reply->error() != QNetworkReply::NoError) {
    outcome.failure = reply->errorString();
  } else {
    outcome.published =
        QString::fromStdString(update_version::Trim(reply->read(kMaxManifestBytes).toStdString()));
    if (outcome.published.isEmpty()) {
      outcome.failure = tr("the server sent no version.");
    } else if (!update_version::Compare(outcome.published.toStdString(), "0")) {
      outcome.failure = tr("the server sent no version number.");
    } else {
      outcome.checked = true;
      outcome.newer = update_version::IsNewer(outcome.published.toStdString(),
                                              m_source.localVersion.toStdString());
    }
  }
  emit Checked(outcome);
  Present(outcome);
}

void CAutoUpdater::Present(const UpdateOutcome& outcome) {
  if (!outcome.checked) {
    if (!m_automatic) {
      m_prompts.ShowInformation(m_window,
                                tr("Calyx could not check for updates: %1").arg(outcome.failure));
    }
    return;
  }
  if (m_automatic && !outcome.newer) return;
  if (m_dialog) m_dialog->close();
  m_dialog = new CDialogCheckUpdate(m_source.localVersion, outcome.published, outcome.newer,
                                    m_source.downloadPage, m_window);
  m_dialog->setAttribute(Qt::WA_DeleteOnClose);
  // Modal for the window, without a nested event loop.
  m_dialog->open();
}
