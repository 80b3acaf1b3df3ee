// Test hook of the platform layer: the environment variable DEMO_TEST_REFUSE
// lists names (separated by spaces or commas) that the platform then treats
// as missing, to exercise fallbacks no test machine has: GL entry points
// ("glActiveTextureARB"), GL extensions ("GL_ARB_texture_env_combine") and
// "SDL_OpenAudioDevice". An entry NAME=VALUE lowers a limit the platform
// reports ("GL_MAX_TEXTURE_SIZE=256"). Unset in normal runs; nothing outside
// platform/ reads it.
#pragma once

namespace platform {

// True when `name` is listed in DEMO_TEST_REFUSE.
bool refusedForTest(const char* name);

// `actual`, or the smaller VALUE of an entry `name`=VALUE in DEMO_TEST_REFUSE.
int limitForTest(const char* name, int actual);

} // namespace platform
