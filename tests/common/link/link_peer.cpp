// A stand-in for either program's end of the link, driven by the link tests.
// Texts and titles on the command line and in the protocol below are hex, so
// every byte survives; "-" is the empty text.
//
//   link_peer serve TITLE [SLEEP_MS]
//     Opens an endpoint, prints "ready". For each text received: sleeps
//     SLEEP_MS inside the handler, then prints "got HEX". Commands on stdin:
//       title TITLE        -> "titled 1|0"
//       send TITLE TEXT    -> "sent 1|0"   (exact title)
//       sendc PART TEXT    -> "sent 1|0"   (first title containing PART)
//     Closes and exits at the end of stdin.
#include <chrono>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "common/link/Link.h"
#include "tests/common/link/Hex.h"

namespace {

std::mutex g_outputMutex;

void Say(const std::string& line) {
  std::lock_guard lock(g_outputMutex);
  const std::string whole = line + "\n";
  size_t done = 0;
  while (done < whole.size()) {
    const ssize_t written = ::write(STDOUT_FILENO, whole.data() + done, whole.size() - done);
    if (written <= 0) return;
    done += static_cast<size_t>(written);
  }
}

int Serve(const std::string& title, int sleepMs) {
  calyx_link::CLinkEndpoint endpoint;
  const bool opened = endpoint.Open(title, [sleepMs](const std::string& text) {
    std::this_thread::sleep_for(std::chrono::milliseconds(sleepMs));
    Say("got " + ToHex(text));
  });
  if (!opened) {
    Say("failed");
    return 1;
  }
  Say("ready");
  std::string line;
  while (std::getline(std::cin, line)) {
    std::istringstream words(line);
    std::string command, first, second;
    words >> command >> first >> second;
    if (command == "title") {
      // Answered once finders see the new title: a window takes its caption on
      // its own thread, a little after it was asked to.
      const std::string title = FromHex(first);
      bool titled = endpoint.SetTitle(title);
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
      while (titled && !calyx_link::TitleExists(title)) {
        if (std::chrono::steady_clock::now() > deadline) titled = false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
      Say(std::string("titled ") + (titled ? "1" : "0"));
    } else if (command == "send") {
      Say(std::string("sent ") + (calyx_link::SendToTitle(FromHex(first), FromHex(second)) ? "1" : "0"));
    } else if (command == "sendc") {
      const bool sent = calyx_link::SendToTitleContaining(FromHex(first), FromHex(second));
      Say(std::string("sent ") + (sent ? "1" : "0"));
    }
  }
  endpoint.Close();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  _setmode(STDOUT_FILENO, _O_BINARY);  // "\n" line ends, as elsewhere
#endif
  if (argc >= 3 && std::string(argv[1]) == "serve") {
    return Serve(FromHex(argv[2]), argc >= 4 ? std::stoi(argv[3]) : 0);
  }
  std::fprintf(stderr, "usage: link_peer serve TITLE [SLEEP_MS]\n");
  return 2;
}
