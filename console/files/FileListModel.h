// The rows of the file pane and the model the list shows them through. Rows are
// built on the listing thread and carry values, not texts: the size and date
// texts are made only for the rows that are drawn, the type text is shared by
// every row of one extension, and icons are made on the GUI thread once per type.
#pragma once

#include <QAbstractTableModel>
#include <QFileIconProvider>
#include <QHash>
#include <QIcon>
#include <QLocale>
#include <QString>

#include <limits>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct ScannedFolder;

struct FileRow {
  static constexpr qint64 kUndated = std::numeric_limits<qint64>::min();
  QString name;
  QString type;      // shared by the rows of one extension
  QString mimeName;  // picks the icon
  bool folder = false;
  quint64 bytes = 0;
  qint64 modified = kUndated;  // milliseconds since the epoch
};

// Turns a scan into rows: ".." first, then the folders, then the files.
class CFileRowBuilder {
 public:
  std::vector<FileRow> Build(const ScannedFolder& scanned);

 private:
  struct TypeInfo {
    QString description;
    QString mimeName;
  };
  struct ExtensionHash {
    using is_transparent = void;
    size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
  };
  const TypeInfo& TypeOf(const std::string& name);

  // Keyed by the text after the last dot (the name when there is none).
  std::unordered_map<std::string, TypeInfo, ExtensionHash, std::equal_to<>> m_types;
  TypeInfo m_folderType;
};

class CFileListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column { kName, kSize, kDate, kType, kColumns };

  explicit CFileListModel(QObject* parent = nullptr);

  // Replaces the rows when their visible text differs; false when nothing changed
  // (and nothing was redrawn).
  bool SetRows(const QString& folder, std::vector<FileRow> rows);
  // The texts the list shows for a row.
  static QString SizeText(const FileRow& row);
  QString DateText(const FileRow& row) const;
  const std::vector<FileRow>& Rows() const { return m_rows; }
  const QString& Folder() const { return m_folder; }
  int Refills() const { return m_refills; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // ".." stays first and folders before files in either order; column -1 is the
  // listing's own order.
  void sort(int column, Qt::SortOrder order) override;
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  Qt::DropActions supportedDragActions() const override;
  Qt::DropActions supportedDropActions() const override;

 private:
  void SortRows(std::vector<FileRow>& rows) const;
  bool SameText(const FileRow& a, const FileRow& b) const;
  QIcon IconOf(const FileRow& row) const;

  QString m_folder;
  std::vector<FileRow> m_rows;
  int m_sortColumn = -1;
  Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
  int m_refills = 0;
  QLocale m_locale = QLocale::system();
  QString m_dateFormat = m_locale.dateTimeFormat(QLocale::ShortFormat);
  mutable QFileIconProvider m_iconProvider;
  mutable QHash<QString, QIcon> m_icons;
};
