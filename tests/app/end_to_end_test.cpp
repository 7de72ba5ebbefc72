// Starts the built program: what its window shows (it writes that out when LOGWICK_DUMP_VIEW is set), what
// the desktop knows after a start, and what it answers without a display.
#include <QProcess>

#include "app_test_support.h"
#include "lists/report.h"
#include "version/program_version.h"

// What program writes to its standard output, run in the private folder; "<failed>" when it ends badly.
static QString Output(const QString& program, const QStringList& args,
                      const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
  QProcess p;
  p.setProcessEnvironment(env);
  p.setWorkingDirectory(TempDir());
  p.start(program, args);
  const bool ok = p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
  return ok ? QString::fromUtf8(p.readAllStandardOutput()) : "<failed>";
}

class EndToEndTest : public QObject {
  Q_OBJECT

 private slots:
  // After "--" a name like a switch is a file. xdg-mime (scripts/install-deps.sh gui) runs outside any
  // desktop session.
  void ShowsTheFileOnItsCommandLineAnswersWithoutADisplayAndTheDesktopKnowsEventFiles() {
    const CT7KEventList list = TenEvents();
    WriteSample(TempDir() + "/--help", list);
    const QString dump = TempDir() + "/view.txt";
    qputenv("LOGWICK_DUMP_VIEW", dump.toUtf8());  // the child also inherits the private folders
    QCOMPARE(Output(LOGWICK_BIN_DIR "/logwick", {"-x", "--", "--help", "second.t7kev"}), QString());
    const QStringList out =
        QString::fromStdString(logwick::test::FileText(dump.toStdString())).split('\n', Qt::SkipEmptyParts);
    std::string rows;
    for (const CT7KEvent& ev : list) logwick::AppendEventLine(rows += "\nrow\t", ev, list.m_texts);
    QCOMPARE('\n' + out.filter(QRegularExpression("^row\t")).join('\n'), QString::fromStdString(rows));
    for (const QString& shown : {QString("message\tОшибка\tНеизвестный ключ x"),
                                 QString("message\tОшибка\tУказано больше одного файла"),
                                 QString("line\t%1\tВ базе 10 событий").arg(CLogwickDlg::kIdCountLine)})
      QVERIFY2(out.contains(shown), qPrintable(shown));

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "xcb"), env.remove("DISPLAY"), env.remove("WAYLAND_DISPLAY");
    for (auto [arg, start] : {std::pair{"--version", QString("logwick ") + logwick::kProjectVersion},
                              {"--help", QString("Usage: logwick [FILE]\n")}})
      QVERIFY2(Output(LOGWICK_BIN_DIR "/logwick", {"x.t7kev", arg}, env).startsWith(start), arg);

    for (const char* session : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                                "GNOME_DESKTOP_SESSION_ID", "XDG_DATA_DIRS", "XDG_CONFIG_DIRS"})
      env.remove(session);
    auto query = [&](const QStringList& args) {
      return Output("xdg-mime", QStringList{"query"} + args, env);
    };
    QCOMPARE(query({"filetype", WriteSample(TempDir() + "/list.t7kev")}), QString("application/x-t7kev\n"));
    QCOMPARE(query({"default", "application/x-t7kev"}), QString("logwick.desktop\n"));
    QFile icon(qEnvironmentVariable("XDG_DATA_HOME") + "/icons/hicolor/48x48/apps/logwick.png");
    QVERIFY(icon.open(QIODevice::ReadOnly) && icon.readAll().startsWith("\x89PNG"));
  }
};

LOGWICK_QTEST_MAIN(EndToEndTest)
#include "end_to_end_test.moc"
