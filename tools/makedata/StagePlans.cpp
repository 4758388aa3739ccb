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

#include <algorithm>
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

// The road's speed from here on, then nCalm columns of calm ground. A rider needs a moment to feel
// a faster road before it asks for a jump at the new pace: a speed-up waits for a screen of calm
// ground in view and the first columns past its edge, taken from the calm after.
void Speed(CStageBuilder& s, int v, int nCalm = 0)
{
    const int nFrom = s.Column();
    while (v > s.RoadSpeed() && s.CalmBehind() < 10 + s.Column() % 10)
        s.Level(1);
    s.Event(0, "XSPEED=" + std::to_string(v));
    const bool bUp = v > s.RoadSpeed();
    s.SetRoadSpeed(v);
    const int nPastEdge = bUp ? s.Column() / 10 * 10 + 2 - s.Column() : 0;
    s.Level(std::max(nCalm - (s.Column() - nFrom), nPastEdge));
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

// A bed of spikes on the ground, a sign before it: a cell wide, where the road runs at six pixels a
// tick or more, for a normal jump to clear it with time to spare.
void Spikes(CStageBuilder& s, int nWidth)
{
    s.Level(4);
    s.Put(-2, 1, CODE_SIGN);
    for (int i = 0; i < nWidth; i++)
        s.Put(i, 1, CODE_SPIKES);
    s.Level(nWidth + 4);
}

// A pit under a run of planks a cell up: a jump onto them well before the pit, a ride across and a
// drop on the far side.
void Planks(CStageBuilder& s, int nPit)
{
    s.Level(5);
    s.Put(-5, 1, CODE_SIGN);
    s.Event(6, "DANGER=600:120:1");
    for (int i = -3; i <= nPit; i++)
        s.Put(i, 1, CODE_PLATFORM);
    s.Pit(nPit, false);
    s.Level(4);
}

// Crates stacked on safes into a small hill: up one, up two, along the top, down again; every step
// one jump high, and each crate a target besides. Her gun, always firing, breaks the crates that
// face her first: a lower row of crates would leave the row above it a wall two high. Safes stay,
// and a crate shot off their top only lowers the hill. The screen of its first safe.
int Stack(CStageBuilder& s, const char* pszHigh, int nTop)
{
    s.Level(3);
    const int nScreen = s.Screen();
    s.Put(0, 1, "K4");
    for (int i = 1; i <= nTop; i++) {
        s.Put(i, 1, "K4");
        s.Put(i, 2, pszHigh);
    }
    s.Put(nTop + 1, 1, "K4");
    s.Level(nTop + 5);
    return nScreen;
}

// An open gap a cell wide with water below it: the quay's edge.
void Dock(CStageBuilder& s)
{
    s.Level(4);
    s.Put(-2, 1, CODE_SIGN);
    s.Event(6, "DANGER=600:120:1");
    s.Pit(1, false);
    s.Put(-1, 1, "WA");
    s.Level(4);
}

// A field of crevasses: floes of ice between gaps, each gap after a run-up.
void Crevasses(CStageBuilder& s, int nGaps)
{
    for (int i = 0; i < nGaps; i++)
        Gap(s, 1, false);
}

// A rampart: up to its walk, along it past spikes and over a gap in it, down at its far end.
void Rampart(CStageBuilder& s, int nWalk)
{
    s.Level(3);
    s.Raise();
    s.Level(4);
    s.Raise();
    s.Level(nWalk);
    Spikes(s, 1);
    Gap(s, 1, false);
    s.Level(2);
    s.Lower();
    s.Level(4);
    s.Lower();
    s.Level(3);
}

// The calm opening every stage has: the road, the scenery, the operator's word; nothing comes at
// her before she has seen a passer-by.
void Opening(CStageBuilder& s, int nCalm)
{
    s.EventAtScreen(1, "CONSTRUCTIVE=On");
    s.EventAtScreen(2, std::string("CHAT=ChatWin1.bmp:Chat01.wav:") + kChatStart);
    Calm(s, nCalm);
    Passerby(s, "Q1", 6);
}

// The quiet before the warning: the bonus ends, a crawler brings a life capsule for the fight to
// come, and the sky comes back.
void Closing(CStageBuilder& s)
{
    s.Event(0, "CONSTRUCTIVE=Off");
    Meet(s, "P2", kOnGround, 14);
    s.Event(0, "BG0=Sky.bmp");
    Calm(s, 10);
}

// --- The stages.

void StageOne(CStageBuilder& s)
{
    Opening(s, 38);
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
    Speed(s, 5, 6);
    DropGap(s, 6);
    Speed(s, 4, 4);
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
    Speed(s, 5, 6);
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
    Closing(s);
}

// The harbour: containers stacked on the quays, gaps of open water, the new kinds that brake and
// dive (H) and hover (J), craft that come from behind; a little faster than the town.
void StageTwo(CStageBuilder& s)
{
    Opening(s, 36);
    // The gate: what she knows, then the harbour's own kinds one at a time.
    Wave(s, {"A1", "A0"}, 6, kHigh);
    Stack(s, "K2", 2);
    Meet(s, "H1", kHigh, 16);
    Dock(s);
    Meet(s, "A3", kMiddle, 14);
    Block(s, "K3", 5);
    Meet(s, "J1", kMiddle, 16);
    Wave(s, {"A1", "A5", "A1"}, 5, kHigh);
    Planks(s, 2);
    Meet(s, "C3", kHigh, 16);
    Terrace(s, 8, "K2");
    Meet(s, "P2", kOnGround, 12);
    Passerby(s, "Q2", 8);
    // The container yard, the road a little faster; its first stack is the yard's own piece.
    s.Event(0, "BG0=Far2.bmp");
    Speed(s, 6);
    Calm(s, 6 + (10 - (s.Column() + 6) % 10) % 10);
    s.WriteAsGroup(Stack(s, "K1", 3), "CONTAINERS");
    Meet(s, "J5", kMiddle, 16);
    Wave(s, {"F2", "F6"}, 6, kHigh);
    Dock(s);
    Wave(s, {"H1", "A3"}, 6, kHigh);
    WideBlock(s, "K5", "K1", 5);
    Meet(s, "G7", kHigh, 18);
    Spikes(s, 1);
    Wave(s, {"B2", "C1"}, 8, kHigh);
    Stack(s, "K3", 2);
    Passerby(s, "Q3", 8);
    Speed(s, 5, 8);
    // Halfway: the quays at dusk.
    s.Event(0, "BG0=Far3.bmp:200%");
    Chat(s, kChatHalf);
    Hills(s, 3);
    Meet(s, "F4", kMiddle, 14);
    Dock(s);
    Wave(s, {"J1", "J5"}, 6, kMiddle);
    Terrace(s, 6, nullptr);
    Wave(s, {"A7", "A1", "A5"}, 5, kHigh);
    Planks(s, 3);
    Meet(s, "B6", kHigh, 18);
    Block(s, "K4", 5);
    Meet(s, "P1", kOnGround, 12);
    // The warehouse roofs: up the stairs, along the top under fire, off the end over a gap.
    Wave(s, {"A1", "A1"}, 4, kHigh);
    Stairs(s, 4, 12);
    Wave(s, {"J5", "F2", "H1"}, 6, kHigh);
    Stack(s, "K5", 2);
    Meet(s, "C1", kHigh, 12);
    Gap(s, 1, false);
    Passerby(s, "Q1", 8);
    Wave(s, {"G7", "A5"}, 10, kHigh);
    Hills(s, 4);
    Meet(s, "B2", kHigh, 14);
    Dock(s);
    Block(s, "K3", 4);
    Wave(s, {"F2", "F4", "F6"}, 4, kMiddle);
    // The pier: the climax, faster again.
    Speed(s, 6, 8);
    Wave(s, {"H1", "J5", "A3"}, 5, kHigh);
    Stack(s, "K2", 3);
    Dock(s);
    Wave(s, {"G3", "G5", "C1"}, 5, kHigh);
    DropGap(s, 5);
    Wave(s, {"F6", "H1", "A7", "J1"}, 5, kHigh);
    Spikes(s, 1);
    Wave(s, {"B6", "C3"}, 8, kHigh);
    Dock(s);
    Passerby(s, "Q3", 8);
    Speed(s, 5);
    Closing(s);
}

// The canyon: long slopes, mesas climbed by their ledges and left over a chasm, bare chasms at a
// faster pace, boulders; the new kinds that stand and fire a charged laser (L), a volley of
// missiles (M) and fans of big bullets (N).
void StageThree(CStageBuilder& s)
{
    Opening(s, 44);
    // The canyon floor.
    Wave(s, {"A1", "A0", "A1"}, 5, kHigh);
    Hills(s, 3);
    Meet(s, "L1", kLow, 18);
    Gap(s, 1, false);
    Wave(s, {"C1", "H1"}, 7, kHigh);
    Hills(s, 5);
    Meet(s, "M1", kMiddle, 18);
    Block(s, "K4", 5);
    Wave(s, {"J5", "A5"}, 6, kHigh);
    Gap(s, 1, false);
    Hills(s, 2);
    Passerby(s, "Q2", 6);
    // The mesas: up by their ledges, along the top under fire, off the end.
    s.Event(0, "BG0=Far2.bmp");
    Speed(s, 5, 6);
    Stairs(s, 4, 10);
    Wave(s, {"F2", "L1"}, 7, kHigh);
    DropGap(s, 6);
    Meet(s, "G8", kHigh, 18);
    Planks(s, 3);
    Wave(s, {"A3", "A1", "H1"}, 5, kHigh);
    Spikes(s, 1);
    Stack(s, "K1", 2);
    Wave(s, {"M1", "J1"}, 8, kMiddle);
    Stairs(s, 5, 8);
    Meet(s, "P2", kOnGround, 10);
    Passerby(s, "Q3", 6);
    // The dry river: a fast run between chasms.
    Speed(s, 7, 10);
    Wave(s, {"G7", "A1", "A1"}, 6, kHigh);
    Gap(s, 1, false);
    Wave(s, {"C3", "C1"}, 6, kHigh);
    Hills(s, 4);
    Gap(s, 1, false);
    Wave(s, {"B6", "F6"}, 8, kHigh);
    Block(s, "K3", 6);
    Gap(s, 1, false);
    Speed(s, 6, 8);
    // The arches: ledges under the rock, chasms between them.
    Wave(s, {"M1", "A1"}, 7, kHigh);
    Stairs(s, 4, 8);
    Wave(s, {"L3", "H1"}, 7, kLow);
    DropGap(s, 5);
    Wave(s, {"G8", "C1", "A5"}, 5, kHigh);
    Crevasses(s, 2);
    Hills(s, 5);
    Meet(s, "P1", kOnGround, 10);
    Wave(s, {"J1", "J5", "F4"}, 6, kMiddle);
    Terrace(s, 6, "K4");
    Passerby(s, "Q2", 6);
    // Halfway: the canyon at dusk, and the first fans of big bullets.
    s.Event(0, "BG0=Far3.bmp:200%");
    Chat(s, kChatHalf);
    Meet(s, "N1", kMiddle, 20);
    Terrace(s, 8, "K2");
    Wave(s, {"L1", "L3"}, 8, kLow);
    Planks(s, 2);
    Wave(s, {"J5", "J6", "H1"}, 5, kHigh);
    Hills(s, 3);
    Stack(s, "K1", 3);
    Meet(s, "M3", kMiddle, 16);
    Gap(s, 1, false);
    Wave(s, {"A5", "A7", "G8"}, 6, kHigh);
    Spikes(s, 1);
    Passerby(s, "Q1", 6);
    Stairs(s, 4, 12);
    Wave(s, {"N1", "F2"}, 8, kHigh);
    DropGap(s, 6);
    // The gorge: the climax.
    Speed(s, 7, 8);
    Wave(s, {"H1", "C1", "J5", "A1"}, 4, kHigh);
    Gap(s, 1, false);
    Wave(s, {"L1", "M1"}, 7, kLow);
    Hills(s, 3);
    Wave(s, {"B8", "G7"}, 9, kHigh);
    Stack(s, "K2", 2);
    Wave(s, {"N3", "A3", "C3"}, 6, kHigh);
    Gap(s, 1, false);
    Wave(s, {"J6", "H1", "F6", "L1"}, 5, kHigh);
    Planks(s, 3);
    Passerby(s, "Q3", 6);
    Speed(s, 6);
    Closing(s);
}

// The frozen base: ice shelves, crevasses, bunkers of crates round the safe, bridges of girders,
// and hovering guns that sit on either side of the screen (J), lasers and missiles from behind.
void StageFour(CStageBuilder& s)
{
    Opening(s, 44);
    // The outer fence: snowdrifts and the first guns.
    Wave(s, {"A1", "J1", "A1"}, 5, kHigh);
    Hills(s, 4);
    Meet(s, "J7", kMiddle, 16);
    Stack(s, "K1", 2);
    Wave(s, {"H1", "C1"}, 7, kHigh);
    Gap(s, 1, false);
    Wave(s, {"A5", "F6", "A5"}, 5, kHigh);
    Terrace(s, 10, "K4");
    Meet(s, "L3", kLow, 16);
    Crevasses(s, 2);
    Passerby(s, "Q2", 6);
    // The ice shelves: up and down their edges, crevasses between.
    s.Event(0, "BG0=Far2.bmp");
    Wave(s, {"J5", "J7"}, 8, kMiddle);
    Stairs(s, 5, 10);
    Wave(s, {"M3", "A3"}, 7, kHigh);
    DropGap(s, 5);
    Wave(s, {"G7", "H3"}, 9, kHigh);
    Planks(s, 3);
    Wave(s, {"N1", "J6"}, 8, kMiddle);
    Hills(s, 3);
    Stack(s, "K3", 3);
    Meet(s, "P2", kOnGround, 10);
    Wave(s, {"B8", "C3"}, 8, kHigh);
    Crevasses(s, 3);
    Spikes(s, 1);
    Passerby(s, "Q3", 6);
    // The bunkers, at a faster pace.
    Speed(s, 7, 10);
    Wave(s, {"L1", "L3", "A1"}, 6, kLow);
    WideBlock(s, "K4", "K5", 5);
    Wave(s, {"J5", "J8", "H1", "A7"}, 5, kHigh);
    Gap(s, 1, false);
    Wave(s, {"M1", "F2", "F4"}, 6, kMiddle);
    Stack(s, "K1", 3);
    Wave(s, {"G8", "G3", "C1"}, 6, kHigh);
    Spikes(s, 1);
    Speed(s, 6, 8);
    // The hangars: stacks of crates between their doors, bridges over the service pits.
    Wave(s, {"A1", "A5", "A1"}, 4, kHigh);
    Stack(s, "K5", 3);
    Wave(s, {"J7", "M1"}, 8, kMiddle);
    Planks(s, 3);
    Wave(s, {"H3", "C1", "F2"}, 6, kHigh);
    Stairs(s, 4, 8);
    Wave(s, {"L1", "N1"}, 9, kLow);
    DropGap(s, 4);
    Meet(s, "P2", kOnGround, 10);
    Wave(s, {"B6", "G7"}, 9, kHigh);
    Crevasses(s, 2);
    Hills(s, 3);
    Wave(s, {"J6", "J8", "A3"}, 6, kMiddle);
    WideBlock(s, "K3", "K4", 4);
    Passerby(s, "Q2", 6);
    // Halfway: the base at night.
    s.Event(0, "BG0=Far3.bmp:200%");
    Chat(s, kChatHalf);
    Wave(s, {"N1", "N3"}, 10, kMiddle);
    Terrace(s, 8, "K3");
    Crevasses(s, 2);
    Wave(s, {"J7", "J5", "A3", "A1"}, 5, kHigh);
    Stairs(s, 4, 12);
    Wave(s, {"H1", "H3", "C3"}, 6, kHigh);
    DropGap(s, 6);
    Meet(s, "P1", kOnGround, 10);
    Wave(s, {"B6", "M3"}, 9, kHigh);
    Planks(s, 3);
    Wave(s, {"L1", "J6", "F6"}, 6, kLow);
    Hills(s, 4);
    Stack(s, "K3", 2);
    Passerby(s, "Q1", 6);
    // The launch yard: the climax, fast.
    Speed(s, 7, 8);
    Wave(s, {"A1", "A3", "A5", "A7", "A1"}, 4, kHigh);
    Crevasses(s, 2);
    Wave(s, {"J5", "J7", "N1"}, 7, kMiddle);
    Spikes(s, 1);
    Wave(s, {"G7", "L3", "H1"}, 7, kHigh);
    Stack(s, "K1", 3);
    Wave(s, {"M1", "M3", "C1", "C3"}, 5, kHigh);
    Gap(s, 1, false);
    Wave(s, {"B8", "F6", "J8"}, 7, kHigh);
    Planks(s, 2);
    Passerby(s, "Q3", 6);
    Speed(s, 6);
    Closing(s);
}

// The fortress: ramparts with spikes and gaps in their walks, gates of crates and the safe, fast
// and dense, every kind, from either side.
void StageFive(CStageBuilder& s)
{
    Opening(s, 44);
    // The approach.
    Wave(s, {"A1", "A3", "A1"}, 5, kHigh);
    Hills(s, 3);
    Wave(s, {"F0", "C1"}, 7, kHigh);
    Gap(s, 1, false);
    Wave(s, {"J5", "H1", "A5"}, 5, kHigh);
    Stack(s, "K1", 2);
    Wave(s, {"L1", "F6"}, 7, kLow);
    Spikes(s, 1);
    Wave(s, {"N1", "A7"}, 8, kMiddle);
    Passerby(s, "Q2", 6);
    // The outer wall.
    s.Event(0, "BG0=Far2.bmp");
    Speed(s, 7, 8);
    Rampart(s, 8);
    Wave(s, {"M1", "M3", "J7"}, 6, kHigh);
    Crevasses(s, 2);
    Wave(s, {"G7", "G8"}, 10, kHigh);
    WideBlock(s, "K4", "K5", 4);
    Wave(s, {"H1", "H3", "C3", "C1"}, 5, kHigh);
    DropGap(s, 5);
    Wave(s, {"B8", "F0", "L3"}, 7, kHigh);
    Planks(s, 3);
    Meet(s, "P2", kOnGround, 10);
    Wave(s, {"N3", "J6", "A3"}, 6, kMiddle);
    Spikes(s, 1);
    Rampart(s, 10);
    Passerby(s, "Q3", 6);
    Speed(s, 6, 6);
    // The moat: bridges and the drawbridge's pit, the gate's crates.
    Wave(s, {"C1", "C3", "A1"}, 5, kHigh);
    Planks(s, 3);
    Wave(s, {"L1", "M3"}, 8, kLow);
    Crevasses(s, 3);
    Wave(s, {"J7", "J5", "H1"}, 5, kMiddle);
    Stack(s, "K3", 2);
    Wave(s, {"F0", "F0", "A5"}, 5, kHigh);
    Spikes(s, 1);
    Meet(s, "P2", kOnGround, 10);
    Wave(s, {"N1", "G8"}, 9, kHigh);
    DropGap(s, 6);
    Wave(s, {"B8", "A7", "H3"}, 6, kHigh);
    Planks(s, 2);
    // The towers: the walls climbed by their stairs, fire from either side.
    Speed(s, 7, 4);
    Meet(s, "P2", kOnGround, 8);
    Stairs(s, 4, 10);
    Wave(s, {"M1", "M3", "A3", "A1"}, 5, kHigh);
    Rampart(s, 8);
    Wave(s, {"J6", "J8", "L3"}, 6, kMiddle);
    Gap(s, 1, false);
    Wave(s, {"N3", "N1"}, 10, kMiddle);
    WideBlock(s, "K5", "K4", 4);
    Wave(s, {"H1", "H3", "F6", "C1"}, 5, kHigh);
    Crevasses(s, 2);
    Passerby(s, "Q2", 6);
    Speed(s, 6, 6);
    // Halfway: the inner court by night.
    s.Event(0, "BG0=Far3.bmp:200%");
    Chat(s, kChatHalf);
    Wave(s, {"A5", "A7", "A5", "A7"}, 4, kHigh);
    Stairs(s, 4, 10);
    Wave(s, {"L1", "L3", "M1"}, 6, kLow);
    DropGap(s, 4);
    Wave(s, {"J5", "J7", "J6", "J8"}, 5, kMiddle);
    Crevasses(s, 2);
    Wave(s, {"F0", "F6", "H1"}, 6, kHigh);
    Stack(s, "K5", 3);
    Wave(s, {"N1", "N3", "C1"}, 7, kMiddle);
    Spikes(s, 1);
    Wave(s, {"G7", "B6", "A1"}, 7, kHigh);
    Gap(s, 1, false);
    Meet(s, "P1", kOnGround, 10);
    Passerby(s, "Q1", 6);
    // The keep: the climax, fast and from every side.
    Speed(s, 7, 4);
    Meet(s, "P2", kOnGround, 8);
    Rampart(s, 10);
    Wave(s, {"A1", "A3", "H1", "C1"}, 4, kHigh);
    Crevasses(s, 2);
    Wave(s, {"M1", "M3", "N1"}, 7, kHigh);
    WideBlock(s, "K4", "K4", 4);
    Wave(s, {"J5", "J7", "L1", "L3"}, 5, kMiddle);
    Spikes(s, 1);
    Wave(s, {"B8", "G8", "F6"}, 5, kHigh);
    DropGap(s, 5);
    Passerby(s, "Q3", 6);
    Wave(s, {"N3", "C3", "J6"}, 5, kHigh);
    Planks(s, 3);
    Wave(s, {"G7", "M3", "H1"}, 7, kHigh);
    Gap(s, 1, false);
    Passerby(s, "Q3", 6);
    Speed(s, 6);
    Closing(s);
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
    s.SetRoadSpeed(StageSpeed(nStage));
    if (nStage == 1)
        StageOne(s);
    else if (nStage == 2)
        StageTwo(s);
    else if (nStage == 3)
        StageThree(s);
    else if (nStage == 4)
        StageFour(s);
    else
        StageFive(s);
    s.Arena(StageBoss(nStage), nStage >= 4, std::string("CHAT=ChatWin2.bmp:Chat02.wav:") + kChatBoss);
}
