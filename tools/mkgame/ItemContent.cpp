// Items, shops and recipes of the sample game.
#include "tools/mkgame/MkGame.h"

#include "platform/Charset.h"

#include <algorithm>
#include <cstdio>

std::string Gbk(std::string_view utf8) { return Utf8ToText(utf8); }

namespace {

// One family of items: kind, bag shape, slot value and who may use them.
struct ItemFamily {
    std::int32_t nType;
    std::int32_t nGirdNum;
    std::array<std::uint8_t, 6> bFit;
    const char* pKindText;  // first description line
    std::vector<const char*> names;
};

std::string Format(const char* pFormat, int n) {
    char buf[128];
    std::snprintf(buf, sizeof(buf), pFormat, n);
    return buf;
}

// Item ids of the families, in the order AddItems lays them out.
constexpr int kFirstMedicine = 1;
constexpr int kFirstThrown = 35;
// The 13 ingredient kinds of the recipes: gem 47 (also the bomb), the materials 48..58
// and item 82, which the combining table takes as a material too.
constexpr int kIngredientIds[13] = {47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 82};
constexpr int kExtraMaterial = 82;

}  // namespace

void AddItems(GameModel& model) {
    // Item 0 is money: its picture number (ground kind) is 0.
    ItemModel money;
    money.strName = Gbk("银两");
    money.strDescription[0] = Gbk("行走江湖的盘缠");
    money.nType = 3;
    money.bFit = {1, 1, 1, 1, 1, 1};
    model.items.push_back(money);

    const std::vector<ItemFamily> families = {
        {1, 0, {1, 1, 1, 1, 1, 1}, "药品",
         {"金创药", "止血散", "还魂丹", "回气丸", "清心露", "大还丹", "雪莲膏", "人参汤", "灵芝丸", "九转丹"}},
        {7, 1, {1, 1, 0, 0, 1, 0}, "兵器",
         {"木剑", "铁剑", "青钢剑", "寒铁刀", "龙泉剑", "玄铁重剑", "柳叶刀", "紫电剑"}},
        {4, 1, {1, 1, 1, 1, 0, 0}, "护甲", {"布衣", "皮甲", "锁子甲", "青铜铠", "金丝软甲", "玄武铠"}},
        {0, 1, {1, 1, 1, 1, 0, 0}, "头饰", {"头巾", "皮帽", "铁盔", "凤翅盔", "紫金冠"}},
        {2, 1, {1, 1, 1, 1, 1, 1}, "鞋履", {"草鞋", "布靴", "皮靴", "踏云靴", "飞燕靴"}},
        {6, 0, {1, 1, 1, 0, 0, 0}, "暗器", {"飞镖", "铁蒺藜", "袖箭", "梅花针", "霹雳弹"}},
        {8, 0, {1, 1, 1, 1, 1, 1}, "宝石",
         {"红宝石", "蓝宝石", "绿翡翠", "紫水晶", "黄玉", "白玉", "猫眼石", "夜明珠"}},
        {9, 0, {1, 1, 1, 1, 1, 1}, "材料",
         {"铁矿石", "铜矿石", "兽皮", "丝绸", "木材", "药草", "灵石", "蛇胆", "熊胆", "鹿茸", "虎骨", "蜂蜜", "朱砂"}},
        {99, 0, {1, 1, 1, 1, 1, 1}, "任务物品", {"书信", "玉佩", "铜钥匙", "地图残片", "令牌", "家传宝剑"}},
        {5, 0, {1, 1, 1, 1, 1, 1}, "杂物",
         {"竹篓", "鱼干", "烧饼", "酒葫芦", "灯笼", "绳索", "火折子", "铜镜", "折扇", "香囊", "风筝",
          "棋盘", "茶叶", "瓷瓶", "古琴", "毛笔", "砚台", "宣纸", "画卷", "铜钱串", "木梳", "手帕",
          "发簪", "油纸伞", "斗笠", "蓑衣", "草席", "干粮", "水囊", "渔网", "算盘", "印章", "锦盒"}},
    };

    for (const ItemFamily& family : families) {
        int nGrade = 0;
        for (const char* pName : family.names) {
            ++nGrade;
            ItemModel it;
            int nId = int(model.items.size());
            it.strName = Gbk(pName);
            it.nType = family.nType;
            it.nTypeOnGround = nId;  // picture number of the item on the map
            it.nGirdNum = family.nGirdNum;
            it.bFit = family.bFit;
            it.nLevel = 1 + (nGrade - 1) / 2;
            it.strDescription[0] = Gbk(family.pKindText);
            switch (family.nType) {
            case 1:
                it.nLife = nGrade % 2 == 1 ? 40 * nGrade : 0;
                it.nMana = nGrade % 2 == 0 ? 25 * nGrade : 0;
                it.strDescription[1] = it.nLife > 0 ? Format(Gbk("恢复生命%d点").c_str(), it.nLife)
                                                    : Format(Gbk("恢复内力%d点").c_str(), it.nMana);
                break;
            case 7:
                it.nAttack = 8 * nGrade + 4;
                it.strDescription[1] = Format(Gbk("攻击+%d").c_str(), it.nAttack);
                break;
            case 4:
            case 0:
                it.nDefence = (family.nType == 4 ? 6 : 3) * nGrade;
                it.nLife = family.nType == 4 ? 10 * nGrade : 0;
                it.strDescription[1] = Format(Gbk("防御+%d").c_str(), it.nDefence);
                break;
            case 2:
                it.nCelerity = 2 * nGrade;
                it.nGirdNum = nGrade % 2 == 0 ? 2 : 1;  // the fourth slot takes shapes 1 and 2
                it.strDescription[1] = Format(Gbk("身法+%d").c_str(), it.nCelerity);
                break;
            case 6:
                it.nAttack = 15 * nGrade;
                it.strDescription[1] = Format(Gbk("投掷伤害%d").c_str(), it.nAttack);
                break;
            case 8:
                it.nAttack = nGrade % 3 == 1 ? 5 * nGrade : 0;
                it.nDefence = nGrade % 3 == 2 ? 4 * nGrade : 0;
                it.nCelerity = nGrade % 3 == 0 ? 3 * nGrade : 0;
                it.nGirdNum = (nGrade - 1) % 4;  // gems come in every bag shape
                it.strDescription[1] = Gbk("可镶嵌于装备之上");
                break;
            case 9:
                it.strDescription[1] = Gbk("可用于合成");
                break;
            case 99:
                it.strDescription[1] = Gbk("重要之物，不可丢弃");
                break;
            default:
                it.strDescription[1] = Gbk("寻常之物");
                break;
            }
            if (nGrade % 3 == 0) it.strDescription[2] = Gbk("品质上乘");
            model.items.push_back(it);
        }
    }
    // Gem 47 is also the sample bomb (quick slots 5..8, keys 1..4): its attack word is
    // the blast's damage.
    constexpr int kSampleBomb = 47;
    if (int(model.items.size()) > kSampleBomb) {
        model.items[kSampleBomb].nAttack = 60;
        model.items[kSampleBomb].nGirdNum = 0;  // an ingredient: the combining table takes one-cell items
    }
    if (int(model.items.size()) > kExtraMaterial) {
        ItemModel& ink = model.items[kExtraMaterial];
        ink.nType = 9;
        ink.nGirdNum = 0;
        ink.strDescription[1] = Gbk("可用于合成");
    }
}

namespace {

// The price shops sell an item at (they buy it back at half), by its id and level;
// 0 for an id the model has no item for.
int ItemPrice(const GameModel& model, size_t id) {
    if (id >= model.items.size()) return 0;
    return 20 + 15 * int(id % 17) + 40 * model.items[id].nLevel;
}

}  // namespace

void AddShops(GameModel& model) {
    // Which item ids each shop sells; entry j of a shop lists item j + 1.
    struct ShopPlan {
        int nFirst, nLast, nStock;
    };
    const ShopPlan plans[16] = {
        {1, 10, 20},  {11, 18, 3}, {19, 24, 3}, {25, 29, 5}, {30, 34, 5}, {35, 39, 10}, {40, 47, 2}, {48, 60, 15},
        {67, 99, 8},  {1, 5, 10},  {11, 14, 2}, {19, 21, 2}, {48, 52, 20}, {1, 99, 1},  {40, 43, 1}, {90, 99, 4},
    };
    for (int s = 0; s < 16; ++s) {
        ShopModel& shop = model.shops[size_t(s)];
        const ShopPlan& plan = plans[s];
        shop.entries.resize(size_t(plan.nLast));
        for (int id = plan.nFirst; id <= plan.nLast && id < int(model.items.size()); ++id) {
            if (model.items[size_t(id)].nType == 99) continue;  // task items are not sold
            ShopEntryModel& e = shop.entries[size_t(id - 1)];
            const int nPrice = ItemPrice(model, size_t(id));
            e.nQuantity = plan.nStock;
            e.nPriceOut = nPrice;
            e.nPriceIn = nPrice / 2;
        }
    }
    // The town's shop keeper (shop 1 of the scripts) prices every item, so anything the
    // heroes carry can be sold there; only its own goods are in stock.
    ShopModel& keeper = model.shops[0];
    // Its entries reach the last item of the model, 99 at most.
    const size_t nPriced = std::min<size_t>(99, model.items.empty() ? 0 : model.items.size() - 1);
    keeper.entries.resize(std::max(keeper.entries.size(), nPriced));
    for (size_t id = 1; id <= nPriced; ++id) {
        ShopEntryModel& e = keeper.entries[id - 1];
        if (e.nPriceOut != 0 || model.items[id].nType == 99) continue;
        const int nPrice = ItemPrice(model, id);
        e.nPriceOut = nPrice;
        e.nPriceIn = nPrice / 2;
    }
}

void AddRecipes(GameModel& model) {
    for (int k = 0; k < 13; ++k) model.peiFangItems.push_back(PeiFangItemModel{k + 1, kIngredientIds[k]});
    // 25 recipes of two or three ingredient kinds, no two alike. Every result is a
    // one-cell item: medicines, thrown weapons, one-cell gems and the rare materials.
    // Recipe 0 (one of 48 and 53, two of 57: what the combining table gives) makes three.
    constexpr int kLaterResults[10] = {40, 44, 59, 60, 40, 44, 59, 60, 1, 2};
    for (int r = 0; r < 25; ++r) {
        PeiFangModel p;
        p.nId = r + 1;
        p.nPeiFangNo = r;
        p.nItemNum[size_t((r + 1) % 13)] = 1 + r % 3;
        p.nItemNum[size_t((r + 6) % 13)] += 1;
        if (r % 4 == 0) p.nItemNum[size_t((r + 10) % 13)] += 2;
        p.nNewItemNo = r < 10 ? kFirstMedicine + r : (r < 15 ? kFirstThrown + (r - 10) : kLaterResults[r - 15]);
        p.nNewItemNum = r % 5 == 0 ? 3 : (r < 10 ? 2 : 1);
        model.peiFang.push_back(p);
    }
}
