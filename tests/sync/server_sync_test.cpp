// Synchronisation through a real PostgreSQL server started for the test.
#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <sstream>
#include <thread>

#include "events/strformat.h"
#include "history/blob_codec.h"
#include "sync/pg_connection.h"
#include "sync/pg_readout_server.h"
#include "sync/sync_error.h"
#include "tests/sync/sync_fixture.h"

using namespace logwick;
using namespace logwick::test;

namespace {

using ServerSync = SyncFixture;

// n read-outs of one panel, each with some new events.
std::vector<CT7KEventList> Readouts(std::int32_t serial, std::size_t n) {
  std::vector<CT7KEventList> out;
  for (const Visit& v : PanelModel(serial, 300).VisitsAfter(std::vector<std::size_t>(n, 40)))
    out.push_back(ReadoutOf(v, serial));
  return out;
}

std::string Hex(std::span<const std::uint8_t> bytes) {
  std::string out = "'\\x";
  AppendHex(out, bytes.data(), bytes.size());
  return out + "'";
}

// A read-out inserted in plain SQL, as anyone with a database client may:
// sound values but for those given.
std::string InsertSql(const std::map<std::string, std::string>& given = {},
                      const std::string& overriding = "") {
  std::map<std::string, std::string> columns = given;
  std::istringstream sound(
      "sha256=decode(md5(random()::text) || md5(random()::text), 'hex');panel_type=1;serial=77;"
      "read_year=2024;read_month=3;read_day=15;read_hour=10;read_min=0;read_sec=0;ver_major=3;ver_minor=2;"
      "rel_day=1;rel_month=1;rel_year=2020;texts='\\x';event_count=0;events='\\x';origin='visit.t7kev';"
      "partial=false;filed_at=now();config_name='\\x0000000000000000000000000000000000'");
  for (std::string c; std::getline(sound, c, ';');)
    columns.emplace(c.substr(0, c.find('=')), c.substr(c.find('=') + 1));
  std::string names, values;
  for (const auto& [column, value] : columns) {
    (names += names.empty() ? "" : ", ") += column;
    (values += values.empty() ? "" : ", ") += value;
  }
  return "INSERT INTO logwick.readout (" + names + ") " + overriding + " VALUES (" + values + ")";
}

// The second engineer logs in with the password file's password and the
// engineers' role's rights. The copy is taken before B sent (same id, numbers
// up to 4); Q's 4 are then numbered 5 to 8 as B's were, so B compares in full.
TEST_F(ServerSync, ArchivesMeetAlsoThroughAServerPutBackFromACopyOrAfterAnExchangeCutShort) {
  const TwoEngineers visits = VisitsByTurns(4, 300);
  Archive("a", visits.first);
  Archive("b", visits.second);
  Archive("q", Readouts(13, 4));
  const SyncOutcome r = Sync("a");
  EXPECT_EQ(Summary(r), "отправлено 4, получено 0");
  EXPECT_EQ(r.server, cluster_->Name(db_));
  cluster_->Sql("CREATE DATABASE " + db_ + "_copy TEMPLATE " + db_);
  EXPECT_EQ(Summary(Sync("b", engineer_)), "отправлено 4, получено 3");  // the read-out both filed once
  // Who sent each is the server's to say; where it came from is a file's
  // name, never the laptop's path.
  EXPECT_EQ(
      cluster_->Sql("SELECT string_agg(DISTINCT sent_by || ' ' || origin, ', ') FROM logwick.readout", db_),
      "admin a.t7kev, engineer b.t7kev");

  cluster_->Sql("DROP DATABASE " + db_);
  cluster_->Sql("CREATE DATABASE " + db_ + " TEMPLATE " + db_ + "_copy");
  EXPECT_EQ(Summary(Sync("q")), "отправлено 4, получено 4");
  EXPECT_EQ(Summary(Sync("b", engineer_)),
            "сервер восстановлен из копии или заменён: сверка полностью; отправлено 4, получено 4");
  EXPECT_EQ(Summary(Sync("a")), "отправлено 0, получено 8");
  EXPECT_EQ(Summary(Sync("q")), "отправлено 0, получено 4");
  EXPECT_EQ(Summary(Sync("b", engineer_)), "отправлено 0, получено 0");
  auto all = Archive("all", visits.first);
  for (const auto& readouts : {visits.second, Readouts(13, 4)})
    for (const CT7KEventList& l : readouts) all->File(l, {"all", false});
  for (const char* name : {"a", "b", "q"}) ExpectSameArchives(*all, *Archive(name));
  EXPECT_EQ(ServerReadouts(), ShaSet(*all).size());

  // An exchange cut short is completed by the next: the server goes away after
  // the second read-out of a step (stopped by its administrator, or crashed)
  // or the user stops the exchange there.
  enum How { Stopped, Crashed, Cancelled };
  int round = 0;
  for (SyncStep step : {SyncStep::Sending, SyncStep::Fetching}) {
    for (How how : {Stopped, Crashed, Cancelled}) {
      if (step == SyncStep::Fetching && how == Cancelled) continue;  // as when sending
      SCOPED_TRACE(testing::Message() << SyncStepText(step) << ", " << how);
      cluster_->Sql("TRUNCATE logwick.readout", db_);
      const std::string a = "a" + std::to_string(++round), b = "b" + std::to_string(round);
      Archive(a, visits.first);
      Archive(b, visits.second);
      ASSERT_EQ(Sync(step == SyncStep::Fetching ? b : a).status, SyncStatus::Done);
      const std::string cut = step == SyncStep::Fetching ? a : b;

      std::atomic<bool> cancel{false};
      SyncView view([&](const SyncProgress& p) {
        if (p.step == step && p.done == 2)
          how == Cancelled ? void(cancel = true) : cluster_->Stop(how == Crashed);
      });
      const SyncOutcome r = RunSync({dir_.File(cut), url_}, view, cancel);
      cluster_->Start();
      EXPECT_EQ(r.status, how == Cancelled ? SyncStatus::Cancelled : SyncStatus::ServerFailed) << r.message;
      EXPECT_EQ(step == SyncStep::Sending ? r.counts.sent : r.counts.fetched, 2u);
      using K = SyncError::Kind;
      EXPECT_EQ(r.message,
                SyncError(how == Cancelled ? K::Cancelled : K::ConnectionLost, r.server).Sentence());

      for (const std::string& name : {cut, a, b}) ASSERT_EQ(Sync(name).status, SyncStatus::Done);
      ExpectSameArchives(*Archive(a), *Archive(b));
      EXPECT_EQ(ServerReadouts(), ShaSet(*Archive(a)).size());
    }
  }
}

// Rows an owner mangled by hand (as a server of an earlier version let anybody
// in), among sound ones that are filed.
TEST_F(ServerSync, RowsThatCannotBeTakenAreSkippedRememberedAndTriedAgain) {
  std::vector<CT7KEventList> p = Readouts(4242, 9);
  p[7].m_texts[0] = "Датчик ? дым";
  Archive("p", p);
  ASSERT_EQ(Sync("p").counts.sent, 9u);
  cluster_->Sql(
      "ALTER TABLE logwick.readout DROP CONSTRAINT readout_filed_at, DROP CONSTRAINT"
      " readout_panel_type, DROP CONSTRAINT readout_event_count, DROP CONSTRAINT readout_texts,"
      " ALTER COLUMN read_hour DROP NOT NULL",
      db_);
  // Each read-out numbered seq is p[seq - 1].
  const CT7KEvent event = p[0][0];
  auto sameEvents = [&](std::size_t seq, std::int32_t type, std::size_t n) {
    CT7KEventList l = p[seq - 1];
    l.m_nPanelType = type;
    l.RemoveAll();
    for (std::size_t i = 0; i < n; ++i) l.AddTail(event);
    return "sha256 = " + Hex(EventListSha256(l)) + ", event_count = " + std::to_string(n) +
           ", events = (SELECT string_agg(" + Hex(event.Raw()) +
           "::bytea, ''::bytea) FROM generate_series(1, " + std::to_string(n) + "))";
  };
  const std::string lossy = Hex(EncodeTexts(std::vector<std::string>{"Датчик 😀 дым", p[7].m_texts[1]}));
  const std::pair<std::string, std::string> mangled[] = {
      {"filed_at = 'infinity'", "недопустимое время в поле filed_at"},
      {"read_hour = NULL", "нет значения в поле read_hour"},
      {"events = overlay(events PLACING '\\xff' FROM 1 FOR 1)", "SHA-256 не совпадает с содержимым"},
      {"panel_type = 99, " + sameEvents(5, 99, 40), "неизвестный тип прибора 99"},
      {sameEvents(6, 1, 100001), "событий больше 100000 (100001)"},
      {sameEvents(7, 1, 3 << 16), "больше допустимых 2097152"},
      {"texts = " + lossy, "текст № 0 не записывается в файл событий без потерь"},
  };
  for (std::size_t i = 0; i < std::size(mangled); ++i)
    cluster_->Sql("UPDATE logwick.readout SET " + mangled[i].first + " WHERE seq = " + std::to_string(i + 2),
                  db_);

  SyncOutcome r = Sync("z");
  EXPECT_EQ(Summary(r), "отправлено 0, получено 2, пропущено 7");
  ASSERT_EQ(r.warnings.size(), 8u);
  EXPECT_EQ(r.warnings.back(), "На сервере " + r.server + " повреждено 1 чтение");
  std::vector<std::string> w(r.warnings.begin(), r.warnings.end() - 1);
  std::ranges::sort(w);  // by the read-out's number, 2 to 8
  EXPECT_EQ(w[0], "Пропущено чтение № 2 на сервере: Тарвел-7К (с/н 4242), считано " +
                      ReadTimeText(ReadTimeOf(p[1])) +
                      ", отправил admin: недопустимое время в поле filed_at");
  const ReadTime t = ReadTimeOf(p[2]);  // its hour is missing
  EXPECT_NE(w[1].find(StrFormat("считано %02d/%02d/%04d ??:%02d:%02d,", t[2], t[1], t[0], t[4], t[5])),
            std::string::npos)
      << w[1];
  for (std::size_t i = 0; i < std::size(mangled); ++i)
    EXPECT_TRUE(w[i].starts_with("Пропущено чтение № " + std::to_string(i + 2) + " на сервере: ") &&
                w[i].ends_with(mangled[i].second))
        << w[i];
  EXPECT_EQ(Summary(Sync("z")), "отправлено 0, получено 0");  // nothing downloaded again
  EXPECT_EQ(Archive("z")->SkippedReadouts().size(), 7u);

  // Mended under the same SHA-256: filed when asked to try again; what is
  // still wrong is told again.
  cluster_->Sql("UPDATE logwick.readout SET read_hour = " + std::to_string(ReadTimeOf(p[2])[3]) +
                    " WHERE seq = 3; UPDATE logwick.readout SET filed_at = now(), events = overlay(events"
                    " PLACING '\\xff' FROM 1 FOR 1) WHERE seq = 2",
                db_);
  r = Sync("z", url_, true);
  EXPECT_EQ(Summary(r), "отправлено 0, получено 1, пропущено 6");
  EXPECT_EQ(r.warnings.back(), "На сервере " + r.server + " повреждены 2 чтения");
  EXPECT_EQ(Archive("z")->SkippedReadouts().size(), 6u);
  EXPECT_TRUE(Archive("z")->HoldsReadout(EventListSha256(p[2])));
}

// Each failure names the server (never the password); a missing archive is
// not even created.
TEST_F(ServerSync, FailuresHaveTheirSentenceAndChangeNothingLocally) {
  SetPassword("неверный");
  const std::string bare = cluster_->NewDatabase(), newer = cluster_->NewDatabase();
  ASSERT_EQ(InitServer(cluster_->Url(newer)).status, SyncStatus::Done);
  cluster_->Sql("UPDATE logwick.meta SET version = 99", newer);
  cluster_->Sql("CREATE ROLE stranger LOGIN");
  Archive("held.sqlite", Readouts(5, 2));
  const Bytes held = ReadBytes(dir_.File("held.sqlite"));
  const SilentServer silent;
  ASSERT_NE(silent.port, 0);

  const std::string nowhere = "logwick-no-such-host.invalid";
  const std::string password =
      "Пароль в адресе сервера не допускается: храните его в ~/.pgpass или PGPASSWORD";
  const std::string unparsed = "Адрес сервера общего архива не разобран";
  std::vector<std::pair<std::string, std::string>> cases = {
      {engineer_, "не принял пароль"},
      {"postgresql://admin:тайна@" + nowhere + "/archive", password},
      {"postgresql://admin@" + nowhere + "/archive?password=тайна", password},
      {"host=" + nowhere + " password=тайна", password},
      {"postgresql://admin:тайна@[::1/archive", password},
      {url_ + " port=abc",
       unparsed + ": ожидается postgresql://пользователь@узел/база (invalid integer value \"abc\""},
      {url_ + " sslmode=foo", unparsed},
      {"postgresql://admin@[::1/archive", unparsed},
      {"postgresql://admin@" + nowhere + "/archive", "Сервер общего архива admin@" + nowhere + ":"},
      {cluster_->Url(bare),
       "/" + bare + " нет общего архива Logwick: создайте его командой logwick-cli archive server-init"},
      {cluster_->Url(newer), "/" + newer + " создан более новой версией"},
      {cluster_->Url("nowhere"), "/nowhere отказал в подключении"},
      {cluster_->Url(db_, "stranger"), "Нет прав на общий архив на сервере stranger@"},
      {"host=127.0.0.1 port=" + std::to_string(silent.port) + " connect_timeout=2 dbname=x",
       "@127.0.0.1:" + std::to_string(silent.port) + "/x не ответил вовремя"},
      {"", "Не задан адрес сервера общего архива"},
  };
  if (cluster_->Tls()) {  // every address with sslmode=verify-full (the Windows tests' server)
    cases.push_back({url_ + " host=logwick-wrong-name.invalid", "Сертификат сервера не принят"});
    cases.push_back({url_ + " sslrootcert=" + cluster_->OtherCertificate(), "Сертификат сервера не принят"});
  }
  if (const std::string tcp = cluster_->TcpUrl(db_); !tcp.empty()) {
    cases.push_back({cluster_->TcpUrl(db_, "engineer"), "не принял пароль"});
    cases.push_back({tcp + "?sslmode=verify-ca&sslrootcert=" + cluster_->OtherCertificate(),
                     "Сертификат сервера не принят: его не подтверждает известный удостоверяющий центр"});
    cases.push_back({tcp + "?sslmode=verify-full&sslrootcert=" + cluster_->Certificate(),
                     "Сертификат сервера не принят: он выдан другому имени узла"});
  }
  for (const auto& [url, sentence] : cases) {
    SCOPED_TRACE(url);
    for (const char* archive : {"held.sqlite", "missing.sqlite"}) {
      const SyncOutcome r = Sync(archive, url);
      const std::string all = r.message + " (" + r.detail + " " + r.server;
      EXPECT_EQ(r.status, SyncStatus::ServerFailed);
      EXPECT_NE(all.find(sentence), std::string::npos) << all;
      EXPECT_EQ(r.message.find('\n'), std::string::npos);
      EXPECT_TRUE(all.find("тайна") == std::string::npos && all.find("неверный") == std::string::npos) << all;
      // libpq's words, each said once (a refused password is said again
      // for the retry without TLS).
      for (std::size_t at = r.detail.find("; "); at != std::string::npos; at = r.detail.find("; ", at + 2))
        EXPECT_EQ(r.detail.find(r.detail.substr(0, at), at), std::string::npos) << r.detail;
    }
    EXPECT_EQ(ReadBytes(dir_.File("held.sqlite")), held);
    EXPECT_FALSE(std::filesystem::exists(dir_.File("missing.sqlite")));
  }
  EXPECT_EQ(ServerReadouts(), 0u);  // nothing sent to a server refused

  // A server that is down, and one without the password at hand.
  SetPassword("");
  EXPECT_NE(Sync("missing.sqlite", engineer_).message.find("требует пароль"), std::string::npos);
  cluster_->Stop();
  const SyncOutcome r = Sync("missing.sqlite");
  cluster_->Start();
  EXPECT_EQ(r.message, "Нет связи с сервером общего архива " + r.server) << r.detail;
  EXPECT_FALSE(std::filesystem::exists(dir_.File("missing.sqlite")));
}

TEST_F(ServerSync, ServerInitAndWhatOnlyTheServerWrites) {
  const std::string fresh = cluster_->NewDatabase();
  ServerInitOutcome r = InitServer(cluster_->Url(fresh));
  EXPECT_EQ(std::tie(r.before, r.now), std::make_tuple(std::int64_t{0}, PgReadoutServer::kSchemaVersion));
  EXPECT_EQ(InitServer(cluster_->Url(fresh)).before, PgReadoutServer::kSchemaVersion);
  EXPECT_NE(cluster_->Sql("SELECT server_id FROM logwick.meta", fresh),
            cluster_->Sql("SELECT server_id FROM logwick.meta", db_));

  cluster_->Sql("CREATE DATABASE latin ENCODING 'LATIN1' LC_COLLATE 'C' LC_CTYPE 'C' TEMPLATE template0");
  cluster_->Sql("UPDATE logwick.meta SET version = 99", fresh);
  for (const std::string& db : {std::string("latin"), fresh}) {
    r = InitServer(cluster_->Url(db));
    const char* why = db == fresh ? "более новой версией" : "не выполнил запрос";
    EXPECT_TRUE(r.status == SyncStatus::ServerFailed && r.message.find(why) != std::string::npos)
        << r.message;
  }
  EXPECT_EQ(cluster_->Sql("SELECT to_regclass('logwick.meta')::text IS NULL", "latin"), "t");
  EXPECT_EQ(cluster_->Sql("SELECT version FROM logwick.meta", fresh), "99");

  // On a new server and on one taken on from the first version, engineers
  // insert only data columns, whatever the insert says of number, sender and
  // time, and odd values are refused.
  const std::string upgraded = cluster_->NewDatabase();
  InitServerArchive(*Connect(cluster_->Url(upgraded)), 1);
  cluster_->Sql(InsertSql(), upgraded);
  r = InitServer(cluster_->Url(upgraded));
  EXPECT_EQ(std::tie(r.before, r.now), std::make_tuple(std::int64_t{1}, std::int64_t{2}));

  const std::string forged = "OVERRIDING SYSTEM VALUE";
  const std::pair<std::string, const char*> refused[] = {
      {InsertSql({{"sent_by", "'someone'"}}), "42501"},
      {InsertSql({{"sent_at", "'2001-01-01'"}}), "42501"},
      {InsertSql({{"seq", "1000000000"}}, forged), "42501"},
      {InsertSql({{"panel_type", "99"}}), "23514"},
      {InsertSql({{"event_count", "100001"}, {"events", "decode(repeat('00', 1600016), 'hex')"}}), "23514"},
      {InsertSql({{"event_count", "1"}}), "23514"},
      {InsertSql({{"filed_at", "'infinity'"}}), "23514"},
      {InsertSql({{"read_hour", "NULL"}}), "23502"},
      {InsertSql({{"config_name", Hex(Bytes(16))}}), "23514"},
      {InsertSql({{"reserved", Hex(Bytes(5))}}), "23514"},
      {InsertSql({{"origin", "repeat('x', 256)"}}), "23514"},
      {InsertSql({{"texts", "'\\x808004'::bytea || convert_to(repeat('x', 65536), 'UTF8')"}}), "23514"},
      {InsertSql({{"texts",
                   "(SELECT string_agg('\\xffff03'::bytea || convert_to(repeat('x', 65535), 'UTF8'),"
                   " ''::bytea) FROM generate_series(1, 17))"}}),
       "23514"},
      {InsertSql({{"texts", "'\\x05414243'"}}), "23514"},
  };
  for (const std::string& db : {db_, upgraded}) {
    SCOPED_TRACE(db);
    for (const auto& [sql, state] : refused)
      EXPECT_TRUE(cluster_->Try(sql, db, "engineer").starts_with(state))
          << sql << ": " << cluster_->Try(sql, db, "engineer");
    EXPECT_EQ(cluster_->Try(InsertSql({{"texts", "'\\x03414243'"}}), db, "engineer"), "");
    // The owner's forged values are overridden all the same.
    cluster_->Sql(InsertSql({{"seq", "1000000000"}, {"sent_by", "'x'"}, {"sent_at", "'2001-01-01'"}}, forged),
                  db);
    EXPECT_EQ(cluster_->Sql("SELECT string_agg(sent_by || (sent_at > now() - interval '1 hour')::text, ' '"
                            " ORDER BY seq) || ' ' || (max(seq) < 100)::text FROM logwick.readout",
                            db),
              db == db_ ? "engineertrue admintrue true" : "admintrue engineertrue admintrue true");
  }
}

// Arrivals take turns, also those that bypass this program: a sending waits
// while an insert in plain SQL holds the turn, and is numbered after it.
TEST_F(ServerSync, ArrivalsTakeTurns) {
  auto holder = Connect(engineer_);
  holder->Run("BEGIN");
  holder->Run(InsertSql().c_str());
  std::atomic<bool> stored{false};
  std::thread sender([&] {
    auto conn = Connect(url_);
    PgReadoutServer server(*conn);
    const CT7KEventList l = Readouts(3, 1)[0];
    stored = server.Put({l, {"x", false}, 0}, EventListSha256(l));
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_FALSE(stored);
  holder->Run("COMMIT");
  sender.join();
  EXPECT_TRUE(stored);
  EXPECT_EQ(cluster_->Sql("SELECT string_agg(sent_by::text, ' ' ORDER BY seq) FROM logwick.readout", db_),
            "engineer admin");
}

}  // namespace
