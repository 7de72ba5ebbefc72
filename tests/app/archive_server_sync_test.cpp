// The archive window's "Синхронизировать" against a real PostgreSQL server
// started for the test: two engineers' archives meet through it, and a server
// that cannot serve is named in a message and changes nothing locally.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <cstdlib>

#include "app/archive_dlg.h"
#include "app/message_box.h"
#include "archive_samples.h"
#include "sync/server_sync.h"
#include "tests/sync/pg_test_cluster.h"
#include "tests/lists/test_files.h"

using namespace logwick;
using namespace logwick::test;

namespace {

// One QApplication for the whole run, on the offscreen platform, with its
// settings in a scratch folder.
void EnsureApplication() {
  if (QApplication::instance()) return;
  static const TempDir dir;
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
  static int argc = 1;
  static char name[] = "archive_server_sync_test";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

// Ends the application before the process does, so that what it holds (fonts
// above all) is released and the leak checker sees nothing left behind.
class ApplicationEnd : public ::testing::Environment {
 public:
  void TearDown() override { delete QApplication::instance(); }
};
[[maybe_unused]] ::testing::Environment* const kApplicationEnd =
    ::testing::AddGlobalTestEnvironment(new ApplicationEnd);

class ArchiveWindowSync : public WithPgCluster {
 protected:
  void SetUp() override {
    WithPgCluster::SetUp();
    if (IsSkipped()) return;
    EnsureApplication();
    ::unsetenv("PGPASSWORD");
    url_ = cluster_->Url(cluster_->NewDatabase());
    InitServer(url_);
    SetMessageHook([this](const MessageRecord& r) { messages_.push_back(r.text.toStdString()); });
  }
  void TearDown() override { SetMessageHook({}); }

  // Opens the window on archive `name`, synchronises it with `url` and waits
  // for the end; the panels the window shows afterwards.
  int SyncInWindow(const std::string& name, const std::string& url) {
    ::setenv("LOGWICK_ARCHIVE", dir_.File(name).c_str(), 1);
    CArchiveDlg dlg;
    dlg.Refresh();
    dlg.findChild<QLineEdit*>(QString::number(CArchiveDlg::kIdServer))->setText(QString::fromStdString(url));
    QTest::mouseClick(dlg.findChild<QPushButton*>(QString::number(CArchiveDlg::kIdSync)), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dlg.Syncing(); }, 60000));
    status_ = dlg.findChild<QLabel*>(QString::number(CArchiveDlg::kIdStatus))->text().toStdString();
    return dlg.ShownPanelCount();
  }

  void File(const std::string& name, const std::vector<CT7KEventList>& readouts) {
    auto archive = HistoryArchive::Open(dir_.File(name), true);
    for (const CT7KEventList& r : readouts) archive->File(r, {name});
  }

  TempDir dir_;
  std::string url_, status_;
  std::vector<std::string> messages_;
};

TEST_F(ArchiveWindowSync, TwoArchivesMeetThroughTheServer) {
  File("a.sqlite", {apptest::Visit(123, "Склад", 0)});
  File("b.sqlite", {apptest::Visit(123, "Склад", 15), apptest::Visit(4567, "Цех", 0)});

  EXPECT_EQ(SyncInWindow("a.sqlite", url_), 1);
  EXPECT_TRUE(status_.starts_with("Синхронизация с сервером")) << status_;
  EXPECT_NE(status_.find("отправлено 1, получено 0"), std::string::npos) << status_;
  EXPECT_EQ(SyncInWindow("b.sqlite", url_), 2);
  EXPECT_NE(status_.find("отправлено 2, получено 1"), std::string::npos) << status_;
  EXPECT_EQ(SyncInWindow("a.sqlite", url_), 2);
  EXPECT_TRUE(messages_.empty());

  // Both histories of panel 123 hold both visits with the gap between them.
  for (const char* name : {"a.sqlite", "b.sqlite"}) {
    const std::optional<PanelHistory> h = HistoryArchive::Open(dir_.File(name), false)->History({1, 123});
    ASSERT_TRUE(h);
    EXPECT_EQ(h->list.GetCount(), 20u) << name;
    EXPECT_EQ(h->gapMarks, std::vector<std::size_t>{10}) << name;
  }
  // The address is kept for the next time.
  EXPECT_EQ(QSettings("Ormet", "T29 read events").value("Init/ServerUrl").toString().toStdString(), url_);
}

TEST_F(ArchiveWindowSync, AServerThatCannotServeIsNamedAndChangesNothing) {
  File("c.sqlite", {apptest::Visit(123, "Склад", 0)});
  const Bytes before = ReadBytes(dir_.File("c.sqlite"));
  EXPECT_EQ(SyncInWindow("c.sqlite", cluster_->Url("nowhere")), 1);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_NE(messages_[0].find("/nowhere"), std::string::npos) << messages_[0];
  EXPECT_NE(messages_[0].find("Синхронизация не завершена"), std::string::npos) << messages_[0];
  EXPECT_EQ(ReadBytes(dir_.File("c.sqlite")), before);
}

}  // namespace
