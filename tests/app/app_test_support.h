// Shared pieces of the desktop program's QTest suites: a private settings and
// data folder for every run, a recorder for message boxes and file dialogs,
// and a way to act on a modal dialog once it is up.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <vector>

#include "app/message_box.h"
#include "events/codec.h"
#include "lists/event_file.h"
#include "view/ev_list_box.h"

namespace apptest {

// Run before QApplication exists: settings, data and the documents folder go
// into a temporary folder, and the offscreen platform is used.
inline QTemporaryDir& IsolateEnvironment() {
  static QTemporaryDir dir;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toUtf8());
  qputenv("XDG_DATA_HOME", (dir.path() + "/data").toUtf8());
  qputenv("HOME", (dir.path() + "/home").toUtf8());
  qputenv("LOGWICK_PORTS_DIR", (dir.path() + "/ports").toUtf8());
  QDir().mkpath(dir.path() + "/home/Documents");
  QDir().mkpath(dir.path() + "/ports");
  return dir;
}

// Records every message box instead of showing it.
struct MessageRecorder {
  std::vector<logwick::MessageRecord> seen;
  MessageRecorder() {
    logwick::SetMessageHook([this](const logwick::MessageRecord& r) { seen.push_back(r); });
  }
  ~MessageRecorder() { logwick::SetMessageHook({}); }
  QStringList Texts() const {
    QStringList t;
    for (const auto& r : seen) t << r.text;
    return t;
  }
};

// Answers file dialogs with the given names in turn ("" is Cancel) and keeps
// the requests.
struct FileAnswers {
  std::vector<logwick::FileRequest> requests;
  QStringList answers;
  explicit FileAnswers(QStringList a) : answers(std::move(a)) {
    logwick::SetFileHook([this](const logwick::FileRequest& r) {
      requests.push_back(r);
      return answers.isEmpty() ? QString() : answers.takeFirst();
    });
  }
  ~FileAnswers() { logwick::SetFileHook({}); }
};

// Runs act on the first modal dialog named objectName as soon as it is up;
// act must close it. A dialog that never comes fails instead of hanging.
inline void WhenModal(const QString& objectName, std::function<void(QDialog*)> act) {
  auto* timer = new QTimer;
  auto* clock = new QElapsedTimer;
  clock->start();
  QObject::connect(timer, &QTimer::timeout, [=]() {
    auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    const bool up = dlg && dlg->objectName() == objectName && dlg->isVisible();
    if (!up && clock->elapsed() < 10000) return;
    timer->stop();
    timer->deleteLater();
    delete clock;
    if (up) return act(dlg);
    if (dlg) dlg->done(QDialog::Rejected);
    qWarning("dialog %s never appeared", qPrintable(objectName));
  });
  timer->start(5);
}

template <class W>
W* Ctl(QWidget* dlg, int id) {
  W* w = dlg->findChild<W*>(QString::number(id));
  if (!w) qFatal("control %d not found", id);
  return w;
}

inline void Click(QWidget* dlg, int id) { QTest::mouseClick(Ctl<QWidget>(dlg, id), Qt::LeftButton); }

inline QStringList Rows(const CEvListBox* box) {
  QStringList rows;
  for (int i = 0; i < box->GetCount(); ++i) rows << box->GetText(i);
  return rows;
}

// Ten events of December 2015: seven mode changes (code 1) and three
// messages (code 4), read from panel 123.
inline CT7KEventList SampleList() {
  CT7KEventList l;
  l.m_nPanelType = 1;
  l.m_nSerNum = 123;
  l.m_nReadDay = 16, l.m_nReadMonth = 12, l.m_nReadYear = 2015;
  l.m_nReadHour = 14, l.m_nReadMin = 12, l.m_nReadSec = 5;
  l.m_nVerMajor = 2, l.m_nVerMinor = 5;
  l.m_nRelDay = 1, l.m_nRelMonth = 3, l.m_nRelYear = 2012;
  const std::string name = logwick::Utf8ToCp1251("Склад");
  l.SetConfigNameBytes(name.data(), name.size());
  l.m_texts = {"Пожар", "Тревога"};
  for (int i = 0; i < 10; ++i) {
    CT7KEvent ev;
    ev.SetTimeStamp(PackTimeStamp(2015, 12, 1 + i, 14, 12, 5));
    ev.SetCode(i % 3 == 0 && i > 0 ? 4 : 1);
    ev.Raw()[6] = static_cast<std::uint8_t>(i);
    l.AddTail(ev);
  }
  return l;
}

inline QString WriteSample(const QString& path, const CT7KEventList& list = SampleList()) {
  QDir().mkpath(QFileInfo(path).path());
  if (!logwick::StoreEventFile(path.toStdString(), list).ok) qFatal("cannot write %s", qPrintable(path));
  return path;
}

}  // namespace apptest

// A QTest main with the environment isolated first.
#define LOGWICK_QTEST_MAIN(TestObject)          \
  int main(int argc, char** argv) {             \
    apptest::IsolateEnvironment();              \
    QApplication app(argc, argv);               \
    TestObject tc;                              \
    return QTest::qExec(&tc, argc, argv);       \
  }
