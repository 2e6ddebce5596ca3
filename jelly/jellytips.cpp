// The jellyfish's tool tips. Each of the ten ordinary slots has one tool in the jelly window's
// tool tip control: its 20 x 20 rectangle lies 4 pixels inside the slot's square, and its text,
// centred below it, is one of JellyMsg. Hidden characters have no tools.
//
// The tools follow the jellyfish only when they move: a slot whose position is the one of the
// last update is left alone, so a jellyfish that rests keeps its words and no random number is
// drawn for it. A moved slot draws its text first, then whether its tool comes, stays or goes.
// The control holds at most one tool per slot, so that it does not grow while the program stays
// resident.
#include "jelly/jellytips.h"

#include "jelly/population.h"

#include "ground/random.h"

HWND hwndToolTip = nullptr;

// In their documented order: the young group (0..9), the grown-up group (10..69), the
// all-present group (70..89); the numbers are those within each group.
constexpr const char *const JellyMsg[JellyMsgCount] = {
    // The young group: baby noises.
    "にゃむにゃむ",   // 0
    "ママ。。。",     // 1
    "フギァ～！",     // 2
    "ほぁほぁ～",     // 3
    "ゲロゲロ",       // 4
    "ZZZZZzzzzz....", // 5
    "ガゥゥゥ....",   // 6
    "ゴホッゴホッ！", // 7
    "ズルズル",       // 8
    "バウバウ",       // 9
    // The grown-up group: chatter, questions and hints about the game.
    "クリックしてみた？",           // 0
    "クリックすると死ぬ事がある",   // 1
    "クリックすると子供が....",     // 2
    "隠れキャラは見つけた？",       // 3
    "みんなそろうかなぁ",           // 4
    "隠れキャラから子供が？",       // 5
    "隠れキャラは１０種類",         // 6
    "みんなそろうと１０？",         // 7
    "私は、クラゲだよ",             // 8
    "右クリックで終了だ",           // 9
    "今日の予定は？",               // 10
    "いい日になるよ、きっと",       // 11
    "めぐり会い？",                 // 12
    "暇なの？",                     // 13
    "やるぞ！",                     // 14
    "なんでだよ～",                 // 15
    "やるっきゃない",               // 16
    "私はだれ？",                   // 17
    "ここはどこ？",                 // 18
    "何やってんだよ～",             // 19
    "元気かぁ？",                   // 20
    "人生複雑だよね",               // 21
    "海でも行くか",                 // 22
    "一休み一休み",                 // 23
    "子供ができるといいね",         // 24
    "気分転換するぞ！",             // 25
    "なんとかなるさ",               // 26
    "こんにゃろ～",                 // 27
    "プンスカ！",                   // 28
    "今日何食べた？",               // 29
    "ポストは何色？",               // 30
    "一番広い国はどこ？",           // 31
    "一番長い川は何？",             // 32
    "一番高い山は？",               // 33
    "一番人口の多い国は？",         // 34
    "マンホールはなんで丸いの？",   // 35
    "白熊って冬眠するの？",         // 36
    "バナナってどこで取れるの？",   // 37
    "北極と南極どっちが大きい？",   // 38
    "ペンギンは鳥なの？",           // 39
    "悩んでるのよ",                 // 40
    "楽しい事しよう",               // 41
    "深呼吸して....",               // 42
    "ゆ～ったりと",                 // 43
    "いい時もあれば悪い時もあるさ", // 44
    "もう一回やってみよ",           // 45
    "気になるなぁ、あの人",         // 46
    "カレーが食べたい！",           // 47
    "カレーは好き？",               // 48
    "最近、運動してる？",           // 49
    "リンゴが好きだよ",             // 50
    "果物は何が好き？",             // 51
    "誕生日はついなの？",           // 52
    "岡山出身だぞ！",               // 53
    "景気はどうでっか？",           // 54
    "あんた、きれいだね",           // 55
    "スリスリしちゃう",             // 56
    "流れ星は見た？",               // 57
    "いい人に巡り会えるかも",       // 58
    "ねぇねぇお茶しない？",         // 59
    // The all-present group: praise and joy.
    "すばらしい！",                 // 0
    "あなたは、天使だ！",           // 1
    "なんて美しい人！",             // 2
    "穏やかなひとときね",           // 3
    "あなたのおかげです",           // 4
    "とっても感謝してます",         // 5
    "あなたにお会いできて光栄です", // 6
    "きっと、幸せになるでしょう",   // 7
    "心がときめくわ",               // 8
    "とてもうれしいです",           // 9
    "すてきな方ね",                 // 10
    "わくわく",                     // 11
    "平和だなぁ～",                 // 12
    "すがすがしいね",               // 13
    "みんな友達だよ",               // 14
    "あなたがすべてよ",             // 15
    "み～んなそろったのね",         // 16
    "こんなにうれしいなんて",       // 17
    "うれし涙。。。",               // 18
    "うれしくて言葉がないわ",       // 19
};

namespace
{

constexpr int ToolInset = 4; // the tool's rectangle starts this far inside the square
constexpr int ToolSide = 20; // and is this wide and high

const char *JellyTipText(const JellyRecord &slot)
{
    if (IsAll) return JellyMsg[AllTips + Prng::rand() % AllTipCount];
    if (slot.Age >= GrownUpAge) return JellyMsg[GrownTips + Prng::rand() % GrownTipCount];
    return JellyMsg[YoungTips + Prng::rand() % YoungTipCount];
}

void FillToolInfo(HWND hwnd, int number, JellyRecord &slot)
{
    TOOLINFOA &info = slot.ToolInfo;
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    // No TTF_SUBCLASS: the jelly window relays its mouse messages to the control itself.
    info.uFlags = TTF_CENTERTIP;
    info.hwnd = hwnd;
    info.uId = static_cast<UINT_PTR>(number);
    info.rect = RECT{slot.X + ToolInset, slot.Y + ToolInset, slot.X + ToolInset + ToolSide,
                     slot.Y + ToolInset + ToolSide};
    info.hinst = nullptr;
    // The control copies the text; the table's texts are never written to.
    info.lpszText = const_cast<char *>(JellyTipText(slot));
}

void SendTool(UINT message, WPARAM wParam, JellyRecord &slot)
{
    // The control's answers are not looked at.
    (void)SendMessageA(hwndToolTip, message, wParam, reinterpret_cast<LPARAM>(&slot.ToolInfo));
}

} // namespace

void ResetJellyTipsState()
{
    hwndToolTip = nullptr;
}

void JellySetToolTip(HWND hwnd)
{
    for (int s = 0; s < OrdinaryCount; ++s) {
        JellyRecord &slot = Jelly[s];
        if (slot.X == slot.TipX && slot.Y == slot.TipY) continue;
        slot.TipX = slot.X;
        slot.TipY = slot.Y;
        FillToolInfo(hwnd, s, slot);
        if (slot.Exist == 0) {
            if (slot.ToolAdded == 1) SendTool(TTM_DELTOOLA, 0, slot);
            slot.ToolAdded = 0;
        } else if (slot.ToolAdded == 1) {
            // Two times in three the tool moves along with its new text, else it goes.
            if (Prng::rand() % 3 != 0) {
                SendTool(TTM_SETTOOLINFOA, static_cast<WPARAM>(s), slot);
            } else {
                SendTool(TTM_DELTOOLA, 0, slot);
                slot.ToolAdded = 0;
            }
        } else if (Prng::rand() % 2 == 0) {
            // The control may still hold an earlier tool of the slot: a jellyfish that dies
            // keeps its tool until its slot moves, and a newborn placed in the slot starts from
            // a cleared record. The control would keep both tools, one of them for good, so the
            // earlier one goes first (deleting a tool the control does not hold does nothing).
            SendTool(TTM_DELTOOLA, 0, slot);
            SendTool(TTM_ADDTOOLA, 0, slot);
            slot.ToolAdded = 1;
        }
    }
}
