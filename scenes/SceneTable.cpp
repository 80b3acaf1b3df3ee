// The scene table.
#include "scenes/SceneTable.h"

#include "scenes/Scenes.h"

const SceneEntry sceneTable[sceneCount] = {
    {scene1init, scene1update, scene1step, scene1reset, 0, 4500},
    {scene2init, scene2update, scene2step, scene2reset, 18000, 24000},
    {scene3init, scene3update, nullptr, scene3reset, 30000, 33500},
    {scene4init, scene4update, scene4step, scene4reset, 48000, 57000},
    {scene5init, scene5update, nullptr, nullptr, 60000, 69000},
    {scene6init, scene6update, nullptr, nullptr, 75000, 82000},
    {scene7init, scene7update, nullptr, nullptr, 99000, 105000},
    {scene8init, scene8update, scene8step, scene8reset, 111000, 116500},
    {scene9init, scene9update, nullptr, nullptr, 123000, 138000},
    {scene10init, scene10update, nullptr, nullptr, 147000, 148000},
};

int sceneEndMs(int scene) {
    return scene + 1 < sceneCount ? sceneTable[scene + 1].startMs : showEndMs;
}
