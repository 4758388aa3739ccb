// One replay file of each format 01 to 06, made from one known key track, as test fixtures:
// Fixtures/ReplayFormat01.dat .. ReplayFormat06.dat.
#include <cstdio>

#include "DataSet.h"
#include "engine/KeyRecorder.h"
#include "rvm/rvm_stl.h"

namespace {

// Stage 1 played from the start: right with shots, a jump, the sub-weapon, a changed step and
// bonus along the way; the other stages were not played.
REPLAYIMAGE KnownTrack() {
    REPLAYIMAGE image;
    image.header.nYear = 2026;
    image.header.nMonth = 1;
    image.header.nDay = 1;
    image.header.nScore = 12345;
    image.header.nPairs[0][0] = 0;
    image.header.nPairs[0][1] = 0;
    image.header.nPlayerValue = 1;
    rvm::vector<KEYRECINFO>& t = image.tracks[0];
    //        frame code shot step point level fps bonus extra
    t.push_back({0, 0, 0, 1, 0, 0, 0, 4, 0});
    t.push_back({30, 8, 0, 1, 0, 0, 0, 4, 0});
    t.push_back({45, 8 | 16, 1, 1, 0, 0, 0, 4, 1});
    t.push_back({90, 8 | 32, 0, 2, 0, 0, 0, 4, 1});
    t.push_back({120, 64, 0, 1, 300, 0, 0, 5, 2});
    t.push_back({150, 0, 0, 1, 300, 0, 0, 5, 2});
    t.push_back({600, 0, 0, 1, 300, 0, 0, 5, 2});
    return image;
}

}  // namespace

void WriteReplayFixtures(CDataSet& data) {
    for (int nFormat = REPLAY_FORMAT_FIRST; nFormat <= REPLAY_FORMAT_LATEST; ++nFormat) {
        REPLAYIMAGE image = KnownTrack();
        image.header.nFormat = nFormat;
        char szName[64];
        snprintf(szName, sizeof(szName), "Fixtures/ReplayFormat%02d.dat", nFormat);
        data.Write(szName, EncodeReplay(image));
    }
}
