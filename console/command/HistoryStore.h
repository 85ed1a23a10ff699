// The command history: headings ("%-- <date> <time> --%", one per session) each
// followed by the commands entered after it, kept in the user data file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "console/command/ConsoleText.h"
#include "console/command/TextList.h"

class CIni;

// The history pane's tree. Calls arrive with the store's lock held, so a view
// must not call back into the store from them.
class IHistoryView {
 public:
  virtual ~IHistoryView() = default;
  // `index` is the entry's position in CHistoryStore::Lines(). A heading is a
  // root item; a command belongs to the latest heading (root while none).
  virtual void HistoryEntryAdded(size_t index, const std::string& text, bool isHeading, bool ensureVisible) = 0;
  // The whole content replaced by `entries`.
  virtual void HistoryReset(const std::vector<std::string>& entries) = 0;
};

// Thread-safe: the command dispatcher and the window both add entries.
class CHistoryStore {
 public:
  explicit CHistoryStore(IHistoryView* view = nullptr);

  void SetView(IHistoryView* view);

  // Stores one entry unless it is console output (holds ">> "), empty, or the
  // same as the last entry once blanks, commas and line breaks are ignored.
  // Line breaks are removed from what is stored. True when stored.
  bool AddHistoryEntry(const std::string& text, bool ensureVisible);

  // Empties the history and starts it again with a new heading.
  void ClearHistory();

  // Removes the entry at `index` of Lines(); a heading goes with its commands.
  void DeleteHistoryEntry(size_t index);

  // Replaces the history with the one saved under "History", keeping the last
  // `maxHist` commands (all when maxHist <= 0) with the heading they ran under,
  // and starts this session with a new heading.
  void LoadHistory(const CIni& ini, int maxHist);

  // Writes the history to "History"; false when it is empty or the write failed.
  // An entry holding the separator "|;|" reads back as two.
  bool SaveHistory(CIni& ini) const;

  std::vector<std::string> Lines() const;
  size_t Count() const;

  // What a view that shows `shown` entries of generation `generation` lacks:
  // the entries after those, or all of them (from 0) when the history was
  // cleared, trimmed or loaded since.
  struct SChanges {
    uint64_t generation = 0;
    size_t first = 0;  // index of lines[0]
    CTextList lines;
  };
  SChanges ChangesSince(uint64_t generation, size_t shown) const;

  // Position of the command that up/down arrow recall starts from; the entry
  // count after each change.
  size_t RecallCursor() const;
  void SetRecallCursor(size_t cursor);
  // Recall starts again after the newest entry.
  void ResetRecallCursor();
  // Up (`backward`) or Down from the recall cursor, to the entries that start
  // with `prefix`, and moves the cursor; the entries are searched where they
  // are stored, never copied.
  RecallResult Recall(bool backward, const std::string& prefix);

  // "%-- " + local date and time + " --%".
  static std::string NewHeading();
  static bool IsHeading(std::string_view entry);

 private:
  bool AddLocked(const std::string& text, bool ensureVisible);
  void ResetLocked();

  mutable std::mutex m_mutex;
  IHistoryView* m_view;
  std::vector<std::string> m_historyLines;
  size_t m_recallCursor = 0;
  uint64_t m_generation = 1;  // raised whenever entries are removed or replaced
};
