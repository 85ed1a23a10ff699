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
      Say(std::string("titled ") + (endpoint.SetTitle(FromHex(first)) ? "1" : "0"));
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
  if (argc >= 3 && std::string(argv[1]) == "serve") {
    return Serve(FromHex(argv[2]), argc >= 4 ? std::stoi(argv[3]) : 0);
  }
  std::fprintf(stderr, "usage: link_peer serve TITLE [SLEEP_MS]\n");
  return 2;
}
