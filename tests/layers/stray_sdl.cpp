// A file that includes SDL: it builds in media/sdl/ and media/gl/ only
// (tests/layers/).
#include <SDL.h>

int StraySdlProbe() { return SDL_MAJOR_VERSION; }
