// Values that depend on real timing rather than on the keys, made to repeat in a replay: recorded
// with the frame while a stage is played, taken from the replay while it plays back.
#pragma once

void SyncReplayValue(int* pnValue);
