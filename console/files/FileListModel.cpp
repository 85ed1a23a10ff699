#include "console/files/FileListModel.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMimeData>
#include <QMimeDatabase>
#include <QUrl>

#include <algorithm>

#include "console/files/DirectoryScanner.h"
#include "console/files/FileCommands.h"

// ---- CFileRowBuilder

const CFileRowBuilder::TypeInfo& CFileRowBuilder::TypeOf(const std::string& name) {
  const size_t dot = name.rfind('.');
  const std::string_view key = dot == std::string::npos ? std::string_view(name) : std::string_view(name).substr(dot);
  auto found = m_types.find(key);
  if (found == m_types.end()) {
    static const QMimeDatabase database;
    const QMimeType type = database.mimeTypeForFile(QString::fromStdString(name), QMimeDatabase::MatchExtension);
    QString description = type.isDefault() ? QString() : type.comment();
    if (description.isEmpty()) description = QString::fromStdString(file_commands::FallbackTypeName(name));
    found = m_types.emplace(std::string(key), TypeInfo{description, type.name()}).first;
  }
  return found->second;
}

std::vector<FileRow> CFileRowBuilder::Build(const ScannedFolder& scanned) {
  if (m_folderType.mimeName.isEmpty()) {
    const QMimeType type = QMimeDatabase().mimeTypeForName(QStringLiteral("inode/directory"));
    m_folderType = {type.comment(), type.name()};
  }
  std::vector<FileRow> rows;
  rows.reserve(1 + scanned.folders.size() + scanned.files.size());
  const auto add = [&](const ScannedEntry& entry, const TypeInfo& type) {
    FileRow& row = rows.emplace_back();
    row.name = QString::fromStdString(entry.name);
    row.type = type.description;
    row.mimeName = type.mimeName;
    row.folder = entry.folder;
    row.bytes = entry.size;
    row.modified = static_cast<qint64>(entry.modified) * 1000 + entry.modifiedNanoseconds / 1000000;
  };
  FileRow& up = rows.emplace_back();
  up.name = QStringLiteral("..");
  up.type = m_folderType.description;
  up.mimeName = m_folderType.mimeName;
  up.folder = true;
  for (const ScannedEntry& entry : scanned.folders) add(entry, m_folderType);
  for (const ScannedEntry& entry : scanned.files) add(entry, TypeOf(entry.name));
  return rows;
}

// ---- CFileListModel

CFileListModel::CFileListModel(QObject* parent) : QAbstractTableModel(parent) {}

bool CFileListModel::SetRows(const QString& folder, std::vector<FileRow> rows) {
  SortRows(rows);
  const bool same = folder == m_folder && rows.size() == m_rows.size() &&
                    std::equal(rows.begin(), rows.end(), m_rows.begin(),
                               [this](const FileRow& a, const FileRow& b) { return SameText(a, b); });
  if (same) return false;
  beginResetModel();
  m_folder = folder;
  m_rows = std::move(rows);
  ++m_refills;
  endResetModel();
  return true;
}

QString CFileListModel::SizeText(const FileRow& row) {
  return row.folder ? QString() : QString::fromStdString(file_commands::SizeText(row.bytes));
}

QString CFileListModel::DateText(const FileRow& row) const {
  if (row.modified == FileRow::kUndated) return {};
  return m_locale.toString(QDateTime::fromMSecsSinceEpoch(row.modified), m_dateFormat);
}

// Equal values give equal texts; only rows whose values differ need their texts
// made to tell (a file saved again within the same minute looks the same).
bool CFileListModel::SameText(const FileRow& a, const FileRow& b) const {
  return a.name == b.name && a.folder == b.folder && a.type == b.type &&
         (a.bytes == b.bytes || SizeText(a) == SizeText(b)) &&
         (a.modified / 1000 == b.modified / 1000 || DateText(a) == DateText(b));
}

int CFileListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int CFileListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QIcon CFileListModel::IconOf(const FileRow& row) const {
  auto found = m_icons.find(row.mimeName);
  if (found == m_icons.end()) {
    const QString path = row.name == QLatin1String("..") ? m_folder : QDir(m_folder).filePath(row.name);
    found = m_icons.insert(row.mimeName, m_iconProvider.icon(QFileInfo(path)));
  }
  return *found;
}

QVariant CFileListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const FileRow& row = m_rows[static_cast<size_t>(index.row())];
  if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
    switch (index.column()) {
      case kName: return row.name;
      case kSize: return SizeText(row);
      case kDate: return DateText(row);
      case kType: return row.type;
      default: return {};
    }
  }
  if (role == Qt::DecorationRole && index.column() == kName) return IconOf(row);
  if (role == Qt::TextAlignmentRole && index.column() == kSize)
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

QVariant CFileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  if (role == Qt::TextAlignmentRole && section == kSize)
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  if (role != Qt::DisplayRole) return {};
  switch (section) {
    case kName: return tr("Name");
    case kSize: return tr("Size");
    case kDate: return tr("Date modified");
    case kType: return tr("Type");
    default: return {};
  }
}

Qt::ItemFlags CFileListModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QAbstractTableModel::flags(index) | Qt::ItemIsDropEnabled;
  if (index.isValid() && m_rows[static_cast<size_t>(index.row())].name != QLatin1String(".."))
    flags |= Qt::ItemIsDragEnabled;
  return flags;
}

void CFileListModel::SortRows(std::vector<FileRow>& rows) const {
  if (m_sortColumn < 0 || rows.size() < 2) return;
  const bool ascending = m_sortOrder == Qt::AscendingOrder;
  const auto compareText = [](const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive);
  };
  const auto before = [&](const FileRow& a, const FileRow& b) {
    if (a.folder != b.folder) return a.folder;
    int order = 0;
    switch (m_sortColumn) {
      case kSize: order = a.bytes < b.bytes ? -1 : a.bytes > b.bytes ? 1 : 0; break;
      case kDate: order = a.modified < b.modified ? -1 : a.modified > b.modified ? 1 : 0; break;
      case kType: order = compareText(a.type, b.type); break;
      default: break;
    }
    if (order == 0) order = compareText(a.name, b.name);
    return ascending ? order < 0 : order > 0;
  };
  // ".." is always the first row.
  const auto from = rows.front().name == QLatin1String("..") ? rows.begin() + 1 : rows.begin();
  std::stable_sort(from, rows.end(), before);
}

void CFileListModel::sort(int column, Qt::SortOrder order) {
  m_sortColumn = column;
  m_sortOrder = order;
  if (column < 0) return;
  emit layoutAboutToBeChanged();
  const QModelIndexList before = persistentIndexList();
  std::vector<QString> names;
  for (const QModelIndex& index : before) names.push_back(m_rows[static_cast<size_t>(index.row())].name);
  SortRows(m_rows);
  QHash<QString, int> rowOf;
  for (size_t i = 0; i < m_rows.size(); ++i) rowOf.insert(m_rows[i].name, static_cast<int>(i));
  QModelIndexList after;
  for (size_t i = 0; i < names.size(); ++i)
    after << index(rowOf.value(names[i]), before[static_cast<int>(i)].column());
  changePersistentIndexList(before, after);
  emit layoutChanged();
}

QStringList CFileListModel::mimeTypes() const { return {QStringLiteral("text/uri-list")}; }

QMimeData* CFileListModel::mimeData(const QModelIndexList& indexes) const {
  QList<QUrl> urls;
  QList<int> seen;
  for (const QModelIndex& index : indexes) {
    if (seen.contains(index.row())) continue;
    seen << index.row();
    const FileRow& row = m_rows[static_cast<size_t>(index.row())];
    if (row.name != QLatin1String("..")) urls << QUrl::fromLocalFile(QDir(m_folder).filePath(row.name));
  }
  auto* data = new QMimeData;
  data->setUrls(urls);
  return data;
}

Qt::DropActions CFileListModel::supportedDragActions() const { return Qt::CopyAction | Qt::MoveAction; }

Qt::DropActions CFileListModel::supportedDropActions() const { return Qt::CopyAction | Qt::MoveAction; }
