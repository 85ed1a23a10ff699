// Builds the manual's pages on a worker thread of its own, so that parsing a
// large page never stalls the window: the file is read and decoded, its HTML
// parsed and its style sheets and images loaded there, and the finished
// document is handed to the GUI thread. Only the newest request counts: one
// still queued when a newer one arrives is never built, and the result of one
// that was running is dropped.
#pragma once

#include <QFont>
#include <QObject>
#include <QUrl>

#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "common/LatestRequest.h"

class QTextDocument;

class CPageLoader : public QObject {
  Q_OBJECT

 public:
  // Receives each built page on this object's (the GUI) thread, and owns it.
  using Loaded = std::function<void(std::uint64_t load, std::unique_ptr<QTextDocument> page)>;

  explicit CPageLoader(Loaded loaded, QObject* parent = nullptr);
  // Waits for a page being parsed (the parser cannot be interrupted).
  ~CPageLoader() override;

  // Starts building the page in the local file `file` with `font` as its
  // default font; returns the load's number.
  std::uint64_t Load(const QUrl& file, const QFont& font);
  // Drops the queued load and the result of the running one.
  void Cancel();

  // The page in `file` as a document, built on the calling thread. Unreadable
  // files give a page that says so.
  static std::unique_ptr<QTextDocument> Build(const QUrl& file, const QFont& font);

 private:
  struct Request {
    QUrl file;
    QFont font;
  };

  void Run();

  Loaded m_loaded;
  QThread* m_guiThread;
  CLatestRequest<Request> m_requests;
  std::thread m_worker;
};
