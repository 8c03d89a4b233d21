// The clock timer on the real clock: every second of a running plan ticked once, none while
// paused, and the fatal error for a damaged table.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include "Recorders.h"
#include "RingController.h"
#include "Schema.h"
#include "TempDir.h"

namespace tolvane {
namespace {

void runEventsFor(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

class RingControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        openOrCreateTables(db, dir.path());
        db.select(schema::kBellAlias);
        // A bell for each of the next few seconds, every day.
        const int64_t now = clock.nowMs() / 1000;
        for (int64_t s = now + 1; s <= now + 4; ++s)
            db.append(bellValues({currentTimeText(clock.toLocal(s)), "", "bell" + std::to_string(s - now),
                                  {true, true, true, true, true, true, true}, 0}));
    }

    test::TempDir dir;
    TableDatabase db;
    SystemClock clock;
    test::RecordingSound sound;
};

TEST_F(RingControllerTest, EverySecondOnceAndNoneWhilePaused) {
    RingController controller(db, clock, sound, sound);
    controller.setPeriod(1000);
    runEventsFor(2300);
    controller.setPeriod(1000);  // the same period again: the timer runs on as it was
    runEventsFor(300);
    controller.setPeriod(0);
    runEventsFor(1500);
    const std::vector<std::string> calls = sound.take();
    // bell1 and bell2 surely, bell3 perhaps (the test started anywhere within a second), bell4
    // never: by then the plan was paused.
    ASSERT_GE(calls.size(), 2u);
    ASSERT_LE(calls.size(), 3u);
    for (size_t i = 0; i < calls.size(); ++i) EXPECT_EQ("start bell" + std::to_string(i + 1), calls[i]);
}

TEST(RingControllerFatalTest, AFieldOfAnotherTypeStopsTheTimerAndReports) {
    test::TempDir dir;
    TableDatabase db;
    std::vector<FieldDef> fields = bellTableFields();
    fields[0].type = kFieldInteger;  // 播放时间 stored as an integer
    ASSERT_TRUE(db.create(dir.file("db.edb"), fields).isOk());
    ASSERT_TRUE(db.open(dir.file("db.edb"), schema::kBellAlias).isOk());
    ASSERT_TRUE(db.append({int64_t{1}}).isOk());
    SystemClock clock;
    test::RecordingSound sound;
    RingController controller(db, clock, sound, sound);
    int code = 0;
    QString message;
    QObject::connect(&controller, &RingController::fatalError, [&](int c, const QString& m) {
        code = c;
        message = m;
    });
    controller.setPeriod(1000);
    controller.processDueSeconds();
    EXPECT_EQ(5, code);
    EXPECT_EQ(QString::fromUtf8("数据或数组类型不匹配"), message);
    EXPECT_EQ(0, controller.period());
}

}  // namespace
}  // namespace tolvane
