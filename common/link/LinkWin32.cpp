// The link on Windows: WM_COPYDATA to a hidden top-level window that carries
// the endpoint's title. The window has a class of its own so that lookups never
// land on a program's framework window that happens to show the same caption.
#ifdef _WIN32

#include "common/link/Link.h"

#include <windows.h>

#include <cstring>
#include <future>
#include <mutex>
#include <thread>

#include "common/link/LinkFrame.h"

namespace calyx_link {

namespace {

// Asks the endpoint's thread to take the pending title: SetWindowTextA from
// another thread would wait for a handler that may be waiting for the caller.
constexpr UINT kTakeTitle = WM_APP + 1;

struct WindowState {
  Handler handler;
  std::mutex titleMutex;
  std::string pendingTitle;
};

LRESULT CALLBACK EndpointProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* state = reinterpret_cast<WindowState*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  switch (message) {
    case WM_COPYDATA: {
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (state && data && data->dwData == 0 && data->lpData && data->cbData > 0 &&
          data->cbData <= kMaxData) {
        const char* bytes = static_cast<const char*>(data->lpData);
        try {
          state->handler(std::string(bytes, ::strnlen(bytes, data->cbData)));
        } catch (...) {
          // The owner's fault must not take the window down.
        }
      }
      break;
    }
    case kTakeTitle:
      if (state) {
        std::lock_guard lock(state->titleMutex);
        ::SetWindowTextA(hwnd, state->pendingTitle.c_str());
      }
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

bool RegisterEndpointClass() {
  static const bool registered = [] {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = EndpointProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kWindowClass;
    return ::RegisterClassExA(&windowClass) != 0;
  }();
  return registered;
}

bool SendText(HWND target, const std::string& text, std::chrono::milliseconds timeout) {
  if (!target || text.size() >= kMaxData) return false;
  COPYDATASTRUCT data{0, static_cast<DWORD>(text.size() + 1), const_cast<char*>(text.c_str())};
  DWORD_PTR result = 0;
  // SendMessageA with a bound: a hung peer releases the sender after `timeout`.
  return ::SendMessageTimeoutA(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data),
                               SMTO_BLOCK | SMTO_ABORTIFHUNG, static_cast<UINT>(timeout.count()),
                               &result) != 0;
}

struct Search {
  const std::string* part;
  std::string title;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  char className[64] = {};
  char title[256] = {};  // at most 255 characters of each title are read
  if (::GetClassNameA(hwnd, className, sizeof className) == 0 ||
      std::strcmp(className, kWindowClass) != 0) {
    return TRUE;
  }
  ::GetWindowTextA(hwnd, title, sizeof title);
  if (std::strstr(title, search->part->c_str()) == nullptr) return TRUE;
  search->title = title;
  return FALSE;
}

}  // namespace

struct CLinkEndpoint::Impl {
  WindowState state;
  HWND hwnd = nullptr;
  std::thread thread;
};

CLinkEndpoint::CLinkEndpoint() = default;

CLinkEndpoint::~CLinkEndpoint() { Close(); }

bool CLinkEndpoint::Open(const std::string& title, Handler handler) {
  if (m_impl || !handler || !RegisterEndpointClass()) return false;
  auto impl = std::make_unique<Impl>();
  impl->state.handler = std::move(handler);
  std::promise<HWND> created;
  std::future<HWND> window = created.get_future();
  Impl* raw = impl.get();
  // The window belongs to its own thread, whose message loop runs the handler.
  impl->thread = std::thread([raw, title, &created] {
    HWND hwnd = ::CreateWindowExA(0, kWindowClass, title.c_str(), WS_POPUP, 0, 0, 0, 0, nullptr,
                                  nullptr, ::GetModuleHandleA(nullptr), &raw->state);
    created.set_value(hwnd);
    if (!hwnd) return;
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) ::DispatchMessageA(&message);
  });
  impl->hwnd = window.get();
  if (!impl->hwnd) {
    impl->thread.join();
    return false;
  }
  m_impl = std::move(impl);
  return true;
}

bool CLinkEndpoint::SetTitle(const std::string& title) {
  if (!m_impl) return false;
  {
    std::lock_guard lock(m_impl->state.titleMutex);
    m_impl->state.pendingTitle = title;
  }
  return ::PostMessageA(m_impl->hwnd, kTakeTitle, 0, 0) != 0;
}

void CLinkEndpoint::Close() {
  if (!m_impl) return;
  ::PostMessageA(m_impl->hwnd, WM_CLOSE, 0, 0);
  if (m_impl->thread.joinable()) m_impl->thread.join();
  m_impl.reset();
}

bool CLinkEndpoint::IsOpen() const { return m_impl != nullptr; }

bool SendToTitle(const std::string& title, const std::string& text,
                 std::chrono::milliseconds timeout) {
  return SendText(::FindWindowA(kWindowClass, title.c_str()), text, timeout);
}

bool SendToTitleContaining(const std::string& part, const std::string& text,
                           std::chrono::milliseconds timeout) {
  const std::string title = FindTitleContaining(part);
  // Looked up again by the full title, as the window may have gone meanwhile.
  return !title.empty() && SendText(::FindWindowA(kWindowClass, title.c_str()), text, timeout);
}

bool TitleExists(const std::string& title) {
  return ::FindWindowA(kWindowClass, title.c_str()) != nullptr;
}

std::string FindTitleContaining(const std::string& part) {
  Search search{&part, {}};
  ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.title;
}

}  // namespace calyx_link

#endif  // _WIN32
