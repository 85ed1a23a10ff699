// Carrying calls from worker threads to the GUI thread.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <utility>

// Runs `call` on the thread of `context` and returns when it has run, as a
// synchronous window message would; on that thread itself it runs at once. The
// GUI thread must never wait for a worker that may be inside this call without
// processing events meanwhile (see WaitProcessingEvents).
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

// Waits on the GUI thread for `done` to hold, handling events meanwhile so that
// workers that call into the GUI thread can finish. False on timeout.
template <typename Done>
bool WaitProcessingEvents(Done&& done, int timeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() >= timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return true;
}
