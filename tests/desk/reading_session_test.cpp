// The reading session: the worker's reports become the dialog's state, its
// warnings come before its end, a worker that dies fails its step, and a
// session that goes while its worker reports drops what is still on its way.
#include <gtest/gtest.h>

#include <thread>

#include "desk/reading_session.h"
#include "tests/desk/scripted_face.h"

namespace logwick {
namespace {

using test::ScriptedFace;

ReadoutResult RunSession(ScriptedFace& face, ReadingSession::Job job, ReadingSession::State* last = nullptr,
                  int* result = nullptr) {
  ReadingSession session(face, ReadoutSettings{}, std::move(job));
  face.during = [](ReadingSession&) {};
  int r = 0;
  session.Start([&] { if (last) *last = session.GetState(); }, [&](int code) { r = code; });
  while (!session.Finished()) face.WaitAndRunPosted();
  if (result) *result = r;
  return session.TakeResult();
}

TEST(ReadingSession, ReportsBecomeTheDialogsStateAndTheResultComesLast) {
  ScriptedFace face;
  ReadingSession::State state;
  int result = 0;
  const ReadoutResult r = RunSession(
      face,
      [](const ReadoutSettings&, IReadoutView& v, const std::atomic<bool>&) {
        v.StepBegan(ReadoutStep::Address, 4660);
        v.EventsBegan({3, 12, UnpackTimeStamp(PackTimeStamp(2024, 3, 15, 10, 42, 7)), 1024});
        v.ProgressRange(1023);
        v.ProgressAt(639);
        CT7KEvent ev;
        ev.SetTimeStamp(PackTimeStamp(2024, 3, 15, 9, 12, 44));
        v.EventRead(640, ev);
        v.Warning(ReadoutStatus::EventsNotRead);
        return ReadoutResult{.status = ReadoutStatus::EventsNotRead, .list = CT7KEventList()};
      },
      &state, &result);
  EXPECT_EQ(state.status, "Установка адреса 1 для 4660");
  EXPECT_EQ(state.version, "Прибор v3.12, его время 15/03/24 10:42:07");
  EXPECT_EQ(state.count, "В приборе 1024 событий");
  EXPECT_EQ(state.eventLine, " 640 от 15/03/2024 09:12:44");
  EXPECT_TRUE(state.readingLabel);
  EXPECT_EQ(state.button, "Остановить");
  EXPECT_EQ(std::pair(state.rangeUpper, state.position), std::pair(1023, 639));
  EXPECT_EQ(result, 2);
  EXPECT_TRUE(r.list.has_value());
  ASSERT_EQ(face.messages.size(), 1u);
  EXPECT_EQ(face.messages[0].owner, MsgOwner::Reading);
}

TEST(ReadingSession, AWorkerThatDiesFailsItsStepAndLosesItsList) {
  for (bool eventsBegan : {false, true}) {
    ScriptedFace face;
    int result = 0;
    const ReadoutResult r = RunSession(
        face,
        [eventsBegan](const ReadoutSettings&, IReadoutView& v, const std::atomic<bool>&) -> ReadoutResult {
          if (eventsBegan) v.StepBegan(ReadoutStep::Events, 1);
          throw std::runtime_error("no memory");
        },
        nullptr, &result);
    EXPECT_EQ(result, 2);
    EXPECT_FALSE(r.list.has_value());
    EXPECT_EQ(face.Texts(), std::vector<std::string>{eventsBegan ? "Ошибка при чтении\nсобытий"
                                                                  : "Ошибка при чтении\nинформации"});
  }
}

TEST(ReadingSession, GoingWhileTheWorkerReportsFastDropsWhatIsOnItsWay) {
  ScriptedFace face;
  std::atomic<long> reports{0};
  {
    ReadingSession session(face, ReadoutSettings{}, [&](const ReadoutSettings&, IReadoutView& v,
                                                        const std::atomic<bool>& cancel) {
      for (int i = 0; !cancel; ++i, ++reports) v.ProgressAt(i);
      return ReadoutResult{.status = ReadoutStatus::Cancelled};
    });
    session.Start([] {}, [](int) {});
    while (reports < 10000) std::this_thread::yield();
    face.RunPosted();
    session.Cancel();
  }  // joined here
  face.RunPosted();  // deliveries of a session that is gone do nothing
  SUCCEED();
}

}  // namespace
}  // namespace logwick
