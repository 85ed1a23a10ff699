// The Command History pane's model: headings at the root, each with the
// commands entered after it as children (commands before the first heading sit
// at the root). It holds the entries as the store gives them and makes a row's
// text only when the view asks for it, so a long history costs little more
// than its text; every row of a kind shares one icon.
#pragma once

#include <QAbstractItemModel>
#include <QIcon>

#include <string_view>
#include <vector>

#include "console/command/TextList.h"

class CHistoryModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  CHistoryModel(QIcon headingIcon, QIcon commandIcon, QObject* parent = nullptr);

  // All entries replaced (one reset of the model).
  void Reset(CTextList entries);
  // Entries added after the last one, as rows inserted under their heading.
  void Append(const CTextList& entries);

  size_t EntryCount() const { return m_entries.Size(); }
  std::string_view Entry(size_t entry) const { return m_entries[entry]; }
  // The entry a row shows; EntryCount() for an invalid index.
  size_t EntryOf(const QModelIndex& index) const;
  QModelIndex IndexOf(size_t entry) const;
  // The last root row when it is a heading: where commands added now go.
  QModelIndex LastHeading() const;

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  // The tree asks these several times per row whenever it lays rows out, so
  // they are answered without reading the rows' text.
  bool IsHeadingRow(const QModelIndex& index) const;
  bool RootIsHeading(size_t rootRow) const { return rootRow >= m_rootCommands; }
  // Entries after the root entry of `rootRow` up to the next root entry.
  size_t ChildCount(size_t rootRow) const;
  // The root row an entry belongs to: its own when it is a root entry.
  size_t RootRowOf(size_t entry) const;
  // Notes whether `entry`, the one after those placed so far, is a root row.
  void PlaceEntry(size_t entry);

  QIcon m_headingIcon;
  QIcon m_commandIcon;
  CTextList m_entries;
  std::vector<size_t> m_rootEntries;  // entry index of each root row, ascending
  // How many root rows are commands: only those entered before the first
  // heading are, so the root rows from this row on are all headings.
  size_t m_rootCommands = 0;
};
