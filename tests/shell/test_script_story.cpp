// The sample story played headless through the main loop in the sample town: the
// greeting, the villager's errand with its countdown, the praise at the well in time,
// and the road to the grove with the grove's greeting. Screenshots of each are kept
// in the test's folder. The heroine's walks arrive at once here (the walking itself
// is the hero's own), and the player's steps into the regions are placed directly.
#include <fstream>

#include "tests/shell/StoryTestUtil.h"
#include "world/EffectManager.h"

namespace {

TEST_F(StoryTest, GreetingErrandCountdownPraiseAndTheGrove) {
    // Arriving in town: the greeting starts from the start cell's region.
    Passes(3);
    ASSERT_EQ(pFrame->nEventId, kTownGreetingEvent);
    EXPECT_EQ(pFrame->GetGameMode(), 9);
    EXPECT_EQ(CurrentTalk(), Utf8ToText("终于到青石镇了。先四处走走吧。"));
    Passes(20);
    Shot("greeting.png");
    ReadTalkLine();
    Passes(5);
    EXPECT_EQ(CurrentTalk(), Utf8ToText("镇子不大，东边的路通往竹林。"));
    ReadTalkLine();
    Passes(3);
    EXPECT_EQ(pFrame->nEventId, -1);

    // The villager asks for water and the countdown starts.
    StepInto(27, 6);
    Passes(3);
    ASSERT_EQ(pFrame->nEventId, kTownVillagerEvent);
    ReadTalkLine();
    ReadTalkLine();
    Passes(3);
    EXPECT_EQ(pFrame->nEventId, -1);
    EXPECT_GT(pFrame->m_nCountdownSeconds, 25);
    Shot("countdown.png");

    // At the well in time: the countdown stops and the praise plays.
    StepInto(9, 12);
    Passes(3);
    EXPECT_EQ(pFrame->m_nCountdownSeconds, 0);
    Passes(2);
    ASSERT_EQ(pFrame->nEventId, 5);
    EXPECT_EQ(CurrentTalk(), Utf8ToText("这么快就回来了，真是多谢你！"));
    Passes(20);
    Shot("praise.png");
    ReadTalkLine();
    // The view pans to the well and back, then the scene effect plays.
    for (int i = 0; i < 600 && pFrame->nEventId == 5; ++i) Passes(1);
    EXPECT_EQ(pFrame->nEventId, -1);
    EXPECT_EQ(pEffectManager->EventStates[0][5], 1);

    // The road at the east edge leads to the grove, where the greeting plays.
    StepInto(39, 15);
    for (int i = 0; i < 20 && pFrame->m_nCurrentScene == 0; ++i) Passes(1);
    ASSERT_EQ(pFrame->m_nCurrentScene, 1);
    Passes(3);
    EXPECT_EQ(pFrame->nEventId, kGroveGreetingEvent);
    EXPECT_EQ(CurrentTalk(), Utf8ToText("好安静的竹林……好像有人在看着我。"));
    Passes(20);
    Shot("grove.png");

    // The four screenshots differ from each other.
    std::string shots[4];
    const char* names[4] = {"greeting.png", "countdown.png", "praise.png", "grove.png"};
    for (int i = 0; i < 4; ++i) {
        std::ifstream in(m_folder.File(names[i]), std::ios::binary);
        shots[i].assign(std::istreambuf_iterator<char>(in), {});
        EXPECT_GT(shots[i].size(), 1000u) << names[i];
    }
    for (int i = 0; i < 4; ++i)
        for (int j = i + 1; j < 4; ++j) EXPECT_NE(shots[i], shots[j]) << names[i] << " " << names[j];
}

}  // namespace
