// The reading session between its worker and the reading dialog, driven by the scripted face.
#include <gtest/gtest.h>

#include <thread>

#include "desk/reading_session.h"
#include "tests/desk/scripted_face.h"

namespace logwick {
namespace {

using namespace std::chrono_literals;
using test::ScriptedFace;

struct Session {
  ReadingSession::State state;  // as last drawn
  int result = 0;
  ReadoutResult readout;
};

Session RunSession(ScriptedFace& face, ReadingSession::Job job, ReadoutSettings settings = {}) {
  ReadingSession session(face, settings, std::move(job));
  Session run;
  session.Start([&] { run.state = session.GetState(); }, [&](int code) { run.result = code; });
  while (!session.Finished()) face.RunPosted(10s);
  run.readout = session.TakeResult();
  return run;
}

TEST(ReadingSession, ReportsBecomeTheDialogsStateAndTheResultComesLast) {
  ScriptedFace face;
  const Session r = RunSession(face, [](const ReadoutSettings&, IReadoutView& v, const std::atomic<bool>&) {
    v.StepBegan(ReadoutStep::Address, 4660);
    v.EventsBegan({3, 12, UnpackTimeStamp(PackTimeStamp(2024, 3, 15, 10, 42, 7)), 1024});
    v.ProgressRange(1023);
    v.ProgressAt(639);
    CT7KEvent ev;
    ev.SetTimeStamp(PackTimeStamp(2024, 3, 15, 9, 12, 44));
    v.EventRead(640, ev);
    v.Warning(ReadoutStatus::EventsNotRead);
    return ReadoutResult{.status = ReadoutStatus::EventsNotRead, .list = CT7KEventList()};
  });
  EXPECT_EQ(std::tuple(r.state.status, r.state.version, r.state.count, r.state.eventLine, r.state.button),
            std::tuple("Установка адреса 1 для 4660", "Прибор v3.12, его время 15/03/24 10:42:07",
                       "В приборе 1024 событий", " 640 от 15/03/2024 09:12:44", "Остановить"));
  EXPECT_EQ(std::tuple(r.state.readingLabel, r.state.rangeUpper, r.state.position, r.result,
                       r.readout.list.has_value(), face.messages.size()),
            std::tuple(true, 1023, 639, 2, true, 1u));
  EXPECT_EQ(face.messages.at(0).owner, MsgOwner::Reading);
}

// Without a job of its own a session reads the port of its number.
TEST(ReadingSession, AWorkerThatDiesOrAPortThatWillNotOpenFailsAndLosesTheList) {
  auto dies = [](bool eventsBegan) -> ReadingSession::Job {
    return [eventsBegan](const ReadoutSettings&, IReadoutView& v, const std::atomic<bool>&) -> ReadoutResult {
      if (eventsBegan) v.StepBegan(ReadoutStep::Events, 1);
      throw std::runtime_error("no memory");
    };
  };
  const std::tuple<ReadingSession::Job, ReadoutSettings, const char*> cases[] = {
      {dies(false), {}, "Ошибка при чтении\nинформации"},
      {dies(true), {}, "Ошибка при чтении\nсобытий"},
      {{}, {.portNumber = 250}, "Не могу открыть порт"}};
  for (const auto& [job, settings, text] : cases) {
    ScriptedFace face;
    const Session r = RunSession(face, job, settings);
    EXPECT_EQ(std::pair(r.result, r.readout.list.has_value()), std::pair(2, false));
    EXPECT_EQ(face.Texts(), std::vector<std::string>{text});
  }
}

TEST(ReadingSession, GoingWhileTheWorkerReportsFastDropsWhatIsOnItsWay) {
  ScriptedFace face;
  std::atomic<long> reports{0};
  {
    ReadingSession session(face, ReadoutSettings{},
                           [&](const ReadoutSettings&, IReadoutView& v, const std::atomic<bool>& cancel) {
                             for (int i = 0; !cancel; ++i, ++reports) v.ProgressAt(i);
                             return ReadoutResult{.status = ReadoutStatus::Cancelled};
                           });
    session.Start([] {}, [](int) {});
    while (reports < 10000) std::this_thread::yield();
    face.RunPosted();
    session.Cancel();
  }                  // joined here
  face.RunPosted();  // deliveries of a session that is gone do nothing
}

}  // namespace
}  // namespace logwick
