// The message link between Calyx and Quire: single texts handed from one
// program's main window to the other's, found by window title, delivered
// synchronously (the sender waits until the receiver's handler has returned).
//
// Windows: each endpoint is a hidden top-level window of the class kWindowClass
// carrying the title; texts travel as WM_COPYDATA (dwData 0, cbData = length
// plus the terminating zero).
// Elsewhere: each endpoint is a Unix socket in a per-user private folder (see
// LinkFolder), next to a file holding its title. The listener checks the
// connecting user on every connection.
//
// What a program does to a text before sending or after receiving (Quire's
// "\r\n", Calyx's removal of line ends) is the program's business, not the link's.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace calyx_link {

// Called on the endpoint's own thread, one text at a time, in arrival order.
// The sender is released when it returns, so it may carry the text to another
// thread and wait for it there.
using Handler = std::function<void(const std::string& text)>;

// How long a sender waits for a peer's handler before giving up on it.
inline constexpr std::chrono::milliseconds kSendTimeout{5000};

#ifdef _WIN32
inline constexpr const char* kWindowClass = "MarrowbyLinkEndpoint";
#endif

class CLinkEndpoint {
 public:
  CLinkEndpoint();
  ~CLinkEndpoint();  // Close()
  CLinkEndpoint(const CLinkEndpoint&) = delete;
  CLinkEndpoint& operator=(const CLinkEndpoint&) = delete;

  // Publishes an endpoint under `title` and starts its thread. False when it is
  // already open or the endpoint cannot be made.
  bool Open(const std::string& title, Handler handler);
  // The title finders see from now on (the main window's caption changed).
  bool SetTitle(const std::string& title);
  // Withdraws the endpoint and ends its thread, waiting for a running handler.
  // Must not be called from inside the handler, nor while the handler waits for
  // the calling thread.
  void Close();
  bool IsOpen() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};

// Sends `text` to the endpoint titled exactly `title`. True when the peer's
// handler has run to its end; false when there is no such peer, the text is too
// long, or the peer did not answer within `timeout`.
bool SendToTitle(const std::string& title, const std::string& text,
                 std::chrono::milliseconds timeout = kSendTimeout);

// As above, to the first endpoint whose title contains `part`. Order: on
// Windows the system's window order; elsewhere the oldest endpoint first.
bool SendToTitleContaining(const std::string& part, const std::string& text,
                           std::chrono::milliseconds timeout = kSendTimeout);

// Whether a live endpoint has exactly this title.
bool TitleExists(const std::string& title);
// The full title of the first live endpoint whose title contains `part`; ""
// when there is none.
std::string FindTitleContaining(const std::string& part);

#ifndef _WIN32
// The folder of the endpoints, with a trailing "/", made private to this user:
// $MARROWBY_LINK_DIR when set to an absolute path (tests), else
// $XDG_RUNTIME_DIR/marrowby-link, else /tmp/marrowby-link-<uid>. "" when the
// folder is not ours alone (a link, another owner).
std::string LinkFolder();
// The socket path of the endpoint that SendToTitle(title, ...) would reach; ""
// when there is none.
std::string EndpointPathOf(const std::string& title);
#endif

}  // namespace calyx_link
