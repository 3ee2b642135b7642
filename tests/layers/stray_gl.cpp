// A file that includes OpenGL: it builds in media/gl/ only (tests/layers/).
#include <GL/gl.h>

int StrayGlProbe() { return GL_TEXTURE_2D; }
