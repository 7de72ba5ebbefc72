// Starts the installed program with an event file on its command line and
// checks what its window shows.
#include <QProcess>

#include "app_test_support.h"
#include "lists/event_file.h"
#include "lists/report.h"
#include "sim/event_generator.h"

class EndToEndTest : public QObject {
  Q_OBJECT

  QStringList Run(const QStringList& args) {
    QTemporaryDir dir;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_CONFIG_HOME", dir.path() + "/config");
    env.insert("XDG_DATA_HOME", dir.path() + "/data");
    env.insert("LOGWICK_DUMP_VIEW", dir.path() + "/view.txt");
    p.setProcessEnvironment(env);
    p.start(LOGWICK_BIN_DIR "/logwick", args);
    if (!p.waitForFinished(60000)) {
      p.kill();
      return {"timed out"};
    }
    QFile f(dir.path() + "/view.txt");
    if (!f.open(QIODevice::ReadOnly)) return {"no dump"};
    // The program registered its file type in the private data folder.
    if (!QFile::exists(dir.path() + "/data/applications/logwick.desktop")) return {"not registered"};
    return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
  }

 private slots:
  void ShowsTheEventsOfTheFileOnItsCommandLine() {
    CT7KEventList list;
    list.m_nPanelType = 2;
    list.m_nSerNum = 4660;
    list.m_texts = logwick::SampleMessageTexts(logwick::kSampleMessageCount);
    for (const CT7KEvent& ev : logwick::GenerateSampleEvents(250, 7)) list.AddTail(ev);
    QTemporaryDir dir;
    const QString path = dir.path() + "/с пробелом.t7kev";
    QVERIFY(logwick::StoreEventFile(path.toStdString(), list).ok);

    const QStringList out = Run({"-x", path, "second.t7kev"});
    QStringList rows, expected;
    for (const QString& l : out)
      if (l.startsWith("row\t")) rows << l.mid(4);
    for (const CT7KEvent& ev : list) {
      std::string line;
      logwick::AppendEventLine(line, ev, list.m_texts);
      expected << QString::fromStdString(line);
    }
    QCOMPARE(rows, expected);
    QVERIFY(out.contains("message\tОшибка\tНеизвестный ключ x"));
    QVERIFY(out.contains("message\tОшибка\tУказано больше одного файла"));
    QVERIFY(out.contains("line\t1007\tВ базе 250 событий"));
    QVERIFY(out.contains("line\t1009\tПрибор Тарвел-7Л (с/н 4660)"));
    QVERIFY(out.contains("line\t1011\tПоказываются все события"));
  }

  void AFileThatCannotBeOpenedLeavesTheListEmpty() {
    const QStringList out = Run({"/nonexistent/none.t7kev"});
    QVERIFY(out.contains("message\tОшибка\tНе могу прочитать файл\\r\\n/nonexistent/none.t7kev"));
    QVERIFY(out.contains("line\t1007\tБаза сообщений пуста"));
    for (const QString& l : out) QVERIFY(!l.startsWith("row\t"));
  }
};

LOGWICK_QTEST_MAIN(EndToEndTest)
#include "end_to_end_test.moc"
