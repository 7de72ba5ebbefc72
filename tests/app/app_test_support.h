// Shared pieces of the desktop QTest suites: private folders per run, recorders for
// message boxes and file dialogs, and a way to act on a modal dialog once it is up.
#pragma once

#include <QtTest>
#include <QtWidgets>

#include "app/logwick_dlg.h"
#include "app/message_box.h"
#include "app/settings.h"
#include "events/codec.h"
#include "lists/event_file.h"
#include "app/ev_list_box.h"

namespace apptest {

inline QString TempDir() {
  static QTemporaryDir dir;
  return dir.path();
}

// Run before QApplication exists.
inline void IsolateEnvironment() {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  for (auto [var, sub] : {std::pair{"XDG_CONFIG_HOME", "/config"},
                          {"XDG_DATA_HOME", "/data"},
                          {"HOME", "/home"},
                          {"LOGWICK_PORTS_DIR", "/ports"}})
    qputenv(var, (TempDir() + sub).toUtf8());
  for (const char* sub : {"/home/Documents", "/ports"}) QDir().mkpath(TempDir() + sub);
}

// Records message boxes; answers file dialogs with answers in turn (none left: Cancel).
struct Hooks {
  QStringList texts, captions, answers, folders;
  Hooks() {
    logwick::SetMessageHook(
        [this](const logwick::MessageRecord& r) { texts << r.text, captions << r.caption; });
    logwick::SetFileHook([this](const logwick::FileRequest& r) {
      return folders << r.folder, answers.isEmpty() ? QString() : answers.takeFirst();
    });
  }
  ~Hooks() { logwick::SetMessageHook({}), logwick::SetFileHook({}); }
};

// Runs act (which must close it) on the modal dialog named objectName once it
// is up. A dialog that never comes fails instead of hanging.
inline void WhenModal(const QString& objectName, std::function<void(QDialog*)> act) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [=, deadline = QDeadlineTimer(10000)]() {
    auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    const bool up = dlg && dlg->objectName() == objectName && dlg->isVisible();
    if (!up && !deadline.hasExpired()) return;
    timer->stop(), timer->deleteLater();
    if (up) return act(dlg);
    if (dlg) dlg->done(QDialog::Rejected);
    QTest::qFail(qPrintable("dialog " + objectName + " never appeared"), __FILE__, __LINE__);
  });
  timer->start(5);
}

template <class W = QWidget>
W* Ctl(QWidget* dlg, int id) {
  if (W* w = dlg->findChild<W*>(QString::number(id))) return w;
  qFatal("control %d not found", id);
}

inline void Click(QWidget* dlg, int id) { QTest::mouseClick(Ctl(dlg, id), Qt::LeftButton); }
inline QString Line(QWidget* dlg, int id) { return Ctl<QLabel>(dlg, id)->text(); }

inline QStringList Rows(const CEvListBox* box) {
  QStringList rows;
  for (int i = 0; i < box->GetCount(); ++i) rows << box->GetText(i);
  return rows;
}

// Ten events of December 2015 from panel 123: seven mode changes (code 1), three messages (code 4).
inline CT7KEventList SampleList() {
  CT7KEventList l;
  l.m_nPanelType = 1, l.m_nSerNum = 123, l.m_nVerMajor = 2, l.m_nVerMinor = 5;
  l.m_nReadDay = 16, l.m_nReadMonth = 12, l.m_nReadYear = 2015, l.m_nReadHour = 14, l.m_nReadMin = 12,
  l.m_nReadSec = 5;
  l.m_nRelDay = 1, l.m_nRelMonth = 3, l.m_nRelYear = 2012, l.m_texts = {"Пожар", "Тревога"};
  const std::string name = logwick::Utf8ToCp1251("Склад");
  l.SetConfigNameBytes(name.data(), name.size());
  for (int i = 0; i < 10; ++i) {
    CT7KEvent ev;
    ev.SetTimeStamp(PackTimeStamp(2015, 12, 1 + i, 14, 12, 5)), ev.SetCode(i % 3 == 0 && i > 0 ? 4 : 1);
    ev.Raw()[6] = static_cast<std::uint8_t>(i), l.AddTail(ev);
  }
  return l;
}

inline QString WriteSample(const QString& path, const CT7KEventList& list = SampleList()) {
  QDir().mkpath(QFileInfo(path).path());
  if (!logwick::StoreEventFile(path.toStdString(), list).ok) qFatal("cannot write %s", qPrintable(path));
  return path;
}

}  // namespace apptest

using namespace apptest;

#define LOGWICK_QTEST_MAIN(TestObject)    \
  int main(int argc, char** argv) {       \
    apptest::IsolateEnvironment();        \
    QApplication app(argc, argv);         \
    TestObject tc;                        \
    return QTest::qExec(&tc, argc, argv); \
  }
