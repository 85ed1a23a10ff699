// "Check For Updates": the running version, the published one, and where to get
// a newer one.
#pragma once

#include <QDialog>

class QLabel;

class CDialogCheckUpdate : public QDialog {
  Q_OBJECT

 public:
  CDialogCheckUpdate(const QString& localVersion, const QString& publishedVersion, bool newer,
                     const QString& downloadPage, QWidget* parent = nullptr);

  QString LocalVersion() const;
  QString PublishedVersion() const;
  // The "newer version" text and the link to the website.
  bool SaysNewer() const;

 private:
  QLabel* m_local = nullptr;
  QLabel* m_published = nullptr;
  QLabel* m_newer = nullptr;
};
