// Starts the built program with an event file on its command line and checks
// what its window shows (the program writes it out when LOGWICK_DUMP_VIEW is set).
#include <QProcess>

#include "app_test_support.h"
#include "lists/report.h"
#include "sim/event_generator.h"
#include "version/program_version.h"

// What the program's window showed when started with args, one item a line.
static QStringList ShownAfter(const QStringList& args, const QString& dump, const QString& folder = {}) {
  qputenv("LOGWICK_DUMP_VIEW", dump.toUtf8());  // the child also inherits the private folders
  QProcess p;
  p.setWorkingDirectory(folder);
  p.start(LOGWICK_BIN_DIR "/logwick", args);
  if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
    return {"no normal end"};
  QFile f(dump);
  return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts)
                                     : QStringList{"no view"};
}

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
    const QStringList out = ShownAfter({"-x", path, "second.t7kev"}, TempDir() + "/view.txt");
    QCOMPARE(out.filter(QRegularExpression("^row\t")), expected);
    auto line = [](int id, const QString& text) { return QString("line\t%1\t%2").arg(id).arg(text); };
    for (const QString& shown : {QString("message\tОшибка\tНеизвестный ключ x"),
                                 QString("message\tОшибка\tУказано больше одного файла"),
                                 line(CLogwickDlg::kIdCountLine, "В базе 250 событий"),
                                 line(CLogwickDlg::kIdPanelLine, "Прибор Тарвел-7Л (с/н 4660)"),
                                 line(CLogwickDlg::kIdFilterLine, "Показываются все события")})
      QVERIFY2(out.contains(shown), qPrintable(shown));
  }

  // After a start the desktop knows event files, as xdg-mime finds them outside any desktop session (the
  // tools come with scripts/install-deps.sh gui): their type from the MIME database, the program as the
  // application that opens them.
  void TheDesktopKnowsEventFilesAfterAStart() {
    const QString file = WriteSample(TempDir() + "/desktop/list.t7kev");
    QVERIFY(ShownAfter({file}, TempDir() + "/desktop/view.txt")
                .contains(QString("line\t%1\tВ базе 10 событий").arg(CLogwickDlg::kIdCountLine)));
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
    QVERIFY(ShownAfter({"--", "--help"}, TempDir() + "/switch.txt", TempDir())
                .contains(QString("line\t%1\tВ базе 10 событий").arg(CLogwickDlg::kIdCountLine)));
  }
};

LOGWICK_QTEST_MAIN(EndToEndTest)
#include "end_to_end_test.moc"
