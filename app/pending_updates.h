// What a worker thread has to tell the interface thread, gathered under a
// lock: each change updates one pending record, and the first change since the
// record was last taken queues one call of `deliver` on the thread of
// `context`. So the worker never waits for the interface, updates that come
// faster than the interface takes them cost one queued call, and calls still
// queued when `context` goes are dropped with it.
#pragma once

#include <QObject>
#include <functional>
#include <mutex>
#include <utility>

namespace logwick {

template <class Pending>
class PendingUpdates {
 public:
  PendingUpdates(QObject* context, std::function<void()> deliver)
      : m_context(context), m_deliver(std::move(deliver)) {}

  // Any thread.
  void Post(const std::function<void(Pending&)>& change) {
    std::lock_guard<std::mutex> guard(m_lock);
    change(m_pending);
    if (m_posted) return;
    m_posted = true;
    QMetaObject::invokeMethod(m_context, m_deliver, Qt::QueuedConnection);
  }

  // The context's thread: the record as it stands, leaving an empty one.
  Pending Take() {
    std::lock_guard<std::mutex> guard(m_lock);
    Pending p = std::move(m_pending);
    m_pending = Pending{};
    m_posted = false;
    return p;
  }

 private:
  QObject* m_context;
  std::function<void()> m_deliver;
  std::mutex m_lock;
  Pending m_pending;      // guarded by m_lock
  bool m_posted = false;  // guarded by m_lock: a delivery is queued
};

}  // namespace logwick
