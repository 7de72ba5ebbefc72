#include "app/fetchlog.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include "app/message_box.h"
#include "app/settings.h"
#include "app/text_progress_ctrl.h"
#include "link/comm_port.h"
#include "link/readout.h"

namespace {

// The serial number found or used by the last reading; the next one starts
// from it.
std::uint32_t g_nCurrentSerNum = 0;

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

}  // namespace

class CFetchlog::View : public logwick::IReadoutView {
 public:
  explicit View(CFetchlog& dlg) : m_dlg(dlg) {}
  void SetStatus(const std::string& t) override {
    m_dlg.Post([&](Pending& p) { p.status = Q(t); });
  }
  void SetVersionLine(const std::string& t) override {
    m_dlg.Post([&](Pending& p) { p.version = Q(t); });
  }
  void SetCountLine(const std::string& t) override {
    m_dlg.Post([&](Pending& p) { p.count = Q(t); });
  }
  void SetEventLine(const std::string& t) override {
    m_dlg.Post([&](Pending& p) { p.eventLine = Q(t); });
  }
  void ShowReadingLabel() override {
    m_dlg.Post([](Pending& p) { p.showLabel = true; });
  }
  void SetButtonText(const std::string& t) override {
    m_dlg.Post([&](Pending& p) { p.button = Q(t); });
  }
  void SetProgressRange(int lower, int upper) override {
    // A new range makes any position recorded for the old one stale.
    m_dlg.Post([&](Pending& p) {
      p.range = std::make_pair(lower, upper);
      p.pos.reset();
    });
  }
  void SetProgressPos(int pos) override {
    m_dlg.Post([&](Pending& p) { p.pos = pos; });
  }
  void ShowWarning(const std::string& t) override {
    m_dlg.Post([&](Pending& p) { p.warnings.push_back(Q(t)); });
  }

 private:
  CFetchlog& m_dlg;
};

bool CFetchlog::Pending::Empty() const {
  return !status && !version && !count && !eventLine && !button && !showLabel && !range && !pos &&
         warnings.empty() && !result;
}

CFetchlog::CFetchlog(unsigned port, CT7KEventList& list, QWidget* parent, Job job)
    : TemplateDialog(parent, QString(), 186, 114), m_list(&list), m_port(port), m_job(std::move(job)) {
  setObjectName("103");
  // A modal frame without caption or system menu.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint);
  m_editStatus = AddEdit(1001, {7, 7, 172, 12}, true);
  m_editStatus->setAlignment(Qt::AlignCenter);
  m_editVersion = AddEdit(1002, {7, 20, 172, 12}, true);
  m_editCount = AddEdit(1003, {7, 35, 172, 12}, true);
  m_labelReading = AddStatic(1005, "Читается:", {7, 50, 34, 11});
  m_labelReading->hide();
  m_editEvent = AddEdit(1004, {44, 50, 135, 12}, true);
  auto* frame = Place(new QFrame(this), -1, {7, 72, 172, 12});
  frame->setFrameShape(QFrame::Box);
  frame->setLineWidth(1);
  m_progress = new CTextProgressCtrl(this);
  m_progress->setObjectName("1000");
  m_progress->setGeometry(frame->geometry().adjusted(1, 1, -1, -1));
  m_button = AddButton(2, "Отмена", {68, 93, 50, 14});
  m_button->setAutoDefault(false);
  connect(m_button, &QPushButton::clicked, this, &CFetchlog::reject);
  m_view = std::make_unique<View>(*this);
  if (!m_job) m_job = PanelJob(port);
}

CFetchlog::~CFetchlog() {
  m_cancel = true;
  if (m_worker.joinable()) m_worker.join();
}

CFetchlog::Job CFetchlog::PanelJob(unsigned port) {
  logwick::ReadoutParams params;
  params.portNumber = port;
  params.autoSerial = g_bAutoSN != 0;
  params.gazMode = g_bGazMode != 0;
  params.selectedSerial = g_nSelectedSerNum;
  return [params](logwick::IReadoutView& view, const std::atomic<bool>& cancel, CT7KEventList& list) {
    CCommPort comm;
    return logwick::RunReadout(params, comm, view, cancel, list, g_nCurrentSerNum);
  };
}

int CFetchlog::exec() {
  m_progress->SetRange(0, 116);
  return TemplateDialog::exec();
}

void CFetchlog::showEvent(QShowEvent* event) {
  TemplateDialog::showEvent(event);
  if (!m_started.exchange(true)) StartWorker();
}

void CFetchlog::StartWorker() {
  m_worker = std::thread([this] {
    int code = 1;
    try {
      code = m_job(*m_view, m_cancel, *m_list);
    } catch (const std::exception& e) {
      // Never leave the dialog waiting for a worker that died.
      m_view->ShowWarning(e.what());
    }
    Post([code](Pending& p) { p.result = code; });
  });
}

void CFetchlog::reject() { m_cancel = true; }

void CFetchlog::Post(const std::function<void(Pending&)>& change) {
  std::lock_guard<std::mutex> guard(m_lock);
  change(m_pending);
  if (m_posted) return;
  m_posted = true;
  QMetaObject::invokeMethod(
      this, [this] { ApplyPending(); }, Qt::QueuedConnection);
}

void CFetchlog::ApplyPending() {
  if (m_applying) return;  // a warning box is open; the running call takes the rest
  m_applying = true;
  for (;;) {
    Pending p;
    {
      std::lock_guard<std::mutex> guard(m_lock);
      p = std::move(m_pending);
      m_pending = Pending{};
      m_posted = false;
    }
    if (p.Empty()) break;
    if (p.status) m_editStatus->setText(*p.status);
    if (p.version) m_editVersion->setText(*p.version);
    if (p.count) m_editCount->setText(*p.count);
    if (p.showLabel) m_labelReading->show();
    if (p.eventLine) m_editEvent->setText(*p.eventLine);
    if (p.button) m_button->setText(*p.button);
    if (p.range) m_progress->SetRange(p.range->first, p.range->second);
    if (p.pos) m_progress->SetPos(*p.pos);
    for (const QString& w : p.warnings)
      logwick::ShowMessage(this, w, logwick::AppTitle(), logwick::MsgIcon::Warning);
    if (p.result) {
      done(*p.result == 0 ? 1 : 2);
      break;
    }
  }
  m_applying = false;
}
