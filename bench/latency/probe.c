/* probe.c — times a window's answer to input from outside, as a player sees
 * it: a key or pointer move injected through XTEST, then the window's pixels
 * grabbed (XGetImage) again and again until a region of them changes; and
 * the window's presented frames counted through XDamage.
 *
 *   latency_probe press WINDOW X Y W H INPUT[,INPUT...] [COUNT] [SETTLE_MS] [HOLD_MS] [GUARD]
 *       COUNT presses (default 1), the inputs taken in turn; prints
 *       "latency MS" for each answered press, "moving" for a press not made
 *       because the region was not still, "timeout" for one that changed
 *       nothing within a second. A key is let go when the picture changes or
 *       HOLD_MS (default 100, a quick tap) after it went down, whichever
 *       comes first; then SETTLE_MS (default 150) pass before the next.
 *       GUARD pixels round the region (default 0) must be still too before
 *       a press: what moves near it then cannot reach it while it is timed.
 *   latency_probe key WINDOW INPUT [HOLD_MS]
 *       one press, not timed (getting from screen to screen).
 *   latency_probe pacing WINDOW SECONDS
 *       the intervals between presented frames: "frames N", then the
 *       intervals' mean, median, p90, max and standard deviation in ms and
 *       the count over 1.5 periods of 60 Hz.
 *
 * INPUT is a key by its X name (Down, z, Escape, Tab, a), motion:X:Y (the
 * pointer moved to that point of the window) or click:X:Y (moved there and
 * the left button pressed). Regions are in window pixels.
 * Before a press the region (and its guard) must be still: grabbed twice,
 * 40 ms apart; the press then waits a random part of a 60 Hz period. */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <time.h>
#include <unistd.h>

enum { STILL_MS = 40, ANSWER_LIMIT_MS = 1000, POLL_US = 200, MAX_FRAMES = 100000 };
static const double kPeriodMs = 1000.0 / 60;

static Display* g_dpy; /* the X connection */
static Window g_win;   /* the window under test */

/* Milliseconds on the monotonic clock. */
static double NowMs(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

static void SleepMs(double ms) {
  if (ms <= 0) return;
  struct timespec t = {(time_t)(ms / 1000), (long)(fmod(ms, 1000) * 1e6)};
  nanosleep(&t, NULL);
}

static void Die(const char* why) {
  fprintf(stderr, "latency_probe: %s\n", why);
  exit(2);
}

/* One grab of the region; the caller frees it. */
static XImage* Grab(int x, int y, int w, int h) {
  XImage* img = XGetImage(g_dpy, g_win, x, y, (unsigned)w, (unsigned)h, AllPlanes, ZPixmap);
  if (!img) Die("cannot grab the window's pixels (is it on screen?)");
  return img;
}

static int Same(const XImage* a, const XImage* b) {
  return a->bytes_per_line == b->bytes_per_line && a->height == b->height &&
         memcmp(a->data, b->data, (size_t)a->bytes_per_line * (size_t)a->height) == 0;
}

/* An input: a key (its keycode), or the pointer moved to a point of the
 * window, there pressing the left button or not. */
typedef struct {
  KeyCode key; /* 0 for the pointer */
  int x, y;
  int click;
} Input;

static Input ParseInput(const char* text) {
  Input in = {0, 0, 0, 0};
  in.click = strncmp(text, "click:", 6) == 0;
  if (in.click || strncmp(text, "motion:", 7) == 0) {
    if (sscanf(strchr(text, ':') + 1, "%d:%d", &in.x, &in.y) != 2) Die("the pointer wants motion:X:Y or click:X:Y");
    return in;
  }
  KeySym sym = XStringToKeysym(text);
  if (sym == NoSymbol) Die("unknown key name");
  in.key = XKeysymToKeycode(g_dpy, sym);
  if (in.key == 0) Die("the key has no keycode here");
  return in;
}

/* The window on top and holding the keyboard, as a player's window is. */
static void Focus(void) {
  XRaiseWindow(g_dpy, g_win);
  XSetInputFocus(g_dpy, g_win, RevertToParent, CurrentTime);
  XSync(g_dpy, False);
}

static void Send(Input in, int down) {
  if (in.key) {
    XTestFakeKeyEvent(g_dpy, in.key, down, CurrentTime);
  } else {
    if (down) {
      int rx = 0, ry = 0;
      Window child;
      XTranslateCoordinates(g_dpy, g_win, DefaultRootWindow(g_dpy), in.x, in.y, &rx, &ry, &child);
      XTestFakeMotionEvent(g_dpy, DefaultScreen(g_dpy), rx, ry, CurrentTime);
    }
    if (in.click) XTestFakeButtonEvent(g_dpy, 1, down, CurrentTime);
  }
  XFlush(g_dpy);
}

/* One timed press: answers its latency in ms, -1 when the region was not
 * still (no press made), -2 when nothing changed within the limit. */
static double TimedPress(int x, int y, int w, int h, Input in, double holdMs, int guard) {
  XWindowAttributes a;
  XGetWindowAttributes(g_dpy, g_win, &a);
  const int gx = x - guard < 0 ? 0 : x - guard, gy = y - guard < 0 ? 0 : y - guard;
  const int gw = (x + w + guard > a.width ? a.width : x + w + guard) - gx;
  const int gh = (y + h + guard > a.height ? a.height : y + h + guard) - gy;
  XImage* before = Grab(gx, gy, gw, gh);
  SleepMs(STILL_MS);
  XImage* around = Grab(gx, gy, gw, gh);
  const int moving = !Same(before, around);
  XDestroyImage(before);
  XDestroyImage(around);
  if (moving) return -1;
  /* A player's press lands anywhere in a frame. Without this wait each press
   * would come a fixed time after the last answer, which was seen just after
   * a picture went up: every press would fall at the same point of the
   * window's frame, and the figure would be that point's, not a player's. */
  SleepMs(kPeriodMs * rand() / RAND_MAX);
  XImage* still = Grab(x, y, w, h);
  Send(in, 1);
  const double pressed = NowMs();
  double answer = -2;
  int held = 1;
  while (NowMs() - pressed < ANSWER_LIMIT_MS) {
    XImage* now = Grab(x, y, w, h);
    const int changed = !Same(now, still);
    XDestroyImage(now);
    if (changed) {
      answer = NowMs() - pressed;
      break;
    }
    if (held && NowMs() - pressed >= holdMs) {
      Send(in, 0);
      held = 0;
    }
    SleepMs(POLL_US / 1000.0);
  }
  if (held) Send(in, 0);
  XDestroyImage(still);
  return answer;
}

static int Press(int argc, char** argv) {
  if (argc < 8) Die("press WINDOW X Y W H INPUT[,INPUT...] [COUNT] [SETTLE_MS] [HOLD_MS] [GUARD]");
  const int x = atoi(argv[3]), y = atoi(argv[4]), w = atoi(argv[5]), h = atoi(argv[6]);
  Input inputs[16];
  int n = 0;
  for (char* tok = strtok(argv[7], ","); tok && n < 16; tok = strtok(NULL, ",")) inputs[n++] = ParseInput(tok);
  if (n == 0) Die("no input");
  const int count = argc > 8 ? atoi(argv[8]) : 1;
  const double settle = argc > 9 ? atof(argv[9]) : 150, hold = argc > 10 ? atof(argv[10]) : 100;
  const int guard = argc > 11 ? atoi(argv[11]) : 0;
  int answered = 0, next = 0;
  /* A region that never rests, or a window that never answers, ends the run. */
  for (int attempt = 0; answered < count && attempt < 20 * count + 20; ++attempt) {
    Focus();
    const double ms = TimedPress(x, y, w, h, inputs[next], hold, guard);
    if (ms >= 0) {
      printf("latency %.2f\n", ms);
      ++answered;
      next = (next + 1) % n; /* the next input only once this one has shown */
    } else {
      puts(ms == -1 ? "moving" : "timeout");
    }
    fflush(stdout);
    SleepMs(ms == -1 ? 50 : settle);
  }
  return answered == count ? 0 : 1;
}

static int Key(int argc, char** argv) {
  if (argc < 4) Die("key WINDOW INPUT [HOLD_MS]");
  const Input in = ParseInput(argv[3]);
  Focus();
  Send(in, 1);
  SleepMs(argc > 4 ? atof(argv[4]) : 100);
  Send(in, 0);
  return 0;
}

static int CompareMs(const void* a, const void* b) {
  const double d = *(const double*)a - *(const double*)b;
  return (d > 0) - (d < 0);
}

/* Frames presented over the time given, from the window's damage: what one
 * frame puts on screen may arrive as several rectangles, so damage within a
 * millisecond of the last counts as the same frame. */
static int Pacing(int argc, char** argv) {
  if (argc < 4) Die("pacing WINDOW SECONDS");
  int event = 0, error = 0;
  if (!XDamageQueryExtension(g_dpy, &event, &error)) Die("no DAMAGE extension");
  const Damage damage = XDamageCreate(g_dpy, g_win, XDamageReportRawRectangles);
  XSync(g_dpy, False);
  static double at[MAX_FRAMES];
  int frames = 0;
  const double until = NowMs() + atof(argv[3]) * 1000;
  const int fd = ConnectionNumber(g_dpy);
  double last = -1e9;
  while (NowMs() < until && frames < MAX_FRAMES) {
    while (XPending(g_dpy)) {
      XEvent e;
      XNextEvent(g_dpy, &e);
      if (e.type != event + XDamageNotify) continue;
      const double t = NowMs();
      if (t - last > 1) at[frames++] = t;
      last = t;
    }
    fd_set fds;
    FD_ZERO(&fds);
    FD_SET(fd, &fds);
    struct timeval tv = {0, 5000};
    select(fd + 1, &fds, NULL, NULL, &tv);
  }
  XDamageDestroy(g_dpy, damage);
  printf("frames %d\n", frames);
  if (frames < 3) return 1;
  static double gaps[MAX_FRAMES];
  const int n = frames - 1;
  double sum = 0, sq = 0;
  int longGaps = 0;
  for (int i = 0; i < n; ++i) {
    gaps[i] = at[i + 1] - at[i];
    sum += gaps[i];
    sq += gaps[i] * gaps[i];
    if (gaps[i] > 1.5 * kPeriodMs) ++longGaps;
  }
  qsort(gaps, (size_t)n, sizeof gaps[0], CompareMs);
  const double mean = sum / n;
  printf("fps %.1f\nmean %.2f\nmedian %.2f\np90 %.2f\nmax %.2f\nsd %.2f\nlong %d\n", 1000 / mean, mean, gaps[n / 2],
         gaps[(int)(0.9 * (n - 1))], gaps[n - 1], sqrt(fmax(0, sq / n - mean * mean)), longGaps);
  return 0;
}

int main(int argc, char** argv) {
  if (argc < 3) Die("usage: latency_probe press|key|pacing WINDOW ...");
  srand((unsigned)time(NULL) ^ (unsigned)getpid());
  g_dpy = XOpenDisplay(NULL);
  if (!g_dpy) Die("cannot open the display");
  int ev, er, major, minor;
  if (!XTestQueryExtension(g_dpy, &ev, &er, &major, &minor)) Die("no XTEST extension");
  g_win = (Window)strtoul(argv[2], NULL, 0);
  if (!g_win) Die("bad window id");
  int status = 2;
  if (strcmp(argv[1], "press") == 0) status = Press(argc, argv);
  else if (strcmp(argv[1], "key") == 0) status = Key(argc, argv);
  else if (strcmp(argv[1], "pacing") == 0) status = Pacing(argc, argv);
  else Die("unknown command");
  XCloseDisplay(g_dpy);
  return status;
}
