#include <thread>

#include "HostFixture.h"
#include "panels/MsgBox.h"

namespace {

using MessageBoxes = HostTest;

TEST_F(MessageBoxes, RequestsFromTwoThreadsAppearInRequestOrderNextFrame) {
    getMsgBoxManager();
    std::thread first([] { msgBox("WARNING", "first"); });
    first.join();
    std::thread second([] { sMsgBox("ERROR", "second %d %.1f", 2, 2.5); });
    second.join();
    bool confirmed = false;
    msgBox("Warning", "third", [&] { confirmed = true; });
    EXPECT_EQ(getMsgBoxManager()->m_MsgBoxRequests.size(), 3u);

    runFrames(1);
    auto messages = logMessages();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[0], "WARNING: first");
    EXPECT_EQ(messages[1], "ERROR: second 2 2.5");
    EXPECT_EQ(messages[2], "Warning: third");
    EXPECT_FALSE(confirmed);  // nobody pressed Ok
    EXPECT_TRUE(getMsgBoxManager()->m_MsgBoxRequests.empty());
    removeMsgBoxManager();
    runFrames(1);  // the manager's flight loop went with it
    EXPECT_EQ(sim::liveFlightLoopCount(), 0);
}

}  // namespace
