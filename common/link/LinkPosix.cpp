// The link over Unix sockets. Layout of the private folder, per endpoint
// <id> ("<realtime ns>-<pid>-<seq>" in hex, so that names sort oldest first):
//   <id>.bind        the socket while it is being set up (never connected to)
//   <id>.sock        the listening socket
//   <id>.title       the current title; written as <id>.title.tmp and renamed
// A title file only exists while its socket listens, so finders read titles
// without disturbing the peer, the way a window caption is read.
#ifndef _WIN32

#include "common/link/Link.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <set>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "common/UserDirs.h"
#include "common/link/LinkFrame.h"

namespace calyx_link {

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kMaxTitle = 4096;
// A sender writes its whole frame at once; a client that dawdles longer than
// this is dropped so that it cannot hold the endpoint.
constexpr auto kFrameReadTimeout = std::chrono::milliseconds(2000);
// Whether anybody listens on a socket is known at once; this only bounds a
// listener whose backlog is full.
constexpr auto kProbeTimeout = std::chrono::milliseconds(200);
constexpr int kBacklog = 16;

constexpr std::string_view kBindSuffix = ".bind";
constexpr std::string_view kSocketSuffix = ".sock";
constexpr std::string_view kTitleSuffix = ".title";
constexpr std::string_view kTempSuffix = ".title.tmp";

class CFd {
 public:
  explicit CFd(int fd = -1) : m_fd(fd) {}
  ~CFd() { Reset(); }
  CFd(const CFd&) = delete;
  CFd& operator=(const CFd&) = delete;
  int Get() const { return m_fd; }
  int Release() {
    const int fd = m_fd;
    m_fd = -1;
    return fd;
  }
  void Reset(int fd = -1) {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = fd;
  }

 private:
  int m_fd;
};

int RemainingMs(Clock::time_point deadline) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return static_cast<int>(std::clamp<long long>(left, 0, 1 << 30));
}

// Waits for `events` on `fd`; false at the deadline, on an error, or as soon as
// `stopFd` becomes readable.
bool WaitFor(int fd, short events, Clock::time_point deadline, int stopFd) {
  for (;;) {
    pollfd fds[2] = {{fd, events, 0}, {stopFd, POLLIN, 0}};
    const int ready = ::poll(fds, stopFd >= 0 ? 2 : 1, RemainingMs(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0 || (stopFd >= 0 && fds[1].revents != 0)) return false;
    return (fds[0].revents & (events | POLLHUP | POLLERR)) != 0;
  }
}

bool ReadAll(int fd, char* data, size_t size, Clock::time_point deadline, int stopFd = -1) {
  while (size > 0) {
    if (!WaitFor(fd, POLLIN, deadline, stopFd)) return false;
    const ssize_t got = ::recv(fd, data, size, 0);
    if (got == 0) return false;
    if (got < 0) {
      if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
      return false;
    }
    data += got;
    size -= static_cast<size_t>(got);
  }
  return true;
}

bool WriteAll(int fd, std::string_view bytes, Clock::time_point deadline) {
  while (!bytes.empty()) {
    if (!WaitFor(fd, POLLOUT, deadline, -1)) return false;
    const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0) {
      if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

bool PeerIsSameUser(int fd) {
#ifdef SO_PEERCRED
  ucred cred {};
  socklen_t size = sizeof cred;
  return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &size) == 0 && size == sizeof cred &&
         cred.uid == ::geteuid();
#else
  uid_t uid = 0;
  gid_t gid = 0;
  return ::getpeereid(fd, &uid, &gid) == 0 && uid == ::geteuid();
#endif
}

bool FillAddress(const std::string& path, sockaddr_un& address) {
  address = {};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  path.copy(address.sun_path, path.size());
  return true;
}

enum class Reach { Connected, Gone, Failed };

// Gone: nobody listens there any more (a program that ended without closing).
Reach Connect(const std::string& path, Clock::time_point deadline, CFd& out) {
  sockaddr_un address;
  if (!FillAddress(path, address)) return Reach::Failed;
  CFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (fd.Get() < 0) return Reach::Failed;
  // A blocking connect waits while the listener's backlog is full; bound it.
  const int ms = std::max(1, RemainingMs(deadline));
  const timeval bound{ms / 1000, (ms % 1000) * 1000};
  ::setsockopt(fd.Get(), SOL_SOCKET, SO_SNDTIMEO, &bound, sizeof bound);
  if (::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    return errno == ECONNREFUSED || errno == ENOENT ? Reach::Gone : Reach::Failed;
  }
  ::fcntl(fd.Get(), F_SETFL, ::fcntl(fd.Get(), F_GETFL) | O_NONBLOCK);
  // The folder is private already; a socket of another user is still refused.
  if (!PeerIsSameUser(fd.Get())) return Reach::Failed;
  out.Reset(fd.Release());
  return Reach::Connected;
}

bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

bool Exists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return names;
  while (const dirent* entry = ::readdir(dir)) names.emplace_back(entry->d_name);
  ::closedir(dir);
  return names;
}

bool ReadTitle(const std::string& path, std::string& title) {
  CFd fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
  struct stat info {};
  if (fd.Get() < 0 || ::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  title.assign(kMaxTitle, '\0');
  size_t size = 0;
  while (size < kMaxTitle) {
    const ssize_t got = ::read(fd.Get(), title.data() + size, kMaxTitle - size);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) break;
    size += static_cast<size_t>(got);
  }
  title.resize(size);
  return true;
}

struct Entry {
  std::string id;
  std::string title;
};

// Every published endpoint, oldest first.
std::vector<Entry> ListEndpoints(const std::string& folder) {
  std::vector<Entry> entries;
  for (const std::string& name : FolderNames(folder)) {
    if (!EndsWith(name, kTitleSuffix)) continue;
    Entry entry{name.substr(0, name.size() - kTitleSuffix.size()), {}};
    if (entry.id.empty() || entry.id.find('.') != std::string::npos) continue;
    if (ReadTitle(folder + name, entry.title)) entries.push_back(std::move(entry));
  }
  std::sort(entries.begin(), entries.end(),
            [](const Entry& a, const Entry& b) { return a.id < b.id; });
  return entries;
}

std::string PathOf(const std::string& folder, const std::string& id, std::string_view suffix) {
  return folder + id + std::string(suffix);
}

void RemoveEndpointFiles(const std::string& folder, const std::string& id) {
  ::unlink(PathOf(folder, id, kTitleSuffix).c_str());
  ::unlink(PathOf(folder, id, kTempSuffix).c_str());
  ::unlink(PathOf(folder, id, kSocketSuffix).c_str());
}

// Removes what programs that ended without closing left behind. Each decision
// looks at the files afresh, not at the listing, which may be out of date.
void SweepStale(const std::string& folder) {
  std::set<std::string> ids;
  for (const std::string& name : FolderNames(folder)) {
    const size_t dot = name.find('.');
    if (dot != 0 && dot != std::string::npos) ids.insert(name.substr(0, dot));
  }
  for (const std::string& id : ids) {
    const std::string socketPath = PathOf(folder, id, kSocketSuffix);
    if (Exists(socketPath)) {
      CFd probe;
      if (Connect(socketPath, Clock::now() + kProbeTimeout, probe) == Reach::Gone) {
        RemoveEndpointFiles(folder, id);
      }
    } else if (!Exists(PathOf(folder, id, kBindSuffix))) {
      RemoveEndpointFiles(folder, id);  // a title without a socket
    }
  }
}

// The first live endpoint whose title satisfies `matches`, connected; stale
// ones met on the way are removed.
template <class Match>
Reach ConnectFirst(const std::string& folder, Match matches, Clock::time_point deadline,
                   CFd& out, Entry* found = nullptr) {
  for (Entry& entry : ListEndpoints(folder)) {
    if (!matches(entry.title)) continue;
    const Reach reach = Connect(PathOf(folder, entry.id, kSocketSuffix), deadline, out);
    if (reach == Reach::Gone) {
      RemoveEndpointFiles(folder, entry.id);
      continue;
    }
    if (found) *found = std::move(entry);
    return reach;
  }
  return Reach::Gone;
}

template <class Match>
bool SendToFirst(Match matches, const std::string& text, std::chrono::milliseconds timeout) {
  const std::string frame = EncodeFrame(text);
  const std::string folder = LinkFolder();
  if (frame.empty() || folder.empty()) return false;
  const Clock::time_point deadline = Clock::now() + timeout;
  CFd fd;
  if (ConnectFirst(folder, matches, deadline, fd) != Reach::Connected) return false;
  char ack[kAckSize];
  return WriteAll(fd.Get(), frame, deadline) && ReadAll(fd.Get(), ack, sizeof ack, deadline) &&
         IsAck(std::string_view(ack, sizeof ack));
}

template <class Match>
bool FindFirst(Match matches, Entry& found) {
  const std::string folder = LinkFolder();
  if (folder.empty()) return false;
  CFd fd;  // closed at once: the listener sees an empty connection and drops it
  return ConnectFirst(folder, matches, Clock::now() + kProbeTimeout, fd, &found) ==
         Reach::Connected;
}

std::string NewId() {
  static std::atomic<unsigned> sequence{0};
  timespec now {};
  ::clock_gettime(CLOCK_REALTIME, &now);
  const unsigned long long ns =
      static_cast<unsigned long long>(now.tv_sec) * 1000000000ull + static_cast<unsigned long long>(now.tv_nsec);
  char id[64];
  std::snprintf(id, sizeof id, "%016llx-%x-%x", ns, static_cast<unsigned>(::getpid()), sequence++);
  return id;
}

}  // namespace

std::string LinkFolder() {
  std::string base;
  if (const char* dir = std::getenv("MARROWBY_LINK_DIR"); dir && *dir == '/') {
    base = dir;
  } else if (const char* run = std::getenv("XDG_RUNTIME_DIR"); run && *run == '/') {
    base = std::string(run) + "/marrowby-link";
  } else {
    base = "/tmp/marrowby-link-" + std::to_string(::geteuid());
  }
  return EnsurePrivateDir(base);
}

struct CLinkEndpoint::Impl {
  std::string folder;
  std::string id;
  Handler handler;
  CFd listener;
  CFd stopRead;
  CFd stopWrite;
  std::mutex titleMutex;
  std::thread thread;

  bool WriteTitle(const std::string& title) {
    const std::string temp = PathOf(folder, id, kTempSuffix);
    CFd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (fd.Get() < 0) return false;
    std::string_view rest = std::string_view(title).substr(0, kMaxTitle);
    while (!rest.empty()) {
      const ssize_t written = ::write(fd.Get(), rest.data(), rest.size());
      if (written < 0 && errno == EINTR) continue;
      if (written <= 0) return false;
      rest.remove_prefix(static_cast<size_t>(written));
    }
    fd.Reset();
    // The rename replaces the old title at once: a finder reads one or the other.
    return ::rename(temp.c_str(), PathOf(folder, id, kTitleSuffix).c_str()) == 0;
  }

  void Run() {
    for (;;) {
      pollfd fds[2] = {{listener.Get(), POLLIN, 0}, {stopRead.Get(), POLLIN, 0}};
      if (::poll(fds, 2, -1) < 0) {
        if (errno == EINTR) continue;
        return;
      }
      if (fds[1].revents != 0) return;
      if (fds[0].revents & (POLLERR | POLLNVAL)) return;
      if (fds[0].revents & POLLIN) {
        CFd connection(::accept4(listener.Get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
        if (connection.Get() >= 0) Serve(connection.Get());
      }
    }
  }

  // One text per connection. Anything unexpected closes the connection without
  // calling the handler; the sender then learns that nothing was handed over.
  void Serve(int fd) {
    if (!PeerIsSameUser(fd)) return;
    const Clock::time_point deadline = Clock::now() + kFrameReadTimeout;
    char header[kHeaderSize];
    if (!ReadAll(fd, header, sizeof header, deadline, stopRead.Get())) return;
    const std::optional<uint32_t> cbData = ParseHeader(std::string_view(header, sizeof header));
    if (!cbData) return;
    std::string payload(*cbData, '\0');
    if (!ReadAll(fd, payload.data(), payload.size(), deadline, stopRead.Get())) return;
    try {
      handler(TextOfPayload(payload));
    } catch (...) {
      // The owner's fault must not end the endpoint; the text was handed over.
    }
    WriteAll(fd, EncodeAck(), Clock::now() + kFrameReadTimeout);
  }
};

CLinkEndpoint::CLinkEndpoint() = default;

CLinkEndpoint::~CLinkEndpoint() { Close(); }

bool CLinkEndpoint::Open(const std::string& title, Handler handler) {
  if (m_impl || !handler) return false;
  auto impl = std::make_unique<Impl>();
  impl->folder = LinkFolder();
  if (impl->folder.empty()) return false;
  SweepStale(impl->folder);
  impl->id = NewId();
  impl->handler = std::move(handler);

  const std::string bindPath = PathOf(impl->folder, impl->id, kBindSuffix);
  const std::string socketPath = PathOf(impl->folder, impl->id, kSocketSuffix);
  sockaddr_un address;
  // Both names must fit; the address bound is the set-up name.
  if (!FillAddress(socketPath, address) || !FillAddress(bindPath, address)) return false;
  impl->listener.Reset(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (impl->listener.Get() < 0 ||
      ::bind(impl->listener.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    return false;
  }
  // Listening before it gets its real name: a .sock that refuses is always stale.
  const bool listening = ::chmod(bindPath.c_str(), 0600) == 0 &&
                         ::listen(impl->listener.Get(), kBacklog) == 0 &&
                         ::rename(bindPath.c_str(), socketPath.c_str()) == 0;
  int stop[2];
  if (!listening || ::pipe2(stop, O_CLOEXEC) != 0) {
    ::unlink(bindPath.c_str());
    ::unlink(socketPath.c_str());
    return false;
  }
  impl->stopRead.Reset(stop[0]);
  impl->stopWrite.Reset(stop[1]);
  if (!impl->WriteTitle(title)) {
    RemoveEndpointFiles(impl->folder, impl->id);
    return false;
  }
  Impl* raw = impl.get();
  impl->thread = std::thread([raw] { raw->Run(); });
  m_impl = std::move(impl);
  return true;
}

bool CLinkEndpoint::SetTitle(const std::string& title) {
  if (!m_impl) return false;
  std::lock_guard lock(m_impl->titleMutex);
  return m_impl->WriteTitle(title);
}

void CLinkEndpoint::Close() {
  if (!m_impl) return;
  {
    // Finders stop seeing the endpoint before it stops answering.
    std::lock_guard lock(m_impl->titleMutex);
    RemoveEndpointFiles(m_impl->folder, m_impl->id);
  }
  const char wake = 1;
  while (::write(m_impl->stopWrite.Get(), &wake, 1) < 0 && errno == EINTR) {
  }
  if (m_impl->thread.joinable()) m_impl->thread.join();
  m_impl.reset();
}

bool CLinkEndpoint::IsOpen() const { return m_impl != nullptr; }

bool SendToTitle(const std::string& title, const std::string& text,
                 std::chrono::milliseconds timeout) {
  return SendToFirst([&](const std::string& t) { return t == title; }, text, timeout);
}

bool SendToTitleContaining(const std::string& part, const std::string& text,
                           std::chrono::milliseconds timeout) {
  return SendToFirst([&](const std::string& t) { return t.find(part) != std::string::npos; }, text,
                     timeout);
}

bool TitleExists(const std::string& title) {
  Entry found;
  return FindFirst([&](const std::string& t) { return t == title; }, found);
}

std::string FindTitleContaining(const std::string& part) {
  Entry found;
  if (!FindFirst([&](const std::string& t) { return t.find(part) != std::string::npos; }, found)) {
    return {};
  }
  return found.title;
}

std::string EndpointPathOf(const std::string& title) {
  Entry found;
  if (!FindFirst([&](const std::string& t) { return t == title; }, found)) return {};
  return LinkFolder() + found.id + std::string(kSocketSuffix);
}

}  // namespace calyx_link

#endif  // _WIN32
