#include "console/command/HistoryStore.h"

#include <algorithm>
#include <ctime>

#include "common/Ini.h"
#include "common/Text.h"

namespace {

constexpr const char* kHistoryKey = "History";
constexpr const char* kSeparator = "|;|";

// Two entries that differ only in these are the same command typed again.
std::string ComparisonKey(const std::string& text) { return text::RemoveChars(text, "\n\r ,"); }

// Whether `text` would be stored after `lines`.
enum class EntryKind { Rejected, Repeat, New };

EntryKind KindOf(const std::vector<std::string>& lines, const std::string& text) {
  if (text::Contains(text, ">> ")) return EntryKind::Rejected;  // a prompt: echoed output, not a command
  const std::string key = ComparisonKey(text);
  if (key.empty()) return EntryKind::Rejected;
  if (!lines.empty() && ComparisonKey(lines.back()) == key) return EntryKind::Repeat;
  return EntryKind::New;
}

// How the saved history marks a heading when it is trimmed to the last commands.
bool StartsAsHeading(const std::string& entry) { return text::StartsWith(entry, "%-- "); }

// The saved entries to load: `start` (the heading above the oldest kept command,
// or the first entry), then everything from `resumeAt` on. The commands between
// them are older than the last `maxHist`.
struct SLoadRange {
  size_t start = 0;
  size_t resumeAt = 0;
};

SLoadRange RangeToLoad(const std::vector<std::string>& entries, int maxHist) {
  size_t firstKept = 0;
  int counted = 0;
  for (size_t i = entries.size(); i-- > 0 && counted < maxHist;) {
    if (!StartsAsHeading(entries[i])) {
      ++counted;
      firstKept = i;
    }
  }
  size_t start = firstKept;
  while (start > 0 && !StartsAsHeading(entries[start])) --start;
  return {start, std::max(firstKept, start + 1)};
}

}  // namespace

CHistoryStore::CHistoryStore(IHistoryView* view) : m_view(view) {}

void CHistoryStore::SetView(IHistoryView* view) {
  std::lock_guard lock(m_mutex);
  m_view = view;
}

bool CHistoryStore::AddHistoryEntry(const std::string& text, bool ensureVisible) {
  std::lock_guard lock(m_mutex);
  return AddLocked(text, ensureVisible);
}

bool CHistoryStore::AddLocked(const std::string& text, bool ensureVisible) {
  const EntryKind kind = KindOf(m_historyLines, text);
  if (kind == EntryKind::Repeat) m_recallCursor = m_historyLines.size();
  if (kind != EntryKind::New) return false;
  std::string entry = text::RemoveChars(text, "\r\n");
  if (m_view) m_view->HistoryEntryAdded(m_historyLines.size(), entry, IsHeading(entry), ensureVisible);
  m_historyLines.push_back(std::move(entry));
  m_recallCursor = m_historyLines.size();
  return true;
}

void CHistoryStore::ResetLocked() {
  ++m_generation;
  m_historyLines.clear();
  m_recallCursor = 0;
  if (m_view) m_view->HistoryReset({});
}

void CHistoryStore::ClearHistory() {
  std::lock_guard lock(m_mutex);
  ResetLocked();
  AddLocked(NewHeading(), true);
}

void CHistoryStore::DeleteHistoryEntry(size_t index) {
  std::lock_guard lock(m_mutex);
  if (index >= m_historyLines.size()) return;
  size_t end = index + 1;
  if (IsHeading(m_historyLines[index]))
    while (end < m_historyLines.size() && !IsHeading(m_historyLines[end])) ++end;
  m_historyLines.erase(m_historyLines.begin() + static_cast<std::ptrdiff_t>(index),
                       m_historyLines.begin() + static_cast<std::ptrdiff_t>(end));
  ++m_generation;
  m_recallCursor = m_historyLines.size();
  if (m_view) m_view->HistoryReset(m_historyLines);
}

void CHistoryStore::LoadHistory(const CIni& ini, int maxHist) {
  std::vector<std::string> entries;
  ini.GetArray(kHistoryKey, entries, kSeparator);
  // Sorted out before the lock is taken: the window reads the store meanwhile.
  std::vector<std::string> loaded;
  if (!entries.empty()) {
    const SLoadRange range = RangeToLoad(entries, maxHist);
    loaded.reserve(entries.size() - range.resumeAt + 1);
    auto keep = [&loaded](std::string& entry) {
      if (KindOf(loaded, entry) == EntryKind::New) loaded.push_back(text::RemoveChars(std::move(entry), "\r\n"));
    };
    keep(entries[range.start]);
    for (size_t i = range.resumeAt; i < entries.size(); ++i) keep(entries[i]);
  }
  entries = {};

  std::lock_guard lock(m_mutex);
  ++m_generation;
  m_historyLines.swap(loaded);
  if (m_view) m_view->HistoryReset(m_historyLines);
  AddLocked(NewHeading(), true);
}

bool CHistoryStore::SaveHistory(CIni& ini) const {
  std::vector<std::string> lines = Lines();
  return !lines.empty() && ini.WriteArray(kHistoryKey, lines, kSeparator);
}

std::vector<std::string> CHistoryStore::Lines() const {
  std::lock_guard lock(m_mutex);
  return m_historyLines;
}

size_t CHistoryStore::Count() const {
  std::lock_guard lock(m_mutex);
  return m_historyLines.size();
}

CHistoryStore::SChanges CHistoryStore::ChangesSince(uint64_t generation, size_t shown) const {
  std::lock_guard lock(m_mutex);
  SChanges changes;
  changes.generation = m_generation;
  changes.first = generation == m_generation && shown <= m_historyLines.size() ? shown : 0;
  size_t chars = 0;
  for (size_t i = changes.first; i < m_historyLines.size(); ++i) chars += m_historyLines[i].size();
  changes.lines.Reserve(m_historyLines.size() - changes.first, chars);
  for (size_t i = changes.first; i < m_historyLines.size(); ++i) changes.lines.PushBack(m_historyLines[i]);
  return changes;
}

size_t CHistoryStore::RecallCursor() const {
  std::lock_guard lock(m_mutex);
  return m_recallCursor;
}

void CHistoryStore::SetRecallCursor(size_t cursor) {
  std::lock_guard lock(m_mutex);
  m_recallCursor = cursor;
}

void CHistoryStore::ResetRecallCursor() {
  std::lock_guard lock(m_mutex);
  m_recallCursor = m_historyLines.size();
}

RecallResult CHistoryStore::Recall(bool backward, const std::string& prefix) {
  std::lock_guard lock(m_mutex);
  const long cursor = static_cast<long>(m_recallCursor);
  RecallResult result = backward ? RecallBackward(m_historyLines, cursor, prefix)
                                 : RecallForward(m_historyLines, cursor, prefix);
  m_recallCursor = static_cast<size_t>(std::max(0L, result.cursor));
  return result;
}

std::string CHistoryStore::NewHeading() {
  const std::time_t now = std::time(nullptr);
  std::tm local {};
  char date[128];
  size_t length = 0;
#ifdef _WIN32
  const bool converted = localtime_s(&local, &now) == 0;
#else
  const bool converted = localtime_r(&now, &local) != nullptr;
#endif
  if (converted) length = std::strftime(date, sizeof date, "%x %X", &local);
  return "%-- " + std::string(date, length) + " --%";
}

bool CHistoryStore::IsHeading(std::string_view entry) { return text::Contains(entry, "%--"); }
