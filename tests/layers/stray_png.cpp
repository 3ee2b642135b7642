// A file that includes libpng: it builds in media/decode/ only (tests/layers/).
#include <png.h>

int StrayPngProbe() { return PNG_LIBPNG_VER_MAJOR; }
