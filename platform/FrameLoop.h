// Who repeats the frames. Natively the show's own loop calls its step until
// it is done; a host that runs its own loop (a browser) calls back once per
// display frame instead. The show's frame logic stays in one place either
// way: a backend only chooses how the repetition is driven.
#pragma once

namespace platform {

// Calls `step` until `finished` returns true. `step` handles one event or
// draws and presents one frame, and returns true when it drew. A backend
// whose host owns the loop calls `step` from the host's frame callback until
// it has drawn a frame (or `finished`), and may return before the end.
void runFrames(bool (*step)(void* user), bool (*finished)(void* user), void* user);

} // namespace platform
