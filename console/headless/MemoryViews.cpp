#include "console/headless/MemoryViews.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <iostream>

#include "common/Text.h"
#include "console/session/OutputForms.h"

// ---- console

std::string CMemoryConsole::Tail(size_t count) {
  std::lock_guard lock(m_mutex);
  const size_t end = std::min(m_typedStart, m_text.size());
  return end <= count ? m_text.substr(0, end) : m_text.substr(end - count, count);
}

std::string CMemoryConsole::Text() {
  std::lock_guard lock(m_mutex);
  return m_text;
}

void CMemoryConsole::Changed() {
  ++m_changes;
  m_lastChange = std::chrono::steady_clock::now();
  m_changed.notify_all();
}

void CMemoryConsole::AppendOutput(const std::string& chunk, const std::vector<ConsoleMark>& marks,
                                  int maxLines) {
  std::lock_guard lock(m_mutex);
  // Output goes before the lines typed ahead.
  const long start = static_cast<long>(m_typedStart);
  m_text.insert(m_typedStart, chunk);
  m_typedStart += chunk.size();
  m_lineFeeds += static_cast<size_t>(std::count(chunk.begin(), chunk.end(), '\n'));
  const long end = static_cast<long>(m_typedStart);
  for (const ConsoleMark& mark : marks) {
    const long begin = std::clamp(start + mark.begin, 0L, end);
    const long finish = std::clamp(start + mark.end, begin, end);
    if (finish > begin) {
      m_marks.push_back({mark.kind, static_cast<size_t>(begin), static_cast<size_t>(finish), mark.target});
    }
  }
  TrimToLines(maxLines);
  Changed();
}

void CMemoryConsole::TrimToLines(int maxLines) {
  if (maxLines <= 0) return;
  const size_t lines = m_lineFeeds + 1;
  if (lines <= static_cast<size_t>(maxLines)) return;
  // Keep the last maxLines lines: cut before the first character of the line
  // that starts them.
  size_t cut = 0;
  for (size_t skipped = 0; skipped < lines - static_cast<size_t>(maxLines); ++skipped) {
    cut = m_text.find('\n', cut) + 1;
  }
  m_text.erase(0, cut);
  m_lineFeeds = static_cast<size_t>(maxLines) - 1;
  std::vector<Mark> kept;
  for (Mark& mark : m_marks) {
    if (mark.end <= cut) continue;
    mark.begin = mark.begin > cut ? mark.begin - cut : 0;
    mark.end -= cut;
    kept.push_back(std::move(mark));
  }
  m_marks = std::move(kept);
  m_typedStart = m_typedStart > cut ? m_typedStart - cut : 0;
}

void CMemoryConsole::Type(const std::string& line) {
  std::lock_guard lock(m_mutex);
  m_text += line + "\n";
  ++m_lineFeeds;
  Changed();
}

bool CMemoryConsole::EchoCommand(const std::string& line) {
  std::lock_guard lock(m_mutex);
  const bool atPrompt = output_forms::EndsWithPrompt(m_text.substr(0, m_typedStart));
  const std::string shown = line + "\n";
  if (m_text.compare(m_typedStart, shown.size(), shown) != 0) {
    m_text.insert(m_typedStart, shown);
    ++m_lineFeeds;
  }
  m_typedStart += shown.size();
  Changed();
  return atPrompt;
}

void CMemoryConsole::ResetTo(const std::string& prompt) {
  std::lock_guard lock(m_mutex);
  m_text = prompt;
  m_lineFeeds = static_cast<size_t>(std::count(m_text.begin(), m_text.end(), '\n'));
  m_marks.clear();
  m_typedStart = m_text.size();
  Changed();
}

void CMemoryConsole::ReplaceInConsole(const std::string& find, const std::string& replacement) {
  std::lock_guard lock(m_mutex);
  if (find.empty() || !text::Contains(m_text, find)) return;
  m_text = text::ReplaceUntilGone(m_text, find, replacement);
  m_lineFeeds = static_cast<size_t>(std::count(m_text.begin(), m_text.end(), '\n'));
  m_marks.clear();  // the text under them has moved
  m_typedStart = m_text.size();
  Changed();
}

void CMemoryConsole::SetReadOnly(bool readOnly) {
  std::lock_guard lock(m_mutex);
  m_readOnly = readOnly;
  Changed();
}

bool CMemoryConsole::ReadOnly() const {
  std::lock_guard lock(m_mutex);
  return m_readOnly;
}

size_t CMemoryConsole::TypedStart() const {
  std::lock_guard lock(m_mutex);
  return m_typedStart;
}

std::vector<CMemoryConsole::Mark> CMemoryConsole::Marks() const {
  std::lock_guard lock(m_mutex);
  return m_marks;
}

long CMemoryConsole::Changes() const {
  std::lock_guard lock(m_mutex);
  return m_changes;
}

void CMemoryConsole::Poke() {
  std::lock_guard lock(m_mutex);
  ++m_changes;
  m_changed.notify_all();
}

std::chrono::steady_clock::time_point CMemoryConsole::LastChange() const {
  std::lock_guard lock(m_mutex);
  return m_lastChange;
}

bool CMemoryConsole::WaitForChange(long changes, std::chrono::milliseconds timeout) {
  std::unique_lock lock(m_mutex);
  return m_changed.wait_for(lock, timeout, [&] { return m_changes != changes; });
}

bool CMemoryConsole::WaitUntil(const std::function<bool(const std::string&)>& test,
                               std::chrono::milliseconds timeout) {
  std::unique_lock lock(m_mutex);
  return m_changed.wait_for(lock, timeout, [&] { return test(m_text); });
}

// ---- lists

std::vector<ListRow> CMemoryRowList::Rows() {
  std::lock_guard lock(m_mutex);
  return m_rows;
}

void CMemoryRowList::SetRows(const std::vector<ListRow>& rows) {
  std::lock_guard lock(m_mutex);
  m_rows = rows;
  ++m_rebuilds;
  m_changed.notify_all();
}

bool CMemoryRowList::WaitForRows(std::chrono::milliseconds timeout) {
  std::unique_lock lock(m_mutex);
  return m_changed.wait_for(lock, timeout, [&] { return !m_rows.empty(); });
}

int CMemoryRowList::Rebuilds() const {
  std::lock_guard lock(m_mutex);
  return m_rebuilds;
}

void CMemoryCompletion::ShowCandidates(const std::vector<std::string>& candidates) {
  std::lock_guard lock(m_mutex);
  m_candidates = candidates;
}

void CMemoryCompletion::Accept(const std::string& candidate) {
  std::lock_guard lock(m_mutex);
  m_accepted.push_back(candidate);
}

std::vector<std::string> CMemoryCompletion::Candidates() const {
  std::lock_guard lock(m_mutex);
  return m_candidates;
}

std::vector<std::string> CMemoryCompletion::Accepted() const {
  std::lock_guard lock(m_mutex);
  return m_accepted;
}

// ---- settings

namespace {
std::string SettingKey(const std::string& section, const std::string& key) {
  return section + "/" + key;
}
}  // namespace

int CMemorySettings::GetInt(const std::string& section, const std::string& key, int fallback) {
  std::lock_guard lock(m_mutex);
  auto found = m_values.find(SettingKey(section, key));
  if (found == m_values.end()) return fallback;
  return static_cast<int>(text::ParseLeadingInt(found->second));
}

std::string CMemorySettings::GetString(const std::string& section, const std::string& key,
                                       const std::string& fallback) {
  std::lock_guard lock(m_mutex);
  auto found = m_values.find(SettingKey(section, key));
  return found == m_values.end() ? fallback : found->second;
}

void CMemorySettings::SetInt(const std::string& section, const std::string& key, int value) {
  SetString(section, key, std::to_string(value));
}

void CMemorySettings::SetString(const std::string& section, const std::string& key,
                                const std::string& value) {
  std::lock_guard lock(m_mutex);
  m_values[SettingKey(section, key)] = value;
}

// ---- path box

void CMemoryPathBox::SetText(const std::string& text) {
  std::lock_guard lock(m_mutex);
  m_text = text;
}

void CMemoryPathBox::SetItems(const std::vector<std::string>& items) {
  std::lock_guard lock(m_mutex);
  m_items = items;
}

void CMemoryPathBox::AddItem(const std::string& text) {
  std::lock_guard lock(m_mutex);
  m_items.push_back(text);
}

void CMemoryPathBox::RemoveItem(const std::string& text) {
  std::lock_guard lock(m_mutex);
  const auto found = std::find(m_items.begin(), m_items.end(), text);
  if (found != m_items.end()) m_items.erase(found);
}

std::string CMemoryPathBox::Text() const {
  std::lock_guard lock(m_mutex);
  return m_text;
}

std::vector<std::string> CMemoryPathBox::Items() const {
  std::lock_guard lock(m_mutex);
  return m_items;
}

// ---- host

CMemoryHost::CMemoryHost(std::function<void(const std::string&)> enqueue)
    : m_enqueue(std::move(enqueue)) {}

void CMemoryHost::SetEnqueue(std::function<void(const std::string&)> enqueue) {
  std::lock_guard lock(m_mutex);
  m_enqueue = std::move(enqueue);
}

bool CMemoryHost::SendToEditor(const std::string& text, bool /*activate*/) {
  std::lock_guard lock(m_mutex);
  m_editorMessages.push_back(text);
  m_editorMessaged.notify_all();
  return true;
}

bool CMemoryHost::WaitForEditorMessage(std::chrono::milliseconds timeout) {
  std::unique_lock lock(m_mutex);
  return m_editorMessaged.wait_for(lock, timeout, [&] { return !m_editorMessages.empty(); });
}

void CMemoryHost::ShowHelpTopic(const std::string& topic) {
  std::lock_guard lock(m_mutex);
  m_helpTopics.push_back(topic);
}

void CMemoryHost::UseFolderStores(ISettings& settings, CIni& userData) {
  CDirectoryChanger::Services services;
  services.settings = &settings;
  services.userData = &userData;
  services.box = &m_pathBox;
  services.enqueue = [this](const std::string& command) {
    std::function<void(const std::string&)> enqueue;
    {
      std::lock_guard lock(m_mutex);
      enqueue = m_enqueue;
    }
    if (enqueue) enqueue(command);
  };
  services.showError = [this](const std::string& message) { ShowMessage(message); };
  services.defaultFolder = [this] { return WorkingDirectory(); };
#ifdef _WIN32
  const char* home = getenv("USERPROFILE");
#else
  const char* home = getenv("HOME");
#endif
  services.home = home ? home : "/";
  std::lock_guard lock(m_mutex);
  m_directories = std::make_unique<CDirectoryChanger>(std::move(services));
}

int CMemoryHost::ChangeCurrentDirectory(const std::string& folder) {
  CDirectoryChanger* directories = nullptr;
  {
    std::lock_guard lock(m_mutex);
    directories = m_directories.get();
  }
  return directories ? directories->Change(folder) : 0;
}

std::string CMemoryHost::WorkingDirectory() {
  char buffer[PATH_MAX];
  return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

bool CMemoryHost::ExitApplication() {
  std::lock_guard lock(m_mutex);
  ++m_exitRequests;
  return m_exitAccepted;
}

void CMemoryHost::Beep() {
  std::lock_guard lock(m_mutex);
  ++m_beeps;
}

void CMemoryHost::ShowMessage(const std::string& message) {
  std::lock_guard lock(m_mutex);
  m_messages.push_back(message);
}

void CMemoryHost::SetSessionControlsEnabled(bool enabled) {
  std::lock_guard lock(m_mutex);
  m_controlsEnabled = enabled;
}

std::vector<std::string> CMemoryHost::EditorMessages() const {
  std::lock_guard lock(m_mutex);
  return m_editorMessages;
}

std::vector<std::string> CMemoryHost::HelpTopics() const {
  std::lock_guard lock(m_mutex);
  return m_helpTopics;
}

std::vector<std::string> CMemoryHost::Messages() const {
  std::lock_guard lock(m_mutex);
  return m_messages;
}

int CMemoryHost::Beeps() const {
  std::lock_guard lock(m_mutex);
  return m_beeps;
}

int CMemoryHost::ExitRequests() const {
  std::lock_guard lock(m_mutex);
  return m_exitRequests;
}

bool CMemoryHost::ControlsEnabled() const {
  std::lock_guard lock(m_mutex);
  return m_controlsEnabled;
}

void CMemoryHost::SetExitAccepted(bool accepted) {
  std::lock_guard lock(m_mutex);
  m_exitAccepted = accepted;
}
