#include "console/docs/PageLoader.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextDocument>
#include <QThread>

#include <string>
#include <string_view>

#include "console/docs/ManualPage.h"

namespace {

// A manual page: its style sheets and images are files beside it. They are
// read by the thread that asks, and kept with the page.
class CManualPage : public QTextDocument {
 public:
  explicit CManualPage(const QUrl& address) : m_address(address) {
    setMetaInformation(QTextDocument::DocumentUrl, address.toString());
  }

 protected:
  QVariant loadResource(int type, const QUrl& name) override {
    const QUrl url = m_address.resolved(name);
    if (!url.isLocalFile()) return {};
    QFile file(url.toLocalFile());
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    QVariant resource;
    if (type == QTextDocument::ImageResource) {
      // An image, not a pixmap: pixmaps belong to the GUI thread.
      const QImage image = QImage::fromData(bytes);
      if (image.isNull()) return {};
      resource = image;
    } else if (type == QTextDocument::StyleSheetResource) {
      resource = QString::fromUtf8(bytes);
    } else {
      resource = bytes;
    }
    addResource(type, name, resource);
    return resource;
  }

 private:
  QUrl m_address;
};

// Loads every image the page shows, so that showing it reads no file.
void LoadImages(QTextDocument& page) {
  for (QTextBlock block = page.begin(); block.isValid(); block = block.next()) {
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
      const QTextCharFormat format = it.fragment().charFormat();
      if (format.isImageFormat()) page.resource(QTextDocument::ImageResource, QUrl(format.toImageFormat().name()));
    }
  }
}

QString HtmlText(const QByteArray& bytes) {
  QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
  return decoder.isValid() ? QString(decoder(bytes)) : QString::fromUtf8(bytes);
}

}  // namespace

CPageLoader::CPageLoader(Loaded loaded, QObject* parent)
    : QObject(parent), m_loaded(std::move(loaded)), m_guiThread(thread()), m_worker([this] { Run(); }) {}

CPageLoader::~CPageLoader() {
  m_requests.Close();
  m_worker.join();
}

std::uint64_t CPageLoader::Load(const QUrl& file, const QFont& font) { return m_requests.Put({file, font}); }

void CPageLoader::Cancel() { m_requests.Cancel(); }

std::unique_ptr<QTextDocument> CPageLoader::Build(const QUrl& file, const QFont& font) {
  auto page = std::make_unique<CManualPage>(file);
  page->setDefaultFont(font);
  QFile in(file.toLocalFile());
  if (!in.open(QIODevice::ReadOnly)) {
    page->setHtml(tr("<p>The page <b>%1</b> could not be read.</p>").arg(file.toLocalFile().toHtmlEscaped()));
    return page;
  }
  const QByteArray bytes = in.readAll();
  const QString suffix = QFileInfo(file.fileName()).suffix().toLower();
  if (suffix == QLatin1String("html") || suffix == QLatin1String("htm")) {
    const std::string html = manual::PrepareHtml(std::string_view(bytes.constData(), bytes.size()));
    page->setHtml(HtmlText(QByteArray::fromRawData(html.data(), static_cast<qsizetype>(html.size()))));
    LoadImages(*page);
  } else {
    page->setPlainText(QString::fromUtf8(bytes));
  }
  return page;
}

void CPageLoader::Run() {
  while (std::optional<CLatestRequest<Request>::Numbered> taken = m_requests.Take()) {
    std::unique_ptr<QTextDocument> page = Build(taken->request.file, taken->request.font);
    // A page nobody waits for any more ends here, on its own thread.
    if (!m_requests.IsLatest(taken->number)) continue;
    page->moveToThread(m_guiThread);
    QMetaObject::invokeMethod(
        this, [this, number = taken->number, page = std::move(page)]() mutable { m_loaded(number, std::move(page)); },
        Qt::QueuedConnection);
  }
}
