#include "desk/reading_session.h"

#include "events/strformat.h"
#include "link/comm_port.h"

namespace logwick {

class ReadingSession::View : public IReadoutView {
 public:
  explicit View(ReadingSession& session) : m_session(session) {}

  void StepBegan(ReadoutStep step, std::uint32_t serial) override {
    if (step == ReadoutStep::Events) m_eventsBegun = true;
    Post([text = ReadoutStepText(step, serial)](Pending& p) { p.status = text; });
  }
  void EventsBegan(const PanelLogSummary& log) override {
    m_eventsBegun = true;
    Post([version = PanelVersionText(log), count = PanelCountText(log)](Pending& p) {
      p.version = version;
      p.count = count;
      p.eventsBegan = true;
    });
  }
  void ProgressRange(int upper) override {
    // A new range makes any position recorded for the old one stale.
    Post([upper](Pending& p) {
      p.range = upper;
      p.position.reset();
    });
  }
  void ProgressAt(int position) override {
    Post([position](Pending& p) { p.position = position; });
  }
  void EventRead(int blockEnd, const CT7KEvent& event) override {
    Post([line = StrFormat("%4d от %s", blockEnd, event.GetTimeText().c_str())](Pending& p) {
      p.eventLine = line;
    });
  }
  void Warning(ReadoutStatus status) override {
    Post([text = ReadoutMessage(status)](Pending& p) { p.warnings.push_back(text); });
  }

  // Worker thread only: the failure an escaped exception stands for.
  ReadoutStatus EscapedFailure() const {
    return m_eventsBegun ? ReadoutStatus::EventsNotRead : ReadoutStatus::InfoNotRead;
  }

 private:
  void Post(const std::function<void(Pending&)>& change) { m_session.m_updates.Post(change); }

  ReadingSession& m_session;
  bool m_eventsBegun = false;  // worker thread only
};

bool ReadingSession::Pending::Empty() const {
  return !status && !version && !count && !eventLine && !eventsBegan && !range && !position &&
         warnings.empty() && !result;
}

ReadingSession::ReadingSession(IDeskFace& face, const ReadoutSettings& settings, Job job)
    : m_face(face),
      m_settings(settings),
      m_job(std::move(job)),
      m_view(std::make_unique<View>(*this)),
      m_updates(face, [this] { Deliver(); }) {
  if (!m_job)
    m_job = [](const ReadoutSettings& s, IReadoutView& view, const std::atomic<bool>& cancel) {
      CCommPort comm;
      return RunReadout(s, comm, view, cancel);
    };
}

ReadingSession::~ReadingSession() {
  m_cancel = true;
  if (m_worker.joinable()) m_worker.join();
}

void ReadingSession::Start(std::function<void()> changed, std::function<void(int)> finished) {
  if (m_worker.joinable() || m_finished) return;
  m_changed = std::move(changed);
  m_done = std::move(finished);
  m_worker = std::thread([this] {
    ReadoutResult result;
    try {
      result = m_job(m_settings, *m_view, m_cancel);
    } catch (...) {
      // Never leave the dialog waiting for a worker that died, nor show the
      // user a library's English: a job that died failed its step. Its
      // result is lost, so the caller keeps the list it had.
      result = {.status = m_view->EscapedFailure()};
      m_updates.Post([text = ReadoutMessage(result.status)](Pending& p) { p.warnings.push_back(text); });
    }
    m_updates.Post([&](Pending& p) { p.result = std::move(result); });
  });
}

void ReadingSession::Deliver() {
  if (m_delivering) return;  // a warning box is open; the running call takes the rest
  m_delivering = true;
  for (;;) {
    Pending p = m_updates.Take();
    if (p.Empty() || m_finished) break;
    State& s = m_state;
    if (p.status) s.status = std::move(*p.status);
    if (p.version) s.version = std::move(*p.version);
    if (p.count) s.count = std::move(*p.count);
    if (p.eventsBegan) {
      s.readingLabel = true;
      s.button = "Остановить";
    }
    if (p.eventLine) s.eventLine = std::move(*p.eventLine);
    if (p.range) s.rangeUpper = *p.range;
    if (p.position) s.position = *p.position;
    if (m_changed) m_changed();
    for (const std::string& w : p.warnings)
      m_face.ShowMessage({w, MsgCaption::Title, MsgIcon::Warning, MsgOwner::Reading});
    if (p.result) {
      m_worker.join();
      m_finished = true;
      const bool completed = p.result->status == ReadoutStatus::Ok;
      m_result = std::move(*p.result);
      if (m_done) m_done(completed ? 1 : 2);
      break;
    }
  }
  m_delivering = false;
}

}  // namespace logwick
