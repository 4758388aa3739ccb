// The opening's and the ending's Script.txt: a short story of the heroine, Zorva. The opening: her
// town at dusk, the quake and the iron fleet that takes five towns in a night, her resolve, and
// the ride out. The ending: the sky fortress falling, the dawn, the return home, her thanks to her
// bike, and the staff picture. Between them they use every command the script reader knows.
#include <iconv.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "CutScenes.h"

namespace {

// Lines as written here (UTF-8); the file is code page 932 with CR LF line ends.
const char* const kOpening[] = {
    "// ぞるばくるむ！ オープニング",
    "// 一. 夕暮れの街。ゾルバはガレージの前で相棒のバイクを磨いている。",
    "#BEGIN_SHOT",
    "#CMD 0,IMAGE_BACK,OpTown.bmp,0,0",
    "#CMD 700,IMAGE_CHAR,OpGarage.bmp,300,206,1",
    "#CMD 900,VOICE,VoHum.wav",
    "#CMD 2600,IMAGE_CHAR,OpLeaf.bmp,600,104",
    "#CMD 2600,SPECIAL,0,OpLeaf.bmp,1.6,1.4,0.02",
    "#CMD 1400,MSG,24,24,夕暮れの街、ミルテ。\\nゾルバは今日も、相棒のバイクを磨いていた。",
    "#CMD 8000,BGM_STOP",
    "#END_SHOT",
    "",
    "// 二. 大地が揺れ、空が赤く染まる。鉄の艦隊が現れる。",
    "#BEGIN_SHOT",
    "#CMD 0,QUAKE",
    "#CMD 0,BGM_PLAY,Crisis.wav",
    "#CMD 150,VOICE,VoGasp.wav",
    "#CMD 300,MSG,24,24,その時――\\s\\n大地が、揺れた。",
    "#CMD 2600,IMAGE_BACK,OpTownRed.bmp,0,0",
    "#CMD 2600,IMAGE_HIDE,OpTown.bmp",
    "#CMD 2600,IMAGE_BACK,OpTownShips.bmp,-440,20",
    "#CMD 2600,IMAGE_BACK,OpTownScout.bmp,-150,128",
    "#CMD 2700,SPECIAL,1,OpTownShips.bmp,11,460,OpTownScout.bmp,12,480",
    "#CMD 4600,MSG,24,24,空を覆う、鉄の艦隊。\\n五つの街が、一夜にして奪われた。",
    "#CMD 9200,BLACK_OUT",
    "#END_SHOT",
    "",
    "// 三. 闇の中、ゾルバは顔を上げる。",
    "#BEGIN_SHOT",
    "#CMD 0,IMAGE_HIDE,OpGarage.bmp",
    "#CMD 0,IMAGE_HIDE,OpTownRed.bmp",
    "#CMD 0,IMAGE_HIDE,OpTownShips.bmp",
    "#CMD 0,IMAGE_HIDE,OpTownScout.bmp",
    "#CMD 0,BLACK_IN,OpNight.bmp,0,0",
    "#CMD 500,IMAGE_CHAR,OpFace.bmp,-300,40,2",
    "#CMD 500,IMAGE_MOVX,OpFace.bmp,630,44",
    "#CMD 1400,VOICE,VoResolve.wav",
    "#CMD 1500,MSG,24,300,ゾルバ「……奪われたものは、\\s\\n　取り返す。\\s\\n　行くよ、相棒！」",
    // The opening also plays unattended in the attract loop, so none of its shots waits for a
    // key; the ending's do.
    "#END_SHOT",
    "",
    "// 四. 出撃。",
    "#BEGIN_SHOT",
    "#CMD 0,WHITE_OUT",
    "#CMD 700,IMAGE_HIDE,OpFace.bmp",
    "#CMD 700,IMAGE_HIDE,OpNight.bmp",
    "#CMD 700,WHITE_IN,OpRoad.bmp,0,0",
    "#CMD 700,IMAGE_CHAR,OpClouds.bmp,0,-40,1",
    "#CMD 700,IMAGE_CHAR,OpDust.bmp,-420,330,2",
    "#CMD 700,IMAGE_CHAR,OpRide.bmp,-340,240,3",
    "#CMD 800,SPECIAL,2,OpClouds.bmp,-4,OpRide.bmp,18,480,OpDust.bmp,15,390",
    "#CMD 2200,MSG,24,24,目指すは、敵の空中要塞。\\s\\n五つの戦場を越えて――",
    "#CMD 6600,VOICE,VoShout.wav",
    "#CMD 6700,IMAGE_MOVX,OpRide.bmp,700,30",
    "#CMD 6700,IMAGE_MOVX,OpDust.bmp,700,30",
    "#CMD 7600,WHITE_OUT",
    "#END_SHOT",
};

const char* const kEnding[] = {
    "// ぞるばくるむ！ エンディング",
    "// 一. 空中要塞の崩壊。ゾルバは崩れる要塞から飛び出す。",
    "#BEGIN_SHOT",
    "#CMD 0,IMAGE_BACK,EdFortress.bmp,0,0",
    "#CMD 0,QUAKE",
    "#CMD 200,IMAGE_CHAR,EdRock.bmp,380,-70,2",
    "#CMD 200,SPECIAL,0,EdRock.bmp,2.5,3,0.3",
    "#CMD 400,MSG,24,24,轟音とともに、\\n空中要塞が崩れ落ちていく――",
    "#CMD 2600,VOICE,VoEffort.wav",
    "#CMD 2600,IMAGE_CHAR,EdRide.bmp,-320,250,3",
    "#CMD 2600,IMAGE_MOVX,EdRide.bmp,520,20",
    "#CMD 2700,QUAKE",
    "#CMD 5800,WHITE_OUT",
    "#END_SHOT",
    "",
    "// 二. 夜明け。",
    "#BEGIN_SHOT",
    "#CMD 0,IMAGE_HIDE,EdFortress.bmp",
    "#CMD 0,IMAGE_HIDE,EdRock.bmp",
    "#CMD 0,BGM_PLAY,Dawn.wav",
    "#CMD 0,WHITE_IN,EdDawn.bmp,0,0",
    "#CMD 900,IMAGE_MOVX,EdRide.bmp,160,4",
    "#CMD 1400,MSG,24,24,長い夜が明けた。\\s\\n朝日の中を、ゾルバは走る。",
    "#CMD 7200,IMAGE_MOVX,EdRide.bmp,520,24",
    "#CMD 8000,BLACK_OUT",
    "#END_SHOT",
    "",
    "// 三. 帰郷。",
    "#BEGIN_SHOT",
    "#CMD 0,IMAGE_HIDE,EdRide.bmp",
    "#CMD 0,IMAGE_HIDE,EdDawn.bmp",
    "#CMD 0,BLACK_IN,EdHome.bmp,0,0",
    "#CMD 600,IMAGE_CHAR,EdStand.bmp,240,170",
    "#CMD 600,IMAGE_CHAR,EdKidA.bmp,-110,320,1",
    "#CMD 600,IMAGE_CHAR,EdKidB.bmp,-200,330,1",
    "#CMD 700,SPECIAL,1,EdKidA.bmp,9,250,EdKidB.bmp,9,250",
    "#CMD 1800,VOICE,VoHome.wav",
    "#CMD 1900,MSG,24,24,ゾルバ「ただいま、みんな！」",
    "#END_SHOT WAIT_KEY",
    "",
    "// 四. 相棒へ。",
    "#BEGIN_SHOT",
    "#CMD 0,IMAGE_HIDE,EdStand.bmp",
    "#CMD 0,IMAGE_HIDE,EdKidA.bmp",
    "#CMD 0,IMAGE_HIDE,EdKidB.bmp",
    "#CMD 0,IMAGE_HIDE,EdHome.bmp",
    "#CMD 0,IMAGE_BACK,EdSky.bmp,0,0",
    "#CMD 300,IMAGE_CHAR,EdSmile.bmp,-300,40,2",
    "#CMD 300,IMAGE_MOVX,EdSmile.bmp,630,44",
    "#CMD 500,IMAGE_CHAR,EdPetal.bmp,200,-20,3",
    "#CMD 500,SPECIAL,0,EdPetal.bmp,1.2,1.6,0.015",
    "#CMD 1300,VOICE,VoThanks.wav",
    "#CMD 1400,MSG,24,330,ゾルバ「また一緒に走ろうね、\\n　相棒。」",
    "#END_SHOT WAIT_KEY",
    "",
    "// 五. スタッフ。",
    "#BEGIN_SHOT",
    "#CMD 0,WHITE_OUT",
    "#CMD 700,IMAGE_HIDE,EdSmile.bmp",
    "#CMD 700,IMAGE_HIDE,EdPetal.bmp",
    "#CMD 700,IMAGE_HIDE,EdSky.bmp",
    "#CMD 700,WHITE_IN,EdStaff.bmp,0,0",
    "#CMD 800,IMAGE_CHAR,EdStars.bmp,0,10,1",
    "#CMD 800,IMAGE_CHAR,EdMoon.bmp,-90,36,1",
    "#CMD 800,IMAGE_CHAR,EdTinyRide.bmp,-150,396,2",
    "#CMD 900,SPECIAL,2,EdStars.bmp,-2,EdTinyRide.bmp,10,480,EdMoon.bmp,3,150",
    "#CMD 1600,MSG,160,300,遊んでくれて、ありがとう！\\n　　　　　　おわり",
    "#CMD 6000,BGM_STOP",
    "#END_SHOT WAIT_KEY",
};

template <size_t N> std::string ScriptText(const char* const (&lines)[N])
{
    std::string text;
    for (const char* pszLine : lines) {
        text += ToCp932(pszLine) + "\r\n";
    }
    return text;
}

} // namespace

std::string ToCp932(const std::string& utf8)
{
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == (iconv_t)-1) {
        fprintf(stderr, "makedata: no code page 932 conversion\n");
        exit(1);
    }
    std::string out(utf8.size() * 2 + 4, '\0');
    char* pIn = const_cast<char*>(utf8.data());
    size_t nIn = utf8.size();
    char* pOut = out.data();
    size_t nOut = out.size();
    const size_t nDone = iconv(cd, &pIn, &nIn, &pOut, &nOut);
    iconv_close(cd);
    if (nDone == (size_t)-1 || nIn != 0) {
        fprintf(stderr, "makedata: text without a code page 932 form: %s\n", utf8.c_str());
        exit(1);
    }
    out.resize(out.size() - nOut);
    return out;
}

void WriteCutSceneScripts(CDataSet& data)
{
    data.WriteText("Opening/Script.txt", ScriptText(kOpening));
    data.WriteText("Ending/Script.txt", ScriptText(kEnding));
}

void WriteCutScenes(CDataSet& data)
{
    WriteCutSceneScripts(data);
    WriteCutScenePictures(data);
    WriteCutSceneSounds(data);
}
