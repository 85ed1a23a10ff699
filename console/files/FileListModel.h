// The rows of the file pane and the model the list shows them through. Rows are
// built on the listing thread (QMimeDatabase and QLocale are thread-safe); icons
// are made on the GUI thread only for rows that are drawn, one per file type.
#pragma once

#include <QAbstractTableModel>
#include <QFileIconProvider>
#include <QHash>
#include <QIcon>
#include <QString>

#include <string>
#include <vector>

struct ScannedFolder;

struct FileRow {
  QString name;
  QString size;  // empty for a folder
  QString date;
  QString type;
  QString mimeName;  // picks the icon
  bool folder = false;
  quint64 bytes = 0;
  qint64 modified = 0;  // milliseconds since the epoch, for sorting
  // The visible content: what decides whether the list must be refilled.
  bool SameText(const FileRow& other) const {
    return name == other.name && size == other.size && date == other.date && type == other.type;
  }
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
  const TypeInfo& TypeOf(const QString& name);

  // Keyed by the text after the last dot (the name when there is none).
  QHash<QString, TypeInfo> m_types;
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
  QIcon IconOf(const FileRow& row) const;

  QString m_folder;
  std::vector<FileRow> m_rows;
  int m_sortColumn = -1;
  Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
  int m_refills = 0;
  mutable QFileIconProvider m_iconProvider;
  mutable QHash<QString, QIcon> m_icons;
};
