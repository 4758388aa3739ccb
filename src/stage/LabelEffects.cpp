#include "stage/LabelEffects.h"

const D3DVECTOR g_ExpBombOffset[5] = {
    {{0.0f}, {0.0f}, {0.0f}}, {{40.0f}, {0.0f}, {0.0f}}, {{-40.0f}, {-40.0f}, {0.0f}},
    {{0.0f}, {40.0f}, {0.0f}}, {{0.0f}, {-40.0f}, {0.0f}},
};
