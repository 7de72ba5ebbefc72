// Starts the built program with an event file on its command line and checks
// what its window shows (the program writes it out when LOGWICK_DUMP_VIEW is set).
#include <QProcess>

#include "app_test_support.h"
#include "lists/report.h"
#include "sim/event_generator.h"

class EndToEndTest : public QObject {
  Q_OBJECT

  QStringList Run(const QStringList& args) {
    QTemporaryDir dir;
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", dir.path() + "/config");
    env.insert("XDG_DATA_HOME", dir.path() + "/data");
    env.insert("LOGWICK_DUMP_VIEW", dir.path() + "/view.txt");
    p.setProcessEnvironment(env);
    p.start(LOGWICK_BIN_DIR "/logwick", args);
    if (!p.waitForFinished(60000)) p.kill();
    QFile f(dir.path() + "/view.txt");
    if (!f.open(QIODevice::ReadOnly)) return {"no dump"};
    QStringList out = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    if (QFile::exists(dir.path() + "/data/applications/logwick.desktop")) out << "registered";
    return out;
  }

 private slots:
  void ShowsTheEventsOfTheFileOnItsCommandLine() {
    CT7KEventList list;
    list.m_nPanelType = 2;
    list.m_nSerNum = 4660;
    list.m_texts = logwick::SampleMessageTexts(logwick::kSampleMessageCount);
    QStringList expected;
    for (const CT7KEvent& ev : logwick::GenerateSampleEvents(250, 7)) {
      list.AddTail(ev);
      std::string line;
      logwick::AppendEventLine(line, ev, list.m_texts);
      expected << "row\t" + QString::fromStdString(line);
    }
    QTemporaryDir dir;
    const QString path = apptest::WriteSample(dir.path() + "/с пробелом.t7kev", list);

    const QStringList out = Run({"-x", path, "second.t7kev"});
    QCOMPARE(out.filter(QRegularExpression("^row\t")), expected);
    for (const char* line : {"message\tОшибка\tНеизвестный ключ x", "message\tОшибка\tУказано больше одного файла",
                             "line\t1007\tВ базе 250 событий", "line\t1009\tПрибор Тарвел-7Л (с/н 4660)",
                             "line\t1011\tПоказываются все события", "registered"})
      QVERIFY2(out.contains(line), line);
  }

  void AFileThatCannotBeOpenedLeavesTheListEmpty() {
    const QStringList out = Run({"/nonexistent/none.t7kev"});  // a path, not a switch
    QVERIFY(out.contains("message\tОшибка\tНе могу прочитать файл\\r\\n/nonexistent/none.t7kev"));
    QVERIFY(out.contains("line\t1007\tБаза сообщений пуста"));
    QVERIFY(out.filter(QRegularExpression("^row\t")).isEmpty());
  }
};

LOGWICK_QTEST_MAIN(EndToEndTest)
#include "end_to_end_test.moc"
