#include "editor/app/SingleInstance.h"

#include <QLocalSocket>
#include <QLockFile>
#include <QSharedPointer>

#include <sys/socket.h>
#include <unistd.h>

#include "common/UserDirs.h"

namespace {

constexpr int kConnectMs = 1000;
constexpr int kAnswerMs = 5000;
const QByteArray kAck = QByteArrayLiteral("ok\n");

// The request is the files, one a line, closed by an empty line.
bool RequestComplete(const QByteArray& data) { return data == "\n" || data.endsWith("\n\n"); }

QString DisplayName() {
  QString display = qEnvironmentVariable("DISPLAY");
  if (display.isEmpty()) display = qEnvironmentVariable("WAYLAND_DISPLAY");
  if (display.isEmpty()) display = QStringLiteral("none");
  display.replace(QLatin1Char('/'), QLatin1Char('_'));
  return display;
}

bool PeerIsUs(const QLocalSocket* socket) {
#ifdef SO_PEERCRED
  ucred peer{};
  socklen_t size = sizeof peer;
  if (::getsockopt(static_cast<int>(socket->socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer,
                   &size) != 0)
    return false;
  return peer.uid == ::geteuid();
#else
  (void)socket;
  return true;  // the folder's 0700 keeps others out
#endif
}

enum class Sent { Accepted, NoServer, NoAnswer };

Sent SendFiles(const QString& path, const QStringList& files) {
  QLocalSocket socket;
  socket.connectToServer(path);
  if (!socket.waitForConnected(kConnectMs)) return Sent::NoServer;
  QByteArray request;
  for (const QString& file : files) request += file.toUtf8() + '\n';
  request += '\n';
  socket.write(request);
  socket.flush();
  QByteArray answer;
  while (!answer.endsWith('\n') && socket.waitForReadyRead(kAnswerMs)) answer += socket.readAll();
  return answer == kAck ? Sent::Accepted : Sent::NoAnswer;
}

}  // namespace

CSingleInstance::CSingleInstance(QObject* parent) : QObject(parent) {
  connect(&m_server, &QLocalServer::newConnection, this, &CSingleInstance::OnConnection);
}

QString CSingleInstance::ServerPath() {
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  const std::string base = runtime.startsWith(QLatin1Char('/'))
                               ? runtime.toStdString() + "/marrowby-quire"
                               : "/tmp/marrowby-quire-" + std::to_string(::geteuid());
  const std::string folder = EnsurePrivateDir(base);
  if (folder.empty()) return {};
  return QString::fromStdString(folder) +
         QStringLiteral("quire-%1-%2").arg(::geteuid()).arg(DisplayName());
}

CSingleInstance::Claim CSingleInstance::ClaimOrHandOver(const QStringList& files) {
  const QString path = ServerPath();
  if (path.isEmpty()) return Claim::Alone;
  // Two starts at once must not both find no server and both listen.
  QLockFile lock(path + QStringLiteral(".lock"));
  lock.tryLock(kAnswerMs);
  switch (SendFiles(path, files)) {
    case Sent::Accepted:
      return Claim::HandedOver;
    case Sent::NoAnswer:
      return Claim::Alone;  // a running Quire that hangs keeps its socket
    case Sent::NoServer:
      break;
  }
  QLocalServer::removeServer(path);  // left behind by a Quire that crashed
  m_server.setSocketOptions(QLocalServer::UserAccessOption);
  return m_server.listen(path) ? Claim::First : Claim::Alone;
}

void CSingleInstance::OnConnection() {
  while (QLocalSocket* socket = m_server.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    if (!PeerIsUs(socket)) {
      socket->abort();
      continue;
    }
    struct SRequest {
      QByteArray data;
      bool done = false;
    };
    auto request = QSharedPointer<SRequest>::create();
    auto readRequest = [this, socket, request] {
      if (request->done) return;
      request->data += socket->readAll();
      if (request->data.size() > 1 << 20) {  // no file list is this long
        socket->abort();
        return;
      }
      if (!RequestComplete(request->data)) return;
      request->done = true;
      QStringList files;
      for (const QByteArray& line : request->data.split('\n'))
        if (!line.isEmpty()) files << QString::fromUtf8(line);
      socket->write(kAck);
      socket->flush();
      socket->disconnectFromServer();
      emit openRequested(files);
    };
    connect(socket, &QLocalSocket::readyRead, this, readRequest);
    // What came with the connection is not announced again.
    if (socket->bytesAvailable() > 0) readRequest();
  }
}
