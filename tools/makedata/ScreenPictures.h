// The pictures of the stage's screens, drawn with the art kit: the start banner, the pause menu,
// the game-over screen with its shutters, the stage-clear tally, the danger beacons, the boss
// warning, the chat windows and the demo-play caption.
#pragma once
#include <vector>

#include "ArtKit.h"
#include "DataSet.h"

// Draws a region into its w x h rectangle at (x, y) of a sheet.
typedef void (*PFNDRAWREGION)(CArtKit& kit, int x, int y, int w, int h);

struct ARTREGION {
    const char* pszIndexFile;
    const char* pszName;
    int nWidth;
    int nHeight;
    PFNDRAWREGION pfnDraw;
};

// The screens' regions of the index sheets (SystemIndex.txt and BossIndex.txt), in sheet order.
const std::vector<ARTREGION>& ScreenRegions();
// The plain pictures of System/: the banner's "Ready" and "Go", the two shutters and the demo-play
// caption.
void WriteScreenPictures(CDataSet& data);
// A chat window (288 x 80: the chat centres it at x 145, so it must be at most 290 wide to show
// whole): the speaker's face on the left, the text panel from (110, 25) on.
// nSpeaker 1 the heroine, 2 the operator.
void DrawChatWindow(CCanvas& canvas, int nSpeaker);
