#include "tools/gamekit/SampleStory.h"

#include "platform/Charset.h"

namespace {

// The sample story. Region events: the greetings (event 0 of the town and the grove),
// the exits (events 1 and 2 of the town, 1 of the grove and the inn), the villager who
// asks for water (3) and the well (4). Event 5 of the town is started by the well
// while the countdown still runs. Events 85 to 90 are the game keeper's and the
// signboard's.
const char* const kStory = R"(# The sample game's story.
scene 0
text 0 "欢迎来到青石镇。"
text 1 "路上小心，天黑前记得回来。"
text 2 "终于到青石镇了。先四处走走吧。"
text 3 "镇子不大，东边的路通往竹林。"
text 4 "姑娘，能帮我去井边打一桶水吗？"
text 5 "井在镇子西边。三十秒之内回来，水还是凉的！"
text 6 "太慢了……水都晒热了。"
text 7 "这么快就回来了，真是多谢你！"

event 0 once
  Talk 0 2
  HeroWalk 640 540
  HeroWalk 672 560
  Talk 100 3
event 1
  SetScene 1 200 300 -1
event 2
  SetScene 100 400 520 -1
event 3 once
  Talk 1 4
  Talk 1 5
  CountdownStart 30
event 4 once after 0:3
  CountdownStop 5
  Talk 0 6
event 5 limit 1
  Talk 1 7
  MoveView 300 416
  ViewFollowHero
  SceneEffect 0 500 416 0

# The game keeper (character 17) gives 2000 once, then asks which game; each answer
# starts the event that runs that game. The signboard beside her runs the picture show.
text 380 "我是这里的游戏老板娘。初次见面，这2000两送你，玩几把吧！"
text 381 "想玩哪一个？\\n接宝物（要500两）\\n押大小\\n比力气"
text 382 "接宝物结束了，看看包里多了什么。"
text 383 "押大小结束了，欢迎再来！"
text 384 "比力气结束了，好大的力气！"
event 85 once
  Talk 2 380
  Money 1 2000
  TalkChoice 2 382 86 87 88
event 89
  TalkChoice 2 382 86 87 88
event 86
  KnockGame 1
  Talk 2 382
event 87
  KnockGame 2
  Talk 2 383
event 88
  KnockGame 3
  Talk 2 384
event 90
  PictureShow 1

scene 1
text 0 "欢迎来到镇外竹林。"
text 1 "竹林里风声很大，小心脚下。"
text 2 "好安静的竹林……好像有人在看着我。"

event 0 once
  Talk 100 2
event 1
  SetScene 0 1200 480 -1

scene 100
text 0 "欢迎来到悦来客栈。"
text 1 "路上小心，天黑前记得回来。"

event 0
event 1
  SetScene 0 370 250 -1
)";

}  // namespace

std::string SampleStoryText(const GameModel& model) {
    std::string text = kStory;
    // Every other named scene gets its welcome lines, for the scenes still to come.
    for (size_t i = 0; i < model.scenes.size(); ++i) {
        if (model.scenes[i].strName.empty() || i == 0 || i == 1 || i == 100) continue;
        text += "\nscene " + std::to_string(i) + "\ntext 0 \"欢迎来到" + TextToUtf8(model.scenes[i].strName) +
                "。\"\ntext 1 \"路上小心，天黑前记得回来。\"\n";
    }
    return text;
}

