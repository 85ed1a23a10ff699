// Carrying calls from worker threads to the GUI thread.
#pragma once

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <thread>
#include <utility>

// Runs `call` on the thread of `context` and returns when it has run, as a
// synchronous window message would; on that thread itself it runs at once. The
// GUI thread must never wait for a worker that may be inside this call without
// processing events meanwhile (see RunHandlingEvents).
template <typename Call>
void RunOnGuiThread(QObject* context, Call&& call) {
  if (QThread::currentThread() == context->thread()) {
    call();
    return;
  }
  QMetaObject::invokeMethod(context, std::forward<Call>(call), Qt::BlockingQueuedConnection);
}

// Like RunOnGuiThread, returning the call's result.
template <typename Result, typename Call>
Result ResultOnGuiThread(QObject* context, Call&& call) {
  Result result{};
  RunOnGuiThread(context, [&] { result = call(); });
  return result;
}

// Runs `work` on a thread of its own and returns once it has ended. The calling
// (GUI) thread handles events meanwhile, so that `work` may wait for workers that
// call into it; it sleeps until an event arrives, the end of `work` included.
template <typename Work>
void RunHandlingEvents(Work&& work) {
  QEventLoop loop;
  std::thread thread([&] {
    work();
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
  thread.join();
}
