// Shared pieces of the desktop QTest suites: private folders per run, recorders for
// message boxes and file dialogs, and a way to act on a modal dialog once it is up.
#pragma once

#include <QtTest>
#include <QtWidgets>

#include "app/ev_list_box.h"
#include "app/main_window.h"
#include "app/message_box.h"
#include "app/qt_profile.h"
#include "app/qt_translation.h"
#include "events/codec.h"
#include "lists/event_file.h"
#include "tests/desk/desk_samples.h"

namespace apptest {

using logwick::test::TenEvents;

inline QString TempDir() {
  static QTemporaryDir dir;
  return dir.path();
}

// Run before QApplication exists.
inline void IsolateEnvironment() {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  for (const char* var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "HOME", "LOGWICK_PORTS_DIR"})
    qputenv(var, (TempDir() + "/" + var).toUtf8());
  for (const char* sub : {"/HOME/Documents", "/LOGWICK_PORTS_DIR"}) QDir().mkpath(TempDir() + sub);
}

// Records message boxes and cancels file dialogs while it lives.
struct Hooks {
  QStringList texts;
  Hooks() {
    logwick::SetMessageHook([this](const logwick::MessageRecord& r) { texts << r.text; });
    logwick::SetFileHook([](const logwick::QtFileRequest&) { return QString(); });
  }
  ~Hooks() {
    logwick::SetMessageHook({});
    logwick::SetFileHook({});
  }
};

// Runs act (which must close it) on the modal dialog named objectName (a template's id) once it is
// up and active, so that focus changes take effect; a dialog that never comes fails the test.
inline void WhenModal(const QString& objectName, std::function<void(QDialog*)> act) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [=, deadline = QDeadlineTimer(10000)]() {
    auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    const bool up = dlg && dlg->objectName() == objectName && dlg->isVisible() && dlg->isActiveWindow();
    if (!up && !deadline.hasExpired()) return;
    timer->stop();
    timer->deleteLater();
    if (up) {
      act(dlg);
      if (QTest::currentTestFailed() && dlg->isVisible()) dlg->done(QDialog::Rejected);
      return;
    }
    if (dlg) dlg->done(QDialog::Rejected);
    QTest::qFail(qPrintable("dialog " + objectName + " never appeared"), __FILE__, __LINE__);
  });
  timer->start(5);
}
inline void WhenModal(int id, std::function<void(QDialog*)> act) { WhenModal(QString::number(id), act); }

template <class W = QWidget>
W* Ctl(QWidget* dlg, int id) {
  if (W* w = dlg->findChild<W*>(QString::number(id))) return w;
  qFatal("control %d not found", id);
}

inline void Click(QWidget* dlg, int id) { QTest::mouseClick(Ctl(dlg, id), Qt::LeftButton); }
inline QString Line(QWidget* dlg, int id) { return Ctl<QLabel>(dlg, id)->text(); }

// Whether some pixel of img is within `tolerance` of c (text strokes carry the pure colour in places).
inline bool HasColour(const QImage& img, QColor c, int tolerance = 0) {
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x)
      if (const QColor p = img.pixelColor(x, y);
          qAbs(p.red() - c.red()) + qAbs(p.green() - c.green()) + qAbs(p.blue() - c.blue()) <= tolerance)
        return true;
  return false;
}

inline QString WriteSample(const QString& path, const CT7KEventList& list = TenEvents()) {
  QDir().mkpath(QFileInfo(path).path());
  if (!logwick::StoreEventFile(path.toStdString(), list).ok) qFatal("cannot write %s", qPrintable(path));
  return path;
}

// The main window started with the file at path (none: empty) and shown.
inline CLogwickDlg& Shown(CLogwickDlg& dlg, const QString& path = {}) {
  dlg.Model().OnInitDialog(path.toStdString());
  dlg.show();
  if (!QTest::qWaitForWindowExposed(&dlg)) qFatal("the main window never showed");
  return dlg;
}

}  // namespace apptest

using namespace apptest;

#define LOGWICK_QTEST_MAIN(TestObject)    \
  int main(int argc, char** argv) {       \
    apptest::IsolateEnvironment();        \
    QApplication app(argc, argv);         \
    logwick::InstallRussianTranslation(); \
    TestObject tc;                        \
    return QTest::qExec(&tc, argc, argv); \
  }
