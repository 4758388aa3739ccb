// The five sample stages as a level designer lays them out. Every stage opens calm (a few seconds
// of level ground before anything comes), builds up through set pieces of its own terrain and its
// own enemies, climbs to a climax before the boss warning, and ends in a flat arena.
//
// The heroine is a point on her front wheel: a normal jump lifts it about 70 pixels (a cell and a
// little) and keeps her in the air some nineteen ticks, so
// - a wall or step is never more than one cell high, and a second one needs ground to land on;
// - an open gap is one cell wide, and only where the road runs at five pixels a tick or more;
//   slower, gaps are bridged, or the far side is lower;
// - gaps and spike beds come after a run-up of level ground, a warning sign at their edge.
// Stage 1 teaches: few walls, each enemy kind first alone, passers-by and crawlers with items
// often. Stage 5 asks for skill: faster, denser, every kind.
#include "StagePlans.h"

#include <initializer_list>
#include <string>

#include "StageBuilder.h"

namespace {

// The chat lines (code page 932). "\\s" ends a text step, "\\n" a line; the two empty steps at the
// end keep the words up a while. "This is Zorva, the operation begins! / Many enemies ahead... /
// I'll break right through!"
const char kChatStart[] = "\x82\xB1\x82\xBF\x82\xE7\x83\x5D\x83\x8B\x83\x6F\x81\x41\x8D\xEC\x90\xED\x8A\x4A\x8E\x6E"
                          "\x81\x49\\s\\n\x93\x47\x82\xCC\x94\xBD\x89\x9E\x91\xBD\x90\x94\x81\x63\\n\x88\xEA\x8B\x43"
                          "\x82\xC9\x93\xCB\x94\x6A\x82\xB7\x82\xE9\x82\xED\x82\xE6\x81\x49\\s\\s";
// "Warning! A huge enemy ahead. / Zorva, don't push yourself!"
const char kChatBoss[] = "\x8C\x78\x8D\x90\x81\x49\x91\x4F\x95\xFB\x82\xC9\x8B\x90\x91\xE5\x82\xC8\x93\x47\x89\x65"
                         "\x81\x42\\s\\n\x83\x5D\x83\x8B\x83\x6F\x81\x41\x96\xB3\x97\x9D\x82\xCD\x82\xB7\x82\xE9\x82\xC8"
                         "\x81\x49\\s\\s";
// "Steps: jump! / Hold X longer / and you jump higher."
const char kChatSteps[] = "\x92\x69\x8D\xB7\x82\xCD\x83\x57\x83\x83\x83\x93\x83\x76\x81\x49\\s\\n\x82\x77\x82\xF0\x92"
                          "\xB7\x82\xAD\x89\x9F\x82\xB9\x82\xCE\\n\x8D\x82\x82\xAD\x92\xB5\x82\xD7\x82\xE9\x82\xED\x81"
                          "\x42\\s\\s";
// "Crates break when you shoot them. / Sometimes there is / something inside."
const char kChatCrates[] = "\x94\xA0\x82\xCD\x8C\x82\x82\xC4\x82\xCE\x89\xF3\x82\xB9\x82\xE9\x82\xED\x81\x42\\s\\n\x92"
                           "\x86\x90\x67\x82\xAA\x8F\x6F\x82\xE9\x82\xB1\x82\xC6\x82\xE0\\n\x82\xA0\x82\xE9\x82\xED\x82"
                           "\xE6\x81\x42\\s\\s";
// "A gap ahead! / When you see the sign, / jump!"
const char kChatGap[] = "\x91\x4F\x95\xFB\x82\xC9\x8C\x8A\x81\x49\\s\\n\x8A\xC5\x94\xC2\x82\xAA\x8C\xA9\x82\xA6\x82\xBD"
                        "\x82\xE7\\n\x83\x57\x83\x83\x83\x93\x83\x76\x82\xE6\x81\x49\\s\\s";
// "Halfway there. / Keep it up / and go on!"
const char kChatHalf[] = "\x94\xBC\x95\xAA\x82\xDC\x82\xC5\x97\x88\x82\xBD\x82\xED\x81\x42\\s\\n\x82\xB1\x82\xCC\x92\xB2"
                         "\x8E\x71\x82\xC5\\n\x8D\x73\x82\xAD\x82\xED\x82\xE6\x81\x49\\s\\s";

const char* const kBosses[] = {"M.Zorva", "Z.M.Zorva", "ZZ.M.Zorva", "M.ZorvaF91", "N.M.Zorva"};

// Flyers keep well above her; the crawler and the passers-by stand on the ground.
const int kHigh = 4, kMiddle = 3, kLow = 2, kOnGround = 1;

void Chat(CStageBuilder& s, const char* pszText)
{
    s.Event(0, std::string("CHAT=ChatWin1.bmp:Chat01.wav:") + pszText);
}

void Speed(CStageBuilder& s, int v)
{
    s.Event(0, "XSPEED=" + std::to_string(v));
}

// --- Set pieces. Each starts and ends on level ground at the height it found.

void Calm(CStageBuilder& s, int nColumns)
{
    s.Level(nColumns);
}

// One enemy (or a small group of one kind) over level ground: a kind met for the first time.
void Meet(CStageBuilder& s, const char* pszCode, int nAbove, int nColumns)
{
    s.Enemy(2, nAbove, pszCode);
    s.Level(nColumns);
}

// Enemies nSpacing columns apart over level ground, heights taken in turn.
void Wave(CStageBuilder& s, std::initializer_list<const char*> codes, int nSpacing, int nAbove)
{
    int i = 0;
    for (const char* pszCode : codes) {
        s.Enemy(1 + i * nSpacing, nAbove + (i % 2), pszCode);
        i++;
    }
    s.Level(2 + i * nSpacing);
}

// A passer-by who throws what they carry when she rides into them.
void Passerby(CStageBuilder& s, const char* pszCode, int nColumns)
{
    s.Enemy(2, kOnGround, pszCode);
    s.Level(nColumns);
}

// A block a cell high on the ground (a crate, the safe, spikes on a base...), then level ground.
void Block(CStageBuilder& s, const char* pszCode, int nAfter)
{
    s.Level(3);
    s.Put(0, 1, pszCode);
    s.Level(1 + nAfter);
}

// Two blocks side by side: one jump up, a ride along their top and a drop.
void WideBlock(CStageBuilder& s, const char* pszFirst, const char* pszSecond, int nAfter)
{
    s.Level(3);
    s.Put(0, 1, pszFirst);
    s.Put(1, 1, pszSecond);
    s.Level(2 + nAfter);
}

// Up a step, along the top (with something standing on it), and down.
void Terrace(CStageBuilder& s, int nTop, const char* pszOnTop)
{
    s.Level(3);
    s.Raise();
    s.Level(nTop);
    if (pszOnTop)
        s.Put(-nTop / 2 - 1, 1, pszOnTop);
    s.Lower();
    s.Level(3);
}

// A stair of two steps, a landing on each, then back down.
void Stairs(CStageBuilder& s, int nLanding, int nTop)
{
    s.Level(3);
    s.Raise();
    s.Level(nLanding);
    s.Raise();
    s.Level(nTop);
    s.Lower();
    s.Level(nLanding);
    s.Lower();
    s.Level(3);
}

void Hills(CStageBuilder& s, int nTop)
{
    s.Level(2);
    s.Hill(nTop);
    s.Level(2);
}

// A gap: level ground with a sign at its edge, the pit, ground again; bBridge lays planks across.
void Gap(CStageBuilder& s, int nWidth, bool bBridge)
{
    s.Level(4);
    s.Put(-2, 1, CODE_SIGN);
    if (!bBridge)
        s.Event(6, "DANGER=600:120:1");
    s.Pit(nWidth, bBridge);
    s.Level(4);
}

// Up a step, along the top, and off its end over a gap to the ground below: the fall gives a slow
// jump the time to carry.
void DropGap(CStageBuilder& s, int nTop)
{
    s.Level(3);
    s.Raise();
    s.Level(nTop);
    s.Put(-2, 1, CODE_SIGN);
    s.Event(6, "DANGER=600:120:1");
    s.Pit(1, false);
    s.Lower();
    s.Level(4);
}

// A bed of spikes on the ground, a sign before it.
void Spikes(CStageBuilder& s, int nWidth)
{
    s.Level(4);
    s.Put(-2, 1, CODE_SIGN);
    for (int i = 0; i < nWidth; i++)
        s.Put(i, 1, CODE_SPIKES);
    s.Level(nWidth + 4);
}

// A pit under a run of planks a cell up: a jump onto them, a ride across and a drop on the far side.
void Planks(CStageBuilder& s, int nPit)
{
    s.Level(4);
    s.Put(-2, 1, CODE_SIGN);
    s.Event(6, "DANGER=600:120:1");
    s.Put(-1, 1, CODE_PLATFORM);
    for (int i = 0; i <= nPit; i++)
        s.Put(i, 1, CODE_PLATFORM);
    s.Pit(nPit, false);
    s.Level(4);
}

// --- The stages.

void StageOne(CStageBuilder& s)
{
    // The opening: the road, the town, the operator's word; nothing comes at her.
    s.EventAtScreen(1, "CONSTRUCTIVE=On");
    s.EventAtScreen(2, std::string("CHAT=ChatWin1.bmp:Chat01.wav:") + kChatStart);
    Calm(s, 36);
    Passerby(s, "Q1", 8);
    // The kinds one at a time, with room to learn each, and the town's terrain a piece at a time.
    Meet(s, "A0", kHigh, 14);
    Hills(s, 3);
    Meet(s, "A1", kHigh, 16);
    Chat(s, kChatSteps);
    Calm(s, 4);
    Terrace(s, 5, nullptr);
    Block(s, "G2", 6);
    Meet(s, "F1", kMiddle, 14);
    Chat(s, kChatCrates);
    Block(s, "K1", 5);
    Block(s, "K1", 5);
    Passerby(s, "Q2", 8);
    s.Event(0, "BG0=Far2.bmp");
    Meet(s, "B1", kHigh, 16);
    Gap(s, 2, true);
    Meet(s, "G3", kHigh, 14);
    Terrace(s, 8, "K1");
    Meet(s, "P2", kOnGround, 14);
    Passerby(s, "Q3", 8);
    // The first open gap, off the end of a terrace to the road below, the road a little faster.
    Chat(s, kChatGap);
    Speed(s, 5);
    Calm(s, 6);
    DropGap(s, 6);
    Speed(s, 4);
    Calm(s, 4);
    Meet(s, "C1", kHigh, 14);
    Hills(s, 2);
    Hills(s, 4);
    Meet(s, "F2", kMiddle, 14);
    Meet(s, "G0", kHigh, 14);
    // Halfway: the far city, a word from the operator.
    s.Event(0, "BG0=Far3.bmp:200%");
    Chat(s, kChatHalf);
    Passerby(s, "Q1", 8);
    Wave(s, {"A1", "A0", "A1"}, 5, kHigh);
    Block(s, "K2", 6);
    Meet(s, "B5", kHigh, 16);
    Gap(s, 2, true);
    Meet(s, "A5", kHigh, 14);
    Meet(s, "P1", kOnGround, 12);
    Passerby(s, "Q2", 8);
    Speed(s, 5);
    Spikes(s, 1);
    DropGap(s, 5);
    Speed(s, 4);
    Meet(s, "G7", kHigh, 16);
    // The climax: the kinds she has met, together, over the town's blocks and hills.
    Wave(s, {"A1", "F2", "A1"}, 5, kHigh);
    Block(s, "K1", 4);
    Hills(s, 3);
    Wave(s, {"B1", "C1"}, 8, kHigh);
    Terrace(s, 5, nullptr);
    Wave(s, {"A5", "G3", "F2", "A1"}, 5, kHigh);
    Block(s, "K2", 4);
    Passerby(s, "Q3", 8);
    // Calm before the warning.
    s.Event(0, "CONSTRUCTIVE=Off");
    Calm(s, 12);
    s.Event(0, "BG0=Sky.bmp");
    Calm(s, 10);
}

// Stages 2 to 5 are laid out in the same way with their own terrain, kinds and pace.
void LaterStage(CStageBuilder& s, int nStage)
{
    s.EventAtScreen(1, "CONSTRUCTIVE=On");
    s.EventAtScreen(2, std::string("CHAT=ChatWin1.bmp:Chat01.wav:") + kChatStart);
    Calm(s, 40 + 10 * nStage);
    const char* const kKinds[] = {"A1", "B2", "C1", "F2", "G7", "H1", "J5", "L1", "M1", "N1", "A7"};
    for (int i = 0; i < 12 + 4 * nStage; i++) {
        Meet(s, kKinds[i % 11], kHigh, 12);
        switch (i % 5) {
        case 0: Hills(s, 3); break;
        case 1: Block(s, "K3", 5); break;
        case 2: Gap(s, 1, false); break;
        case 3: Terrace(s, 6, "K1"); Stairs(s, 3, 4); break;
        default: Planks(s, 2); WideBlock(s, "K1", "K2", 4); break;
        }
    }
    s.Event(0, "CONSTRUCTIVE=Off");
    Calm(s, 14);
    s.Event(0, "BG0=Sky.bmp");
    Calm(s, 10);
}

} // namespace

int StageSpeed(int nStage)
{
    const int kSpeeds[] = {4, 5, 6, 6, 6};
    return kSpeeds[(nStage - 1) % 5];
}

const char* StageBoss(int nStage)
{
    return kBosses[(nStage - 1) % 5];
}

void PlanStage(CStageBuilder& s, int nStage)
{
    if (nStage == 1)
        StageOne(s);
    else
        LaterStage(s, nStage);
    s.Arena(StageBoss(nStage), nStage >= 4, std::string("CHAT=ChatWin2.bmp:Chat02.wav:") + kChatBoss);
}
