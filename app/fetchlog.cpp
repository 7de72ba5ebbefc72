#include "app/fetchlog.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include "app/message_box.h"
#include "app/text_progress_ctrl.h"
#include "events/strformat.h"
#include "link/comm_port.h"

namespace {

using logwick::ReadoutStep;

// The first range the user sees; the read-out replaces it.
constexpr int kInitialRange = 116;

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

}  // namespace

class CFetchlog::View : public logwick::IReadoutView {
 public:
  explicit View(CFetchlog& dlg) : m_dlg(dlg) {}
  void StepBegan(ReadoutStep step, std::uint32_t serial) override {
    m_dlg.Post([text = Q(logwick::ReadoutStepText(step, serial))](Pending& p) { p.status = text; });
  }
  void EventsBegan(const logwick::PanelLogSummary& log) override {
    const QString version = Q(logwick::PanelVersionText(log));
    const QString count = Q(logwick::PanelCountText(log));
    m_dlg.Post([&](Pending& p) {
      p.version = version;
      p.count = count;
      p.eventsBegan = true;
    });
  }
  void ProgressRange(int upper) override {
    // A new range makes any position recorded for the old one stale.
    m_dlg.Post([&](Pending& p) {
      p.range = upper;
      p.pos.reset();
    });
  }
  void ProgressAt(int position) override {
    m_dlg.Post([&](Pending& p) { p.pos = position; });
  }
  void EventRead(int blockEnd, const CT7KEvent& event) override {
    const QString line = Q(logwick::StrFormat("%4d от %s", blockEnd, event.GetTimeText().c_str()));
    m_dlg.Post([&](Pending& p) { p.eventLine = line; });
  }
  void Warning(logwick::ReadoutStatus status) override {
    const QString text = Q(logwick::ReadoutMessage(status));
    m_dlg.Post([&](Pending& p) { p.warnings.push_back(text); });
  }

 private:
  CFetchlog& m_dlg;
};

bool CFetchlog::Pending::Empty() const {
  return !status && !version && !count && !eventLine && !eventsBegan && !range && !pos && warnings.empty() &&
         !result;
}

CFetchlog::CFetchlog(const logwick::ReadoutSettings& settings, QWidget* parent, Job job)
    : TemplateDialog(parent, QString(), 186, 114), m_settings(settings), m_job(std::move(job)) {
  setObjectName(QString::number(kIdDialog));
  // A modal frame without caption or system menu.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint);
  m_editStatus = AddEdit(kIdStatus, {7, 7, 172, 12}, true);
  m_editStatus->setAlignment(Qt::AlignCenter);
  m_editVersion = AddEdit(kIdVersion, {7, 20, 172, 12}, true);
  m_editCount = AddEdit(kIdCount, {7, 35, 172, 12}, true);
  m_labelReading = AddStatic(kIdReadingLabel, "Читается:", {7, 50, 34, 11});
  m_labelReading->hide();
  m_editEvent = AddEdit(kIdEvent, {44, 50, 135, 12}, true);
  auto* frame = Place(new QFrame(this), -1, {7, 72, 172, 12});
  frame->setFrameShape(QFrame::Box);
  frame->setLineWidth(1);
  m_progress = new CTextProgressCtrl(this);
  m_progress->setObjectName(QString::number(kIdProgress));
  m_progress->setGeometry(frame->geometry().adjusted(1, 1, -1, -1));
  m_button = AddButton(kIdStop, "Отмена", {68, 93, 50, 14});
  m_button->setAutoDefault(false);
  connect(m_button, &QPushButton::clicked, this, &CFetchlog::reject);
  m_view = std::make_unique<View>(*this);
  if (!m_job)
    m_job = [](const logwick::ReadoutSettings& s, logwick::IReadoutView& view,
               const std::atomic<bool>& cancel) {
      CCommPort comm;
      return logwick::RunReadout(s, comm, view, cancel);
    };
}

CFetchlog::~CFetchlog() {
  m_cancel = true;
  if (m_worker.joinable()) m_worker.join();
}

int CFetchlog::exec() {
  m_progress->SetRange(0, kInitialRange);
  return TemplateDialog::exec();
}

void CFetchlog::showEvent(QShowEvent* event) {
  TemplateDialog::showEvent(event);
  if (!m_started.exchange(true)) StartWorker();
}

void CFetchlog::StartWorker() {
  m_worker = std::thread([this] {
    // A job that died ends like a stop: its warning has said why.
    logwick::ReadoutResult result{.status = logwick::ReadoutStatus::Cancelled};
    try {
      result = m_job(m_settings, *m_view, m_cancel);
    } catch (const std::exception& e) {
      // Never leave the dialog waiting for a worker that died.
      const QString text = QString::fromUtf8(e.what());
      Post([&](Pending& p) { p.warnings.push_back(text); });
    }
    Post([&](Pending& p) { p.result = std::move(result); });
  });
}

void CFetchlog::reject() { m_cancel = true; }

void CFetchlog::ApplyPending() {
  if (m_applying) return;  // a warning box is open; the running call takes the rest
  m_applying = true;
  for (;;) {
    Pending p = m_updates.Take();
    if (p.Empty()) break;
    if (p.status) m_editStatus->setText(*p.status);
    if (p.version) m_editVersion->setText(*p.version);
    if (p.count) m_editCount->setText(*p.count);
    if (p.eventsBegan) {
      m_labelReading->show();
      m_button->setText("Остановить");
    }
    if (p.eventLine) m_editEvent->setText(*p.eventLine);
    if (p.range) m_progress->SetRange(0, *p.range);
    if (p.pos) m_progress->SetPos(*p.pos);
    for (const QString& w : p.warnings)
      logwick::ShowMessage(this, w, logwick::AppTitle(), logwick::MsgIcon::Warning);
    if (p.result) {
      const bool completed = p.result->status == logwick::ReadoutStatus::Ok;
      m_result = std::move(*p.result);
      done(completed ? 1 : 2);
      break;
    }
  }
  m_applying = false;
}
