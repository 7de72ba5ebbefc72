// Starts the built program with an event file on its command line and checks
// what its window shows (the program writes it out when LOGWICK_DUMP_VIEW is set).
#include <QProcess>

#include "app_test_support.h"
#include "lists/report.h"
#include "sim/event_generator.h"
#include "version/program_version.h"

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
  }

  // After a start the desktop knows event files, as xdg-mime finds them outside any desktop session: their
  // type from the MIME database, the program as the application that opens them.
  void TheDesktopKnowsEventFilesAfterAStart() {
    for (const char* tool : {"xdg-mime", "mimetype", "update-mime-database", "update-desktop-database"})
      QVERIFY2(!QStandardPaths::findExecutable(tool).isEmpty(),
               qPrintable(QString(tool) + " is missing: scripts/install-deps.sh gui installs it"));
    const QString file = WriteSample(TempDir() + "/desktop/list.t7kev");
    qputenv("LOGWICK_DUMP_VIEW", (TempDir() + "/desktop/view.txt").toUtf8());
    QCOMPARE(QProcess::execute(LOGWICK_BIN_DIR "/logwick", {file}), 0);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* session : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                                "GNOME_DESKTOP_SESSION_ID", "XDG_DATA_DIRS", "XDG_CONFIG_DIRS"})
      env.remove(session);
    auto query = [&](const QStringList& args) {
      QProcess p;
      p.setProcessEnvironment(env);
      p.start("xdg-mime", QStringList{"query"} + args);
      return p.waitForFinished(30000) ? QString::fromUtf8(p.readAllStandardOutput()).trimmed() : QString();
    };
    QCOMPARE(query({"filetype", file}), QString("application/x-t7kev"));
    QCOMPARE(query({"default", "application/x-t7kev"}), QString("logwick.desktop"));
    QFile cache(qEnvironmentVariable("XDG_DATA_HOME") + "/applications/mimeinfo.cache");
    QVERIFY(cache.open(QIODevice::ReadOnly) &&
            cache.readAll().contains("application/x-t7kev=logwick.desktop;"));
    QFile icon(qEnvironmentVariable("XDG_DATA_HOME") + "/icons/hicolor/48x48/apps/logwick.png");
    QVERIFY(icon.open(QIODevice::ReadOnly) && icon.readAll().startsWith("\x89PNG"));
  }

  // --version and --help are answered without a display; after "--" a name like a switch is a file.
  void AnswersVersionAndHelpAndOpensFilesNamedLikeSwitches() {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "xcb"), env.remove("DISPLAY"), env.remove("WAYLAND_DISPLAY");
    p.setProcessEnvironment(env);
    for (auto [arg, start] : {std::pair{"--version", QString("logwick ") + logwick::kProjectVersion},
                              {"--help", QString("Usage: logwick [FILE]\n")}}) {
      p.start(LOGWICK_BIN_DIR "/logwick", {"x.t7kev", arg});
      QVERIFY(p.waitForFinished(10000));
      QCOMPARE(p.exitCode(), 0);
      QVERIFY2(QString::fromUtf8(p.readAllStandardOutput()).startsWith(start), arg);
    }

    WriteSample(TempDir() + "/--help");
    const QString dump = TempDir() + "/named-like-a-switch.txt";
    qputenv("LOGWICK_DUMP_VIEW", dump.toUtf8());
    p.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    p.setWorkingDirectory(TempDir());
    p.start(LOGWICK_BIN_DIR "/logwick", {"--", "--help"});
    QVERIFY(p.waitForFinished(30000));
    QFile f(dump);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().contains("line\t1007\tВ базе 10 событий"));
  }
};

LOGWICK_QTEST_MAIN(EndToEndTest)
#include "end_to_end_test.moc"
