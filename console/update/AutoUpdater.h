// The update check: fetches the published version text without blocking the
// window and tells the user what it found.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "console/update/DialogCheckUpdate.h"

class IUserPrompts;
class QNetworkAccessManager;
class QNetworkReply;
class QWidget;

// Where the published version is read and where a newer one is downloaded.
struct UpdateSource {
  QString manifestUrl;   // empty: this build does not check
  QString downloadPage;
  QString localVersion;
  int timeoutMs = 15000;
};

// The addresses this build was configured with, and its own version.
UpdateSource BuiltInUpdateSource();

struct UpdateOutcome {
  bool checked = false;  // false: the check could not be made (see `failure`)
  QString failure;
  QString published;     // trimmed
  bool newer = false;
};

class CAutoUpdater : public QObject {
  Q_OBJECT

 public:
  // `prompts` tells what the command's check found when there is no dialog to show.
  CAutoUpdater(UpdateSource source, IUserPrompts& prompts, QWidget* window);
  ~CAutoUpdater() override;

  bool Configured() const { return !m_source.manifestUrl.isEmpty(); }

  // The check. Automatic: says nothing on any failure and shows the dialog only
  // for a newer version. Otherwise (the command) it always says what it found.
  void CheckForUpdate(bool automatic);

  // The dialog last shown, while it is open.
  CDialogCheckUpdate* Dialog() const { return m_dialog; }

 signals:
  // After every check, before the user is told.
  void Checked(const UpdateOutcome& outcome);

 private:
  void Finished(QNetworkReply* reply);
  void Present(const UpdateOutcome& outcome);

  UpdateSource m_source;
  IUserPrompts& m_prompts;
  QWidget* m_window;
  QNetworkAccessManager* m_network = nullptr;
  QPointer<QNetworkReply> m_reply;
  bool m_automatic = true;
  QPointer<CDialogCheckUpdate> m_dialog;
};
Q_DECLARE_METATYPE(UpdateOutcome)
