// hero.cpp — Wen Hod, plain and in his Varno costume. Each frame is composed
// at half size from parts (cape, arms, legs, torso, head, hat), every part with
// its own dark edge so limbs read over the body, then scaled up x2.
#include <cmath>
#include <cstdio>

#include "art/art.h"

const Rgba kInk = Hex(0x1a1024);

namespace {

constexpr float kPi = 3.14159265f;

struct Look {
  bool costume;
  Palette pal;
  Rgba sleeve, sleeveBack, trousers, trousersBack, boot, bootBack, hand;
};

Look MakeLook(bool costume) {
  Look k{};
  k.costume = costume;
  k.pal = {
      {'h', Hex(0x7a4320)}, {'H', Hex(0x512a12)}, {'s', Hex(0xf4c59e)}, {'S', Hex(0xd9977a)}, {'w', Hex(0xffffff)},
      {'e', Hex(0x1b1b2e)}, {'m', Hex(0xa8404a)}, {'k', Hex(0x161a38)}, {'t', Hex(0x23285a)}, {'T', Hex(0x3a4a9a)},
      {'f', Hex(0xfff6e8)}, {'F', Hex(0xe2383a)}, {'y', Hex(0xf7c948)}, {'Y', Hex(0xc88c1e)}, {'b', Hex(0x6b4226)},
  };
  if (!costume) {
    k.pal['g'] = Hex(0x3da24c);  // green tunic
    k.pal['G'] = Hex(0x277236);
    k.pal['L'] = Hex(0x7fd27e);
    k.pal['p'] = Hex(0x3b5ba8);
    k.sleeve = Hex(0x3da24c);
    k.trousers = Hex(0x3b5ba8);
    k.boot = Hex(0x6e4424);
    k.hand = Hex(0xf4c59e);
  } else {
    // Warm red and gold, so he stands out from the purple birds and the
    // cyan sky of the costume world.
    k.pal['g'] = Hex(0xd8343c);
    k.pal['G'] = Hex(0x9a1e2c);
    k.pal['L'] = Hex(0xff7a6a);
    k.pal['p'] = Hex(0x23285a);
    k.sleeve = Hex(0xd8343c);
    k.trousers = Hex(0x23285a);
    k.boot = Hex(0xf7c948);
    k.hand = Hex(0xfdfdfd);  // white gloves
  }
  k.sleeveBack = Shade(k.sleeve, 0.72f);
  k.trousersBack = Shade(k.trousers, 0.72f);
  k.bootBack = Shade(k.boot, 0.72f);
  return k;
}

const char* kHeadPlain = R"(
....hhhhhh....
..hhhhhhhhhh..
.hhhhhhhhhhhh.
hhhhhhhhhhhhh.
hhhhhhhhhhhhh.
hHhhhhshhhshh.
hHhhhsssssssss
hhhhSsssssswws
hhhhSssssssweS
.hHhhsssssssss
..hhsssssssmm.
...hSssssss...
....SSSSSSS...)";

const char* kHeadMasked = R"(
....hhhhhh....
..hhhhhhhhhh..
.hhhhhhhhhhhh.
hhhhhhhhhhhhh.
hhhhhhhhhhhhh.
hHhhhhshhhshh.
hHhhhsssssssss
hhhhSkkkkkwwkk
hhhhSsskkkwekS
.hHhhsssssssss
..hhsssssssmm.
...hSssssss...
....SSSSSSS...)";

// Cavalier hat with a plume trailing behind.
const char* kHat = R"(
fFF....TTTTT.....
.ffFF.TTTTTTT....
..fffFtttttttt...
....fyyyyyyyyyy..
..ttttttttttttttt
....tttttttttttt.)";

const char* kTorso = R"(
.gggggggg.
gggggggggg
gLgggggggG
gLgggggggG
gLgggggggG
ggggggggGG
gggggggggg
bbbbbbbybb
pppppppppp)";

const char* kTorsoSuit = R"(
.gggggggg.
gggggggyyg
gLggggyYyG
gLgggyyyyG
gLggggyYyG
gggggggyGG
gggggggggg
YYYYYYYyYY
pppppppppp)";

struct Limb {
  float angle;  // thigh or upper arm, degrees from straight down, + forward
  float bend;   // knee or elbow, degrees
};

struct Pose {
  Limb legFront, legBack, armFront, armBack;
  float capeLift;  // 0 hanging .. 1 flying straight back
};

Pose WalkPose(int frame) {
  // Legs pass each other at frames 2 and 6 (frame 2 doubles as the standing
  // pose) and are furthest apart at 0 and 4.
  static const float kThigh[8] = {-22, -12, 0, 12, 22, 12, 0, -12};
  static const float kKnee[8] = {0, 38, 0, 14, 0, 0, 0, 0};
  int f = frame & 7, g = (frame + 4) & 7;
  Pose p{};
  p.legFront = {kThigh[f], kKnee[f]};
  p.legBack = {kThigh[g], kKnee[g]};
  p.armFront = {-kThigh[f] * 1.3f, 18};
  p.armBack = {-kThigh[g] * 1.3f, 18};
  p.capeLift = 0.25f + 0.12f * std::fabs(std::sin(frame * kPi / 4));
  return p;
}

Pose AirPose() {
  Pose p{};
  p.legFront = {40, 85};
  p.legBack = {-18, 30};
  p.armFront = {160, -10};  // fist up: blocks are bumped from below
  p.armBack = {-45, 20};
  p.capeLift = 0.8f;
  return p;
}

struct Pt {
  float x, y;
};

Pt Along(Pt from, float angleDeg, float len) {
  float a = angleDeg * kPi / 180;
  return Pt{from.x + std::sin(a) * len, from.y + std::cos(a) * len};
}

void DrawLeg(Canvas& c, Pt hip, Limb l, Rgba cloth, Rgba boot) {
  Pt knee = Along(hip, l.angle, 4.2f);
  Pt ankle = Along(knee, l.angle - l.bend, 4.0f);
  ThickLine(c, hip.x, hip.y, knee.x, knee.y, 4.6f, cloth);
  ThickLine(c, knee.x, knee.y, ankle.x, ankle.y, 4.0f, cloth);
  int ax = int(std::floor(ankle.x)), ay = int(std::floor(ankle.y));
  FillRect(c, ax - 2, ay - 1, 5, 3, boot);
  FillRect(c, ax + 3, ay, 1, 2, boot);  // toe
}

void DrawArm(Canvas& c, Pt shoulder, Limb l, Rgba sleeve, Rgba hand) {
  Pt elbow = Along(shoulder, l.angle, 3.6f);
  Pt wrist = Along(elbow, l.angle + l.bend, 3.4f);
  ThickLine(c, shoulder.x, shoulder.y, elbow.x, elbow.y, 3.2f, sleeve);
  ThickLine(c, elbow.x, elbow.y, wrist.x, wrist.y, 3.0f, sleeve);
  FillEllipse(c, wrist.x, wrist.y, 1.7f, 1.7f, hand);
}

void DrawCape(Canvas& c, Pt shoulder, float lift, int frame, const Look& k) {
  // A blue cape from the shoulders, swinging back further the faster he goes.
  float len = 14.0f - 4.0f * lift;         // a cape flying back must stay inside the cell
  float a = (10 + 70 * lift) * kPi / 180;  // angle back from straight down
  float wave = std::sin(frame * kPi / 2) * 1.2f;
  Pt tail{shoulder.x - std::sin(a) * len, shoulder.y + std::cos(a) * len};
  std::vector<float> poly = {shoulder.x + 1.5f,    shoulder.y - 1.0f, shoulder.x - 2.5f, shoulder.y - 1.5f,
                             tail.x - 3.0f + wave, tail.y - 2.0f,     tail.x - 1.0f,     tail.y + 1.0f + wave,
                             tail.x + 3.0f,        tail.y + 1.5f,     shoulder.x + 1.5f, shoulder.y + 3.0f};
  FillPolygon(c, poly, Hex(0x2f5ad8));
  std::vector<float> lining = {shoulder.x - 1.0f, shoulder.y + 0.5f, tail.x - 0.5f,     tail.y - 0.5f,
                               tail.x + 1.5f,     tail.y + 0.5f,     shoulder.x + 0.5f, shoulder.y + 2.0f};
  FillPolygon(c, lining, Hex(0xf7c948));
  (void)k;
}

Canvas Compose(const Look& k, const Pose& p, int frame, int hipY) {
  Canvas fig(32, 40);
  Pt hip{15.0f, float(hipY)};
  Pt shoulder{15.5f, float(hipY) - 6.5f};
  if (k.costume) Layer(fig, [&](Canvas& c) { DrawCape(c, shoulder, p.capeLift, frame, k); });
  Layer(fig, [&](Canvas& c) {
    DrawArm(c, {shoulder.x - 1, shoulder.y}, p.armBack, k.sleeveBack, Shade(k.hand, 0.8f));
  });
  Layer(fig, [&](Canvas& c) { DrawLeg(c, {hip.x - 1, hip.y}, p.legBack, k.trousersBack, k.bootBack); });
  Layer(fig, [&](Canvas& c) { DrawMap(c, 10, hipY - 8, k.costume ? kTorsoSuit : kTorso, k.pal); });
  Layer(fig, [&](Canvas& c) { DrawLeg(c, {hip.x + 1, hip.y}, p.legFront, k.trousers, k.boot); });
  Layer(fig, [&](Canvas& c) {
    DrawMap(c, 9, hipY - 18, k.costume ? kHeadMasked : kHeadPlain, k.pal);
    if (k.costume) DrawMap(c, 6, hipY - 19, kHat, k.pal);
  });
  Layer(fig, [&](Canvas& c) { DrawArm(c, {shoulder.x + 1, shoulder.y}, p.armFront, k.sleeve, k.hand); });
  return fig;
}

int LowestSolidRow(const Canvas& c) {
  for (int j = c.h - 1; j >= 0; --j)
    for (int i = 0; i < c.w; ++i)
      if (c.Solid(i, j)) return j;
  return -1;
}

int TopSolidRow(const Canvas& c) {
  for (int j = 0; j < c.h; ++j)
    for (int i = 0; i < c.w; ++i)
      if (c.Solid(i, j)) return j;
  return c.h;
}

}  // namespace

Canvas HeroFigure(bool costume, int frame) {
  Look k = MakeLook(costume);
  Pose p = frame == 8 ? AirPose() : WalkPose(frame);
  Canvas fig = Compose(k, p, frame, 28);
  // Stand the lowest boot on the cell bottom; the drop gives the walk its bob.
  int shift = 31 - LowestSolidRow(fig);
  if (TopSolidRow(fig) + shift < 0)
    std::fprintf(stderr, "artgen: hero frame %d loses %d rows at the top\n", frame, -(TopSolidRow(fig) + shift));
  Canvas out(32, 32);
  Blit(out, fig, 0, shift);
  return out;
}

Canvas HeroSheet(bool costume, bool facingLeft) {
  Canvas sheet(256, 256);
  for (int f = 0; f < 16; ++f) {
    int src = f <= 8 ? f : f - 9;  // 9-15 repeat the walk
    Canvas cell = Scale(HeroFigure(costume, src), 2);
    PutCell(sheet, f, facingLeft ? Mirror(cell) : cell);
  }
  return sheet;
}
