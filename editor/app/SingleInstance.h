// One Quire per user and display: the first start listens on a local socket
// in a private folder; a later start hands its files to it and ends.
#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QStringList>

class CSingleInstance : public QObject {
  Q_OBJECT

 public:
  enum class Claim {
    First,       // this process serves; later starts reach it
    HandedOver,  // a running Quire took the files; this process should end
    Alone,       // no private folder or socket: runs without the rule
  };

  explicit CSingleInstance(QObject* parent = nullptr);

  // The socket path: "<private folder>/quire-<uid>-<display>".
  static QString ServerPath();

  // `files` are absolute paths; none asks the running Quire to come to the front.
  Claim ClaimOrHandOver(const QStringList& files);

 signals:
  // A later start asked to open these files; empty: come to the front.
  void openRequested(const QStringList& files);

 private:
  void OnConnection();

  QLocalServer m_server;
};
