// Entry points of the ten scenes: an initialisation run once at start-up, a
// per-frame update that draws and post-processes the scene, and for the
// scenes with moving parts (particles, panels, streaks) the step that the
// update takes to move them, which a run-up takes alone.
#pragma once

void scene1init();
void scene2init();
void scene3init();
void scene4init();
void scene5init();
void scene6init();
void scene7init();
void scene8init();
void scene9init();
void scene10init();

void scene1update();
void scene2update();
void scene3update();
void scene4update();
void scene5update();
void scene6update();
void scene7update();
void scene8update();
void scene9update();
void scene10update();

// One frame's movement by `skip`, without drawing anything. The other scenes
// are drawn from the music time alone.
void scene1step();
void scene2step();
void scene4step();
void scene8step();

// Puts the scene's state back as its init left it, in place, drawing the
// same rand() values in the same order; for the scenes whose state moves or
// whose init draws random values. Called in scene order after srand(1), they
// give the state and random sequence that start-up gives.
void scene1reset();
void scene2reset();
void scene3reset();
void scene4reset();
void scene8reset();
