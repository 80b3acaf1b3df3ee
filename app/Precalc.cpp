// Asset preparation: everything the show draws is built here, before the
// music starts, so the clock reads 0 on the first frame however long this took.
#include "app/CApplication.h"
#include "app/Timeline.h"
#include "scenes/Scenes.h"

void CApplication::precalc() {
    scene1init();
    scene2init();
    scene3init();
    scene4init();
    scene5init();
    scene6init();
    scene7init();
    scene8init();
    scene9init();
    scene10init();
    InitFMOD();
}
