// A file that includes FreeType: it builds in media/decode/ only (tests/layers/).
#include <ft2build.h>
#include FT_FREETYPE_H

int StrayFreetypeProbe() { return FREETYPE_MAJOR; }
