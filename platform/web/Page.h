// The page around the show in a browser (web/index.html and its script
// web/page.js, whose object `demoPage` answers): what the browser backend
// and the page's program ask of it and tell it. Browser builds only.
#pragma once

namespace platform {

// The moment in ms that a test page asks for with ?at=MS in its address
// (0 to one past the show's end); -1 for the page that plays the show.
long pageMomentMs();
// The frames a test page asks for with &frames=N beside ?at=MS: 1 to a
// whole show at 60 frames/s; 1 without it.
long pageFrameCount();
// The rate of those frames in frames per second of music time, &fps=F: 1 to
// 1000; 60 without it.
int pageFrameRate();
// A test page's frame is on the canvas: the page's title becomes "ready".
void pageFrameShown();

// The show is prepared: the page offers its start control (a test page
// starts its frames at once).
void pageReady();
// True once the start control was used (the page then started the music and
// asked for fullscreen).
bool pageStarted();
// A frame is drawn, its steps having taken `busyMs` of the callback.
void pageFrameDrawn(double busyMs);
// The clock read `ms` for the frame being drawn (the page's frame record).
void pageClockRead(double ms);
// The show has ended: the page says so, with its figures on the console (a
// test page's title becomes "ready").
void pageEnded();

} // namespace platform
