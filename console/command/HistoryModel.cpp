#include "console/command/HistoryModel.h"

#include <algorithm>

#include "console/command/HistoryStore.h"

namespace {

// internalId of a root row; a child's is its root row + 1.
constexpr quintptr kRootId = 0;

}  // namespace

CHistoryModel::CHistoryModel(QIcon headingIcon, QIcon commandIcon, QObject* parent)
    : QAbstractItemModel(parent),
      m_headingIcon(std::move(headingIcon)),
      m_commandIcon(std::move(commandIcon)) {}

void CHistoryModel::PlaceEntry(size_t entry) {
  // Commands go under the latest heading; before the first one they are roots.
  if (CHistoryStore::IsHeading(m_entries[entry])) {
    m_rootEntries.push_back(entry);
  } else if (m_rootEntries.size() == m_rootCommands) {
    m_rootEntries.push_back(entry);
    ++m_rootCommands;
  }
}

void CHistoryModel::Reset(CTextList entries) {
  beginResetModel();
  m_entries = std::move(entries);
  m_rootEntries.clear();
  m_rootCommands = 0;
  for (size_t entry = 0; entry < m_entries.Size(); ++entry) PlaceEntry(entry);
  endResetModel();
}

void CHistoryModel::Append(const CTextList& entries) {
  // A run of commands under one parent goes in as one insertion.
  for (size_t i = 0; i < entries.Size();) {
    const bool heading = CHistoryStore::IsHeading(entries[i]);
    const bool underHeading = !heading && LastHeading().isValid();
    size_t end = i + 1;
    if (!heading)
      while (end < entries.Size() && !CHistoryStore::IsHeading(entries[end])) ++end;
    const size_t lastRoot = m_rootEntries.size() - 1;
    const QModelIndex parent = underHeading ? index(static_cast<int>(lastRoot), 0) : QModelIndex();
    const size_t first = underHeading ? ChildCount(lastRoot) : m_rootEntries.size();
    beginInsertRows(parent, static_cast<int>(first), static_cast<int>(first + end - i - 1));
    for (size_t k = i; k < end; ++k) {
      m_entries.PushBack(entries[k]);
      PlaceEntry(m_entries.Size() - 1);
    }
    endInsertRows();
    i = end;
  }
}

size_t CHistoryModel::ChildCount(size_t rootRow) const {
  if (!RootIsHeading(rootRow)) return 0;
  const size_t entry = m_rootEntries[rootRow];
  const size_t next = rootRow + 1 < m_rootEntries.size() ? m_rootEntries[rootRow + 1] : m_entries.Size();
  return next - entry - 1;
}

size_t CHistoryModel::RootRowOf(size_t entry) const {
  const auto after = std::upper_bound(m_rootEntries.begin(), m_rootEntries.end(), entry);
  return static_cast<size_t>(after - m_rootEntries.begin()) - 1;
}

size_t CHistoryModel::EntryOf(const QModelIndex& index) const {
  if (!index.isValid()) return m_entries.Size();
  if (index.internalId() == kRootId) return m_rootEntries[static_cast<size_t>(index.row())];
  return m_rootEntries[index.internalId() - 1] + 1 + static_cast<size_t>(index.row());
}

QModelIndex CHistoryModel::IndexOf(size_t entry) const {
  if (entry >= m_entries.Size()) return {};
  const size_t rootRow = RootRowOf(entry);
  const size_t rootEntry = m_rootEntries[rootRow];
  if (rootEntry == entry) return createIndex(static_cast<int>(rootRow), 0, kRootId);
  return createIndex(static_cast<int>(entry - rootEntry - 1), 0, rootRow + 1);
}

QModelIndex CHistoryModel::LastHeading() const {
  if (m_rootEntries.size() == m_rootCommands) return {};
  return createIndex(static_cast<int>(m_rootEntries.size() - 1), 0, kRootId);
}

QModelIndex CHistoryModel::index(int row, int column, const QModelIndex& parent) const {
  if (row < 0 || column != 0 || !hasIndex(row, column, parent)) return {};
  if (!parent.isValid()) return createIndex(row, 0, kRootId);
  return createIndex(row, 0, static_cast<quintptr>(parent.row()) + 1);
}

QModelIndex CHistoryModel::parent(const QModelIndex& child) const {
  if (!child.isValid() || child.internalId() == kRootId) return {};
  return createIndex(static_cast<int>(child.internalId() - 1), 0, kRootId);
}

int CHistoryModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return static_cast<int>(m_rootEntries.size());
  if (parent.internalId() != kRootId) return 0;
  return static_cast<int>(ChildCount(static_cast<size_t>(parent.row())));
}

int CHistoryModel::columnCount(const QModelIndex&) const { return 1; }

QVariant CHistoryModel::data(const QModelIndex& index, int role) const {
  const size_t entry = EntryOf(index);
  if (entry >= m_entries.Size()) return {};
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromUtf8(m_entries[entry]);
    case Qt::DecorationRole:
      return IsHeadingRow(index) ? m_headingIcon : m_commandIcon;
    default:
      return {};
  }
}

Qt::ItemFlags CHistoryModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  // Saying so spares the tree a look-up per row when it lays them out.
  const Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
  return IsHeadingRow(index) ? flags : flags | Qt::ItemNeverHasChildren;
}

bool CHistoryModel::IsHeadingRow(const QModelIndex& index) const {
  return index.internalId() == kRootId && RootIsHeading(static_cast<size_t>(index.row()));
}
