/* reference.c — the bare window the game's latency is measured against: an
 * SDL2 + OpenGL window of the game's size that reads its input, draws,
 * presents, then sleeps to the next 1/60 s. Every key press, pointer move or
 * click changes its colour, so the probe sees the answer at once.
 *   latency_reference [X Y]   (its top-left corner on screen; 0 0 by default)
 * Runs until its window is closed or it is killed. */
#include <SDL.h>
#include <SDL_opengl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

enum { WIDTH = 800, HEIGHT = 600, COLOURS = 4 };
static const double kPeriodNs = 1e9 / 60;

typedef void (*ClearColorFn)(GLfloat, GLfloat, GLfloat, GLfloat);
typedef void (*ClearFn)(GLbitfield);

static double NowNs(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e9 + t.tv_nsec;
}

/* Sleeps until the monotonic clock reads `ns`. */
static void SleepUntil(double ns) {
  struct timespec t = {(time_t)(ns / 1e9), (long)(ns - (double)(time_t)(ns / 1e9) * 1e9)};
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, NULL) != 0) {
  }
}

/* A GL function by name (copied: C has no cast from data to function pointer). */
static void Lookup(void* fn, size_t size, const char* name) {
  void* p = SDL_GL_GetProcAddress(name);
  if (!p) {
    fprintf(stderr, "latency_reference: no %s\n", name);
    exit(1);
  }
  memcpy(fn, &p, size);
}

int main(int argc, char** argv) {
  const int x = argc > 2 ? atoi(argv[1]) : 0, y = argc > 2 ? atoi(argv[2]) : 0;
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    fprintf(stderr, "latency_reference: %s\n", SDL_GetError());
    return 1;
  }
  SDL_Window* window = SDL_CreateWindow("latency reference", x, y, WIDTH, HEIGHT, SDL_WINDOW_OPENGL);
  SDL_GLContext context = window ? SDL_GL_CreateContext(window) : NULL;
  if (!context) {
    fprintf(stderr, "latency_reference: %s\n", SDL_GetError());
    return 1;
  }
  SDL_GL_SetSwapInterval(0); /* refused under Xvfb anyway: we pace ourselves */
  ClearColorFn clearColor;
  ClearFn clear;
  Lookup(&clearColor, sizeof clearColor, "glClearColor");
  Lookup(&clear, sizeof clear, "glClear");
  static const float colours[COLOURS][3] = {
      {0.1f, 0.2f, 0.4f}, {0.8f, 0.3f, 0.1f}, {0.1f, 0.6f, 0.2f}, {0.9f, 0.9f, 0.2f}};
  int colour = 0;
  double next = NowNs();
  for (;;) {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
      if (e.type == SDL_QUIT) return 0;
      if ((e.type == SDL_KEYDOWN && !e.key.repeat) || e.type == SDL_MOUSEMOTION || e.type == SDL_MOUSEBUTTONDOWN)
        colour = (colour + 1) % COLOURS;
    }
    clearColor(colours[colour][0], colours[colour][1], colours[colour][2], 1);
    clear(GL_COLOR_BUFFER_BIT);
    SDL_GL_SwapWindow(window);
    next += kPeriodNs;
    const double now = NowNs();
    if (next < now) next = now; /* a late frame does not make the next ones hurry */
    SleepUntil(next);
  }
}
