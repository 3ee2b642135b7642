// bird.cpp — the Gullwick, a plump gull that struts along the ground, and its
// Varno costume version (purple, crowned, masked, with a scarf). Frames are
// drawn with shapes at half size through a squash transform about the feet,
// so the squashed frames are true redraws rather than stretched pixels.
#include <cmath>

#include "art/art.h"

namespace {

constexpr float kPi = 3.14159265f;

struct BirdLook {
  Rgba body, belly, back, wing, wingTip, leg, beak, beakSpot, tail;
};

BirdLook MakeBirdLook(bool costume) {
  if (!costume)
    return BirdLook{Hex(0xf2f2ee), Hex(0xffffff), Hex(0xc9ced6), Hex(0x9aa3b2), Hex(0x3a3f4c),
                    Hex(0xf29a2e), Hex(0xf7c33a), Hex(0xd8332c), Hex(0x7d8696)};
  return BirdLook{Hex(0x8a46c8), Hex(0xd9b8f2), Hex(0x6a2fa6), Hex(0x4b1f86), Hex(0xf7c948),
                  Hex(0xf7c948), Hex(0xff8a3d), Hex(0xffe08a), Hex(0x2bb5a0)};
}

// Maps the bird's design coordinates (64x64, feet on row 63) into the frame,
// squashing about the point between the feet.
struct Squash {
  // The design is drawn at about four fifths: birds are drawn over the heroes,
  // and a smaller bird hides less of them. It also keeps the cell edges clear.
  float sx = 0.78f, sy = 0.82f;
  float X(float x) const { return 32 + (x - 32) * sx; }
  float Y(float y) const { return 63 - (63 - y) * sy; }
};

struct BirdPose {
  float legA = 0, legB = 0;    // leg angles, degrees, + forward
  float liftA = 0, liftB = 0;  // feet lifted, pixels
  float bob = 0;               // body raised, pixels
  float headX = 0;             // head thrust forward, pixels
  bool dizzy = false;
  Squash sq;
};

void Ellipse(Canvas& c, const Squash& s, float cx, float cy, float rx, float ry, Rgba col) {
  FillEllipse(c, s.X(cx), s.Y(cy), rx * s.sx, ry * s.sy, col);
}

void Poly(Canvas& c, const Squash& s, std::vector<float> xy, Rgba col) {
  for (size_t k = 0; k + 1 < xy.size(); k += 2) {
    xy[k] = s.X(xy[k]);
    xy[k + 1] = s.Y(xy[k + 1]);
  }
  FillPolygon(c, xy, col);
}

void Line(Canvas& c, const Squash& s, float x0, float y0, float x1, float y1, float w, Rgba col) {
  ThickLine(c, s.X(x0), s.Y(y0), s.X(x1), s.Y(y1), w, col);
}

void DrawLeg(Canvas& c, const Squash& s, float hipX, float hipY, float angle, float lift, Rgba col) {
  float a = angle * kPi / 180;
  float fx = hipX + std::sin(a) * 12, fy = 61.5f - lift;
  (void)hipY;
  Line(c, s, hipX, 50, fx, fy, 2.0f, col);
  Line(c, s, fx - 2, fy, fx + 4, fy, 2.0f, col);  // toes forward
}

Canvas DrawBird(bool costume, const BirdPose& p) {
  BirdLook k = MakeBirdLook(costume);
  const Squash& s = p.sq;
  Canvas fig(64, 64);
  float by = -p.bob;  // body offset

  // Far leg first, darker.
  Layer(fig, [&](Canvas& c) { DrawLeg(c, s, 27, 50, p.legB, p.liftB, Shade(k.leg, 0.75f)); });

  // Tail.
  Layer(fig, [&](Canvas& c) {
    if (costume) {
      // A sweeping plume with a gold eye at its tip.
      Poly(c, s, {14, 34 + by, 1, 18 + by, 4, 15 + by, 9, 20 + by, 16, 30 + by}, k.tail);
      Ellipse(c, s, 4, 17 + by, 2.6f, 2.6f, k.wingTip);
      Ellipse(c, s, 4, 17 + by, 1.2f, 1.2f, Hex(0x1f4fb0));
    } else {
      Poly(c, s, {14, 32 + by, 3, 26 + by, 2, 30 + by, 6, 36 + by, 14, 41 + by}, k.tail);
      Poly(c, s, {5, 28 + by, 2, 30 + by, 4, 33 + by}, k.wingTip);
    }
  });

  // Body, belly and back.
  Layer(fig, [&](Canvas& c) {
    Ellipse(c, s, 29, 38 + by, 18.5f, 13.5f, k.body);
    Ellipse(c, s, 33, 42 + by, 13, 8.5f, k.belly);
    Ellipse(c, s, 25, 30 + by, 12, 5, k.back);
  });

  // Wing folded on the side.
  Layer(fig, [&](Canvas& c) {
    Poly(c, s, {33, 31 + by, 22, 30 + by, 11, 37 + by, 13, 41 + by, 25, 42 + by, 34, 38 + by}, k.wing);
    Poly(c, s, {16, 36 + by, 11, 37 + by, 13, 41 + by, 19, 41 + by}, k.wingTip);
  });

  // Near leg.
  Layer(fig, [&](Canvas& c) { DrawLeg(c, s, 32, 50, p.legA, p.liftA, k.leg); });

  // Head, beak, eye (and crown, mask, scarf in costume).
  float hx = 44 + p.headX, hy = 21 + by;
  Layer(fig, [&](Canvas& c) {
    Ellipse(c, s, hx - 3, hy + 7, 6.5f, 6, k.body);  // neck
    Ellipse(c, s, hx, hy, 8.5f, 8, k.body);
    Poly(c, s, {hx + 6, hy - 1.5f, hx + 16, hy + 2, hx + 6, hy + 4.5f}, k.beak);
    Poly(c, s, {hx + 11, hy + 2.5f, hx + 13, hy + 2.5f, hx + 12, hy + 4}, k.beakSpot);
    if (costume) {
      FillRect(c, int(s.X(hx - 4)), int(s.Y(hy - 3)), int(11 * s.sx + 0.5f), std::max(1, int(4 * s.sy + 0.5f)),
               Hex(0x1a1030));  // domino mask
    }
  });
  Layer(fig, [&](Canvas& c) {
    if (!p.dizzy) {
      Ellipse(c, s, hx + 2.5f, hy - 1, 1.8f, 1.8f, costume ? Hex(0xffffff) : Hex(0x14141e));
      Ellipse(c, s, hx + 3.0f, hy - 1, 0.9f, 0.9f, costume ? Hex(0x14141e) : Hex(0xffffff));
    }
    if (costume) {
      // Crown.
      Poly(c, s,
           {hx - 5, hy - 6, hx - 5, hy - 13, hx - 2.5f, hy - 9, hx, hy - 14, hx + 2.5f, hy - 9, hx + 5, hy - 13, hx + 5,
            hy - 6},
           Hex(0xf7c948));
      Ellipse(c, s, hx, hy - 8.5f, 1.2f, 1.2f, Hex(0xe2383a));
      // Scarf with a tail flying back.
      Poly(c, s, {hx - 9, hy + 6, hx + 3, hy + 8, hx + 2, hy + 11, hx - 9, hy + 10}, Hex(0xe2383a));
      Poly(c, s, {hx - 8, hy + 7, hx - 17, hy + 5 + p.headX, hx - 16, hy + 9 + p.headX, hx - 8, hy + 10},
           Hex(0xc02030));
    }
  });
  if (p.dizzy) {
    // Crossed eyes after a stomp.
    float ex = s.X(hx + 2.5f), ey = s.Y(hy - 1);
    ThickLine(fig, ex - 1.5f, ey - 1.5f, ex + 1.5f, ey + 1.5f, 1.0f, kInk);
    ThickLine(fig, ex - 1.5f, ey + 1.5f, ex + 1.5f, ey - 1.5f, 1.0f, kInk);
  }
  return fig;
}

}  // namespace

Canvas BirdFigure(bool costume, int frame) {
  BirdPose p;
  if (frame < 12) {
    float ph = 2 * kPi * frame / 12;
    p.legA = 24 * std::sin(ph);
    p.legB = -p.legA;
    p.liftA = std::max(0.0f, 3.5f * std::cos(ph));
    p.liftB = std::max(0.0f, -3.5f * std::cos(ph));
    p.bob = std::round(1.5f * (1 - std::fabs(std::sin(ph))));
    p.headX = std::round(2.0f * std::cos(2 * ph));
  } else {
    // Flattened by a stomp, then springing back.
    static const float kSy[4] = {0.42f, 0.58f, 0.75f, 0.9f};
    static const float kSx[4] = {1.1f, 1.07f, 1.04f, 1.01f};
    int q = frame - 12;
    p.sq.sx *= kSx[q];
    p.sq.sy = kSy[q];
    p.legA = 50;
    p.legB = -50;
    p.dizzy = q < 2;
  }
  return DrawBird(costume, p);
}

Canvas BirdSheet(bool costume, bool facingLeft) {
  Canvas sheet(512, 512);
  for (int f = 0; f < 16; ++f) {
    Canvas cell = Scale(BirdFigure(costume, f), 2);
    // The squash runs 12..15 for a bird walking right and 15..12 for one
    // walking left, so the left sheet keeps its squash frames in reverse.
    int at = facingLeft && f >= 12 ? 27 - f : f;
    PutCell(sheet, at, facingLeft ? Mirror(cell) : cell);
  }
  return sheet;
}
