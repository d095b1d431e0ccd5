#include "tools/gamekit/SampleStory.h"

#include "platform/Charset.h"

namespace {

// The sample story: the first villager's task leads to the inn, whose keeper sends the
// heroine to the herbalist's errand in the grove (where the companion joins her for the
// beasts' ambush) and to the master's bout; with both done, the innkeeper ends the story
// (the ending, then the title). On the way: the pedlar's medicines, the chest and Squire
// Li's pendant, the shop, the crafts, the bank and the game keeper's games. A talk line's
// face is its speaker's sculpt (the heroine's 1, the companion's 2, each villager's own).
// Region events: the greetings (event 0 of the town and the grove), the exits (events 1
// and 2 of the town, 1 of the grove and the inn), the squire's water errand (3) and the
// well (4); event 5 of the town is started by the well while the countdown still runs,
// its scene effect playing at the heroine's depth while she gestures. The pedlar (30,
// then 31) gives medicines and bombs. The herbalist (40 to 43) sends her for herbs; in
// the grove the companion joins (40) and the herb patch (41) gives them. The banker (50)
// opens the bank; the weather stone (55) switches the weather; the master (60) asks
// before his bout (64; 61 to 63 are the talk of its battle). Event 70 is the chest in the
// south-east corner: equipment, gems, potions and the squire's pendant, three skills, one
// closed and one open task. Events 85 to 90 are the game keeper's and the signboard's; 75
// to 78 the shop keeper's, the inlay master's, the smith's and the combining table's.
// Every exit fades the scene out over half a second (transition kind 0, 500 ms). The
// villagers' own lines are events 20 to 25; the inn's keeper and guest have 20 to 23.
const char* const kStory = R"(# The sample game's story.
scene 0
text 0 "欢迎来到青石镇。"
text 1 "路上小心，天黑前记得回来。"
text 2 "终于到青石镇了。先四处走走吧。"
text 3 "镇子不大，东边的路通往竹林。"
text 4 "姑娘，能帮我去井边打一桶水吗？\\n好，我这就去\\n现在没空"
text 5 "井在镇子西边。三十秒之内回来，水还是凉的！"
text 6 "太慢了……水都晒热了。"
text 7 "这么快就回来了，真是多谢你！"
text 8 "那就不麻烦姑娘了，我自己慢慢去打吧。"

event 0 once
  Talk 1 2
  HeroWalk 640 540
  HeroWalk 672 560
  Talk 101 3
event 1
  SetScene 1 200 300 0 500 0
event 2
  SetScene 100 400 400 0 500 0
# She asks first, once: "yes" starts the countdown (6), "no" lets the errand go (7).
event 3 once
  TalkChoice 8 5 6 7 -1
event 6 once
  Talk 8 5
  CountdownStart 30
event 7
  Talk 8 8
event 4 once after 0:6
  CountdownStop 5
  Talk 1 6
event 5 limit 1
  Talk 8 7
  MoveView 300 416
  ViewFollowHero
  HeroAction 1 4
  SceneEffect 0 500 416 1
text 250 "拿着吧：三份金创药，三颗霹雳珠，都在你包里（按W）。把药拖到快捷栏左边四格，按5到8服用；珠子拖到右边四格，按1到4点燃。"
event 30 once
  Talk 9 250
  GiveItem 1
  GiveItem 1
  GiveItem 1
  GiveItem 47
  GiveItem 47
  GiveItem 47
text 251 "药用完了，镇北的杂货铺里还有得卖。"
event 31
  Talk 9 251

text 330 "路边有一只旧木箱。"
text 331 "箱子里有一把铁剑、一件皮甲、一双布靴、两颗红宝石、三瓶金创药和李员外丢的玉佩。"
text 332 "箱底还压着一本秘籍，记着三门武功。"
event 70 once
  Talk 1 330
  GiveItem 12
  GiveItem 20
  GiveItem 31
  GiveItem 40
  GiveItem 40
  GiveItem 1
  GiveItem 1
  GiveItem 1
  GiveItem 62
  Talk 1 331
  LearnSkill 0 2
  LearnSkill 0 5
  LearnSkill 0 8
  Talk 1 332
  HeroFlagOff 4
  HeroFlagOn 5
text 200 "帮我去竹林采些草药好吗？\\n好，我这就去\\n以后再说吧"
text 201 "太好了！这个竹篓给你。药草就长在竹林入口往东几步的路边，采三份回来。"
text 202 "多谢姑娘！这是三百两银子，一点心意。"
text 203 "竹林里的药草果然新鲜……"
text 204 "我也该回家了，后会有期！"
text 205 "不着急，想好了再来找我。"

# The herbalist (character 6): with herbs the reward, else the question.
event 40
  ItemBranch 54 41
  TalkChoice 6 201 42 43 -1
event 41 once
  TakeItem 53
  TakeItem 53
  TakeItem 53
  Money 1 300
  HeroFlagOff 2
  Talk 6 202
  ShowBackPicture 1
  PlayMusic 5
  Nop
  Talk 101 203
  HideBackPicture
  Talk 102 204
  LeaveParty 3
event 42 once
  Talk 6 201
  GiveItem 67
  HeroFlagOn 2
  Money 1 50
event 43
  Talk 6 205
text 270 "钱放在我这里最稳妥，要存还是要取？"
event 50
  Talk 10 270
  OpenBank
text 290 "起雾了，什么都看不清。"
text 291 "下雨了，还打雷！"
text 292 "下雪了……"
text 293 "天色暗了下来。"
event 55 once
  Weather 2
  Talk 101 290
  Weather 2
  Weather 3
  Talk 101 291
  Weather 3
  Weather 1
  Talk 101 292
  Weather 1
  Weather 4
  Talk 101 293
  Weather 4
# The master (character 11) asks first; "yes" gives the task and starts the bout (64),
# which goes on past the battle only when she won it (the golems never let her run).
text 300 "想试试身手吗？来和我的石像过过招。\\n好，放马过来\\n改天再说"
text 301 "好！过了我石像这一关，我就认你这个徒弟。"
text 307 "好身手！从今天起你就是我的徒弟了。"
text 308 "想好了再来找我。"
event 60
  TalkChoice 4 301 64 65 -1
event 64
  HeroFlagOn 1
  Talk 4 301
  Fight 1 8 8 8
  Talk 4 307
  HeroFlagOff 1
event 65
  Talk 4 308
# Battle talk of the master's bout, started by the battle as sub-scripts when an enemy
# row or a member names them (the battle probe does): the golems' challenge (61, face 8
# the golems' animation number, the heroine's 1 for her answer) and the cry of the
# heroine (62) or the companion (63, face 2) when she falls.
text 302 "石像：来者何人？"
text 303 "石像：先过我们这一关！"
text 304 "放马过来吧！"
text 305 "啊……我撑不住了……"
text 306 "姐姐，我先倒下了……"
event 61
  Talk 8 302
  Talk 8 303
  Talk 1 304
event 62
  Talk 1 305
event 63
  Talk 2 306

# The game keeper (character 17) gives 2000 once, then asks which game; each answer
# starts the event that runs that game. The signboard beside her runs the picture show,
# then the heroine steps off it (south, cell 34,15): standing on it would start the show
# again at once, and clicks are not taken while it runs.
text 380 "我是这里的游戏老板娘。初次见面，这2000两送你，玩几把吧！"
text 381 "想玩哪一个？\\n接宝物（要500两）\\n押大小\\n比力气"
text 382 "接宝物结束了，看看包里多了什么。"
text 383 "押大小结束了，欢迎再来！"
text 384 "比力气结束了，好大的力气！"
event 85 once
  Talk 11 380
  Money 1 2000
  TalkChoice 11 382 86 87 88
event 89
  TalkChoice 11 382 86 87 88
text 385 "宝物会从上空飞过，手跟着鼠标左右走，按左键把手抛上去，接住的就归你。"
text 386 "连按空格键把力气条蓄满，要赶在上面的时间条走完之前。赢了长一千点经验！"
event 86
  Talk 11 385
  KnockGame 1
  Talk 11 382
event 87
  KnockGame 2
  Talk 11 383
event 88
  Talk 11 386
  KnockGame 3
  Talk 11 384
event 90
  PictureShow 1
  HeroWalk 1104 496

# The shop keeper (character 14) opens shop 1; the inlay master (15) and the smith (16)
# open their boards; the combining table gives ingredients for the first recipe.
text 350 "客官看看，小店货真价实！"
text 351 "宝石嵌进鞋子里，走得更稳。"
text 352 "旧装备拿来，给你熔了打新的。"
text 353 "这些材料拿去，按F1在合成台上试试。"
event 75
  Talk 12 350
  OpenWorkPanel 1
event 76
  Talk 13 351
  OpenCraftPanel 2
event 77
  Talk 14 352
  OpenCraftPanel 1
# On the first visit the inlay master gives shoes and three gems, and the smith two old
# pairs of shoes to melt down; then each opens his board.
text 365 "初次见面，送你一双草鞋和几颗宝石，放上来试试。"
text 366 "这两双旧鞋拿去，放到台上熔了，能打出一双新的。"
event 81 once
  Talk 13 365
  GiveItem 30
  GiveItem 40
  GiveItem 41
  GiveItem 43
  OpenCraftPanel 2
event 82 once
  Talk 14 366
  GiveItem 31
  GiveItem 32
  OpenCraftPanel 1
event 78 once
  GiveItem 48
  GiveItem 53
  GiveItem 57
  GiveItem 57
  Talk 101 353
# The villagers' own lines: the first one, beside the start, gives the first task once
# (then tells the way); Squire Li takes his jade pendant back once she holds it.
text 400 "听说悦来客栈的掌柜消息最灵通，去那里打听打听吧。"
text 401 "东边竹林里有小妖出没，多带几瓶药再去。"
text 402 "今天集市可热闹了，姑娘也去逛逛吧。"
text 403 "我家的小狗又跑丢了，你见过它吗？"
text 404 "悦来客栈就在镇子西北角，门上挂着招牌。"
text 405 "这……这正是我丢的玉佩！多谢姑娘，这二百两请收下。"
event 20 once
  Talk 7 400
  HeroFlagOn 0
event 24
  Talk 7 404
event 21
  Talk 8 401
event 22
  Talk 89 402
event 23
  Talk 3 403
event 25 once needs 62
  Talk 8 405
  TakeItem 62
  Money 1 200
  HeroFlagOff 5

# The lad by the inn (character 41) sends his little brother (40) running past the
# inn's door, which stops the run at the door's edge; then the lad sets off for the
# door himself and his brother steps back into his way.
text 390 "小石头，快跑去看看客栈门口是谁！"
text 391 "哎，你挡着我的路了。"
text 392 "哥哥总让我跑腿。"
event 97
  Talk 15 392
event 96
  Talk 16 390
  NpcRun 40 304 208
  NpcWalk 41 112 208
  NpcWalk 40 112 240
  Talk 16 391

scene 1
text 0 "欢迎来到镇外竹林。"
text 1 "竹林里风声很大，小心脚下。"
text 2 "好安静的竹林……好像有人在看着我。"

event 0 once
  Talk 101 2
event 1
  SetScene 0 1168 496 0 500 0
text 200 "你也是来采药的吗？我陪你走一段吧。东南角有两个厉害的家伙，别过去。"
text 201 "这里有好多药草！"

# The companion (character 5) joins; the herb patch gives herbs once she has the basket.
event 40 once
  Talk 2 200
  SetObjFlag 5 -1
  JoinParty 3 -1
event 41 once needs 67
  Talk 101 201
  GiveItem 53
  GiveItem 53
  GiveItem 53
text 300 "草丛里窜出两只野兽！先拿好这些东西。"
event 60 once
  Talk 101 300
  GiveItem 25
  GiveItem 25
  GiveItem 26
  GiveItem 35
  GiveItem 35
  GiveItem 35
  LearnSkill 0 1
  LearnSkill 0 3
  LearnSkill 0 4
  LearnSkill 0 5
  LearnSkill 0 6
  LearnSkill 0 7
  LearnSkill 0 11
  LearnSkill 0 17
  LearnSkill 0 23
  LearnSkill 0 29
  LearnSkill 0 35
  LearnSkill 0 12
  LearnSkill 0 15
  Fight 1 14 15 -1

scene 100
text 0 "欢迎来到悦来客栈。"
text 1 "路上小心，天黑前记得回来。"
# The innkeeper (character 30) ends the first task and sends her on; once the master
# took her on (0:64) and the herbalist had his herbs (0:41) the story ends here.
text 200 "客官想打听消息？你可算问对人了。"
text 201 "药铺的掌柜正找人去东边竹林采药，镇东的武师也在找能过他石像一关的人。"
text 202 "姑娘如今可是青石镇的名人了：武师收了徒弟，药铺也有了新鲜的药草。"
text 203 "往后的路还长，青石镇随时欢迎你回来！"
text 204 "去竹林别忘了多带几瓶药。"
text 205 "听说竹林东南角有弓手和阵法师出没，千万别去那边。"

event 0
event 1
  SetScene 0 370 250 0 500 0
event 20 once
  Talk 5 200
  Talk 5 201
  HeroFlagOff 0
event 21 once after 0:64 0:41
  Talk 5 202
  Talk 5 203
  PlayEnding 1
event 22
  Talk 5 204
event 23
  Talk 17 205
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

