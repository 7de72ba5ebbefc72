// Starts the built program with an event file on its command line and checks
// what its window shows (the program writes it out when LOGWICK_DUMP_VIEW is set).
#include <QProcess>

#include "app_test_support.h"
#include "lists/report.h"
#include "sim/event_generator.h"

class EndToEndTest : public QObject {
  Q_OBJECT

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
    const QString path = WriteSample(TempDir() + "/с пробелом.t7kev", list);
    const QString dump = TempDir() + "/view.txt";

    qputenv("LOGWICK_DUMP_VIEW", dump.toUtf8());  // the child also inherits the private folders
    QVERIFY(QProcess::execute(LOGWICK_BIN_DIR "/logwick", {"-x", path, "second.t7kev"}) >= 0);  // no crash
    QFile f(dump);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QStringList out = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    QCOMPARE(out.filter(QRegularExpression("^row\t")), expected);
    auto line = [](int id, const QString& text) { return QString("line\t%1\t%2").arg(id).arg(text); };
    const QString shown[] = {
        "message\tОшибка\tНеизвестный ключ x",
        "message\tОшибка\tУказано больше одного файла",
        line(CLogwickDlg::kIdCountLine, "В базе 250 событий"),
        line(CLogwickDlg::kIdPanelLine, "Прибор Тарвел-7Л (с/н 4660)"),
        line(CLogwickDlg::kIdFilterLine, "Показываются все события"),
    };
    for (const QString& expectedLine : shown) QVERIFY2(out.contains(expectedLine), qPrintable(expectedLine));
    const QString data = qEnvironmentVariable("XDG_DATA_HOME");  // the file type is registered at start
    QFile mime(data + "/mime/packages/logwick-t7kev.xml");
    QVERIFY(mime.open(QIODevice::ReadOnly) && mime.readAll().contains("<glob pattern=\"*.t7kev\"/>"));
    QVERIFY(QFile::exists(data + "/applications/logwick.desktop"));
  }
};

LOGWICK_QTEST_MAIN(EndToEndTest)
#include "end_to_end_test.moc"
