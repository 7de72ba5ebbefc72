// What a worker thread has to tell the interface thread, gathered under a
// lock: each change updates one pending record, and the first change since the
// record was last taken posts one call of `deliver` to the interface thread.
// So the worker never waits for the interface, updates that come faster than
// the interface takes them cost one posted call, and calls still on their way
// when this object goes are dropped.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <utility>

#include "desk/face.h"

namespace logwick {

template <class Pending>
class PendingUpdates {
 public:
  PendingUpdates(IDeskFace& face, std::function<void()> deliver)
      : m_face(face), m_alive(std::make_shared<std::function<void()>>(std::move(deliver))) {}
  PendingUpdates(const PendingUpdates&) = delete;
  PendingUpdates& operator=(const PendingUpdates&) = delete;

  // Any thread.
  void Post(const std::function<void(Pending&)>& change) {
    std::lock_guard<std::mutex> guard(m_lock);
    change(m_pending);
    if (m_posted) return;
    m_posted = true;
    m_face.Post([weak = std::weak_ptr<std::function<void()>>(m_alive)] {
      if (const auto deliver = weak.lock()) (*deliver)();
    });
  }

  // The interface thread: the record as it stands, leaving an empty one.
  Pending Take() {
    std::lock_guard<std::mutex> guard(m_lock);
    Pending p = std::move(m_pending);
    m_pending = Pending{};
    m_posted = false;
    return p;
  }

 private:
  IDeskFace& m_face;
  // Owned here and only weakly by the posted calls: once this object is
  // gone, a call that arrives late finds nothing to deliver to.
  std::shared_ptr<std::function<void()>> m_alive;
  std::mutex m_lock;
  Pending m_pending;      // guarded by m_lock
  bool m_posted = false;  // guarded by m_lock: a delivery is on its way
};

}  // namespace logwick
