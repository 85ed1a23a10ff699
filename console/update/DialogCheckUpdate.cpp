#include "console/update/DialogCheckUpdate.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CDialogCheckUpdate::CDialogCheckUpdate(const QString& localVersion, const QString& publishedVersion,
                                       bool newer, const QString& downloadPage, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(tr("Check For Updates"));
  setObjectName(QStringLiteral("CheckForUpdates"));

  auto* checking = new QLabel(tr("Checking if a newer version is available..."), this);
  m_local = new QLabel(localVersion, this);
  m_published = new QLabel(publishedVersion, this);
  for (QLabel* version : {m_local, m_published}) version->setTextInteractionFlags(Qt::TextSelectableByMouse);
  auto* versions = new QFormLayout;
  versions->addRow(tr("Your version is:"), m_local);
  versions->addRow(tr("Current version is:"), m_published);

  m_newer = new QLabel(tr("A newer version of Calyx is available.\nIt can be downloaded from the Calyx website."),
                       this);
  m_newer->setVisible(newer);
  auto* link = new QLabel(this);
  link->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                    .arg(downloadPage.toHtmlEscaped(), tr("Click here to go to the website")));
  link->setOpenExternalLinks(true);
  link->setTextInteractionFlags(Qt::TextBrowserInteraction);
  link->setAccessibleName(tr("Click here to go to the website"));
  link->setVisible(!downloadPage.isEmpty());

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(checking);
  layout->addLayout(versions);
  layout->addWidget(m_newer);
  layout->addWidget(link);
  layout->addWidget(buttons);
}

QString CDialogCheckUpdate::LocalVersion() const { return m_local->text(); }

QString CDialogCheckUpdate::PublishedVersion() const { return m_published->text(); }

bool CDialogCheckUpdate::SaysNewer() const { return !m_newer->isHidden(); }
