// The title screen's score panel drawn on the headless back end: panel, graph
// points and lines, scrolling, the best list, the detail card, hovering and
// pinning, and the thinning of a shown group.
#include <climits>

#include "tests/unit/support.h"

using namespace support;

namespace {

constexpr int W = 1280, H = 960, B = H - 10;

class ScoreTable : public ScoresTest {
 protected:
  void SetUp() override {
    ScoresTest::SetUp();
    AutoMidHandle(true);
    IconsImage = CreateImage(16, 16, 64, 0);
    SpriteLimit[1] = 100000;
    Point(-1000, -1000);  // away from the panel
  }
  static void Point(int x, int y) {
    MouseX = x;
    MouseY = y;
  }
  // A click on what the pointer shows; answers the pin it left.
  static int Click() {
    HeadlessMouseButton(1, true);
    Show(320);
    HeadlessMouseButton(1, false);
    return PinnedItem;
  }
  static std::vector<DrawRecord> Show(int offset, int mode = 1) {
    return DrawnBy([=] { ShowScoreTable(offset, mode, 0, 0); });
  }
  // Name on the card, or "" when no card is drawn.
  static std::string CardName(const std::vector<DrawRecord>& draws, int L) {
    if (RectsOfSize(draws, 330, 140).empty()) return "";
    for (const DrawRecord& r : draws)
      if (r.kind == DrawRecord::TEXT && r.x == L - 6 && r.y == B - 562) return r.text;
    return "?";
  }
  static int Width(const DrawRecord& r) {
    SetFont(r.font);
    return TextWidth(r.text);
  }
  static int Height(const DrawRecord& r) {
    SetFont(r.font);
    return TextHeight(r.text);
  }

  // Three rounds of Medium, newest first, and one of Hard in between.
  void ThreeRounds() {
    Scores a = Record(100, 65149974729, "Newest");
    a.Best[2] = 7;
    ScoreList = {a, Record(300, 65149974000, "Middle"), Record(5000, 65149973000, "Hard", 2),
                 Record(0, 65149972000, "Oldest")};
  }
};

TEST_F(ScoreTable, EmptyGroupDrawsPanelAndBaseLineOnly) {
  for (int offset : {0, 320}) {
    const int L = W - offset;
    const std::vector<DrawRecord> d = Show(offset);
    const std::vector<DrawRecord> rects = OfKind(d, DrawRecord::RECT), lines = OfKind(d, DrawRecord::LINE);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].x, L - 8);
    EXPECT_EQ(rects[0].x + rects[0].w, offset == 320 ? W - 6 : W + 314);
    EXPECT_EQ(rects[0].y, B - 422);
    EXPECT_EQ(rects[0].h, 422);
    EXPECT_FLOAT_EQ(rects[0].alpha, 0.6f);
    EXPECT_EQ(rects[0].r + rects[0].g + rects[0].b, 0);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].x, L - 8);
    EXPECT_EQ(lines[0].w, W - 8);
    EXPECT_EQ(lines[0].y, B - 150);
    EXPECT_EQ(lines[0].h, B - 150);
    EXPECT_EQ(lines[0].b, 80);
    EXPECT_TRUE(OfKind(d, DrawRecord::TEXT).empty());
    EXPECT_TRUE(OfKind(d, DrawRecord::IMAGE).empty());
  }
}

TEST_F(ScoreTable, GraphPointsLinesAndBestListOfAKnownGroup) {
  ThreeRounds();
  const int L = W - 320;
  const std::vector<DrawRecord> d = Show(320);

  // Points: newest on the right, 18 apart, heights score * 150 / 300.
  const std::vector<DrawRecord> marks = OfKind(d, DrawRecord::IMAGE);
  ASSERT_EQ(marks.size(), 3u);
  const float xs[3] = {L + 306.0f, L + 288.0f, L + 270.0f}, ys[3] = {B - 50.0f, B - 150.0f, B * 1.0f};
  const int reds[3] = {205, 105, 255};
  for (int i = 0; i < 3; i++) {
    EXPECT_EQ(marks[i].x, xs[i]) << i;
    EXPECT_EQ(marks[i].y, ys[i]) << i;
    EXPECT_EQ(marks[i].frame, 7);
    EXPECT_EQ(marks[i].r, reds[i]) << i;
    EXPECT_EQ(marks[i].g, 255);
    EXPECT_EQ(marks[i].b, 80);
  }

  // Lines: the base line, a joining line for every point but the first, and
  // a faint left edge for every column.
  const std::vector<DrawRecord> lines = OfKind(d, DrawRecord::LINE);
  ASSERT_EQ(lines.size(), 6u);
  std::vector<DrawRecord> joins, edges;
  for (size_t i = 1; i < lines.size(); i++) (lines[i].alpha < 0.5f ? edges : joins).push_back(lines[i]);
  ASSERT_EQ(joins.size(), 2u);
  EXPECT_EQ(joins[0].x, xs[1]);
  EXPECT_EQ(joins[0].y, ys[1]);
  EXPECT_EQ(joins[0].w, xs[0]);
  EXPECT_EQ(joins[0].h, ys[0]);
  EXPECT_EQ(joins[0].g, 230);  // 80 + v
  EXPECT_EQ(joins[1].x, xs[2]);
  EXPECT_EQ(joins[1].w, xs[1]);
  EXPECT_EQ(joins[1].g, 80);
  ASSERT_EQ(edges.size(), 3u);
  for (int i = 0; i < 3; i++) {
    EXPECT_EQ(edges[i].x, xs[i] - 9);
    EXPECT_EQ(edges[i].w, xs[i] - 9);
    EXPECT_EQ(edges[i].y, B - 150);
    EXPECT_EQ(edges[i].h, B - 1);
  }

  // Best list: by score, names left, zero-padded scores right-aligned.
  const char* names[3] = {"Middle", "Newest", "Oldest"};
  const char* scores[3] = {"000000000300", "000000000100", "000000000000"};
  for (int i = 0; i < 3; i++) {
    const int y = B - 426 + 17 * i;
    const DrawRecord* name = FindText(d, names[i]);
    const DrawRecord* score = FindText(d, scores[i]);
    ASSERT_NE(name, nullptr) << i;
    ASSERT_NE(score, nullptr) << i;
    EXPECT_EQ(name->x, L - 6);
    EXPECT_EQ(name->y, y);
    EXPECT_EQ(score->x, L + 314 - Width(*score));
    EXPECT_EQ(score->y, y);
    EXPECT_EQ(name->r + name->g + name->b, 3 * 255);
  }
  EXPECT_EQ(FindText(d, "Hard"), nullptr);
  EXPECT_EQ(CardName(d, L), "");
  EXPECT_EQ(ScoreList.size(), 4u);
}

TEST_F(ScoreTable, AllZeroGroupLiesOnTheBaseLine) {
  for (int i = 0; i < 5; i++) ScoreList.push_back(Record(0, 100 - i));
  for (const DrawRecord& m : OfKind(Show(320), DrawRecord::IMAGE)) EXPECT_EQ(m.y, B);
}

TEST_F(ScoreTable, EighteenColumnsFitAndScrollingShowsOlderOnes) {
  for (int i = 0; i < 19; i++) ScoreList.push_back(Record(10 + i, 1000 - i));
  const int L = W - 320;
  const std::vector<DrawRecord> still = OfKind(Show(320), DrawRecord::IMAGE);
  ASSERT_EQ(still.size(), 18u);
  EXPECT_EQ(still.back().x, L + 306 - 17 * 18);

  // Resting on the left end scrolls 8 a frame, up to 1000.
  Point(L - 5, B - 75);
  const std::vector<DrawRecord> moved = OfKind(Show(320), DrawRecord::IMAGE);
  EXPECT_EQ(GraphScroll, 8);
  Point(-1000, -1000);
  const std::vector<DrawRecord> scrolled = OfKind(Show(320), DrawRecord::IMAGE);
  ASSERT_EQ(scrolled.size(), 19u);
  for (size_t i = 0; i < 18; i++) EXPECT_EQ(scrolled[i].x, still[i].x + 8) << i;
  Point(L - 5, B - 75);
  for (int i = 0; i < 200; i++) Show(320);
  EXPECT_EQ(GraphScroll, 1000);
  // The right end scrolls back, down to 0.
  MouseX = L + 300;
  Show(320);
  EXPECT_EQ(GraphScroll, 992);
  for (int i = 0; i < 200; i++) Show(320);
  EXPECT_EQ(GraphScroll, 0);
}

TEST_F(ScoreTable, HoveringAColumnShowsItsCardAndClickingPinsIt) {
  ThreeRounds();
  const int L = W - 320;
  Point(L + 306, B - 10);  // the newest round's column
  std::vector<DrawRecord> d = Show(320);
  EXPECT_EQ(CardName(d, L), "Newest");
  EXPECT_EQ(PinnedItem, 0);
  const std::vector<DrawRecord> card = RectsOfSize(d, 330, 140);
  ASSERT_EQ(card.size(), 1u);
  EXPECT_EQ(card[0].x, L - 12);
  EXPECT_EQ(card[0].y, B - 566);
  EXPECT_FLOAT_EQ(card[0].alpha, 0.6f);
  const DrawRecord* name = FindText(d, "Newest");  // the list row comes first, the card after
  ASSERT_NE(name, nullptr);
  const DrawRecord* score = FindText(d, "100");
  ASSERT_NE(score, nullptr);
  EXPECT_EQ(score->x, L + 314 - Width(*score));
  EXPECT_EQ(score->y, B - 541);
  EXPECT_EQ(score->b, 80);
  const DrawRecord* combo = FindText(d, "Best Combo : 0007");
  ASSERT_NE(combo, nullptr);
  EXPECT_EQ(combo->x, L - 6);
  EXPECT_EQ(combo->y, B - 516 - Height(*combo) / 2);
  EXPECT_EQ(combo->g, 80);
  const DrawRecord* when = FindText(d, "06-12-2026, 15:12:09");
  ASSERT_NE(when, nullptr);
  EXPECT_EQ(when->x, L - 6);
  EXPECT_EQ(when->y, B - 430 - Height(*when));
  EXPECT_EQ(when->r + when->g + when->b, 0);
  // The column and its list row are highlighted.
  const std::vector<DrawRecord> column = RectsOfSize(d, 19, 150);
  ASSERT_EQ(column.size(), 1u);
  EXPECT_EQ(column[0].x, L + 297);
  EXPECT_FLOAT_EQ(column[0].alpha, 0.3f);
  const std::vector<DrawRecord> row = RectsOfSize(d, 320, 17);
  ASSERT_EQ(row.size(), 1u);
  EXPECT_EQ(row[0].y, B - 426 + 17);

  // Pressing pins it; the card stays when the pointer leaves.
  EXPECT_EQ(Click(), 1);
  Point(-1000, -1000);
  EXPECT_EQ(CardName(Show(320), L), "Newest");
  // Hovering another column shows that one while the pinned one stays lit.
  Point(L + 270, B - 10);
  d = Show(320);
  EXPECT_EQ(CardName(d, L), "Oldest");
  EXPECT_EQ(RectsOfSize(d, 19, 150).size(), 2u);
}

TEST_F(ScoreTable, AHoveredRowWinsAndCanBePinned) {
  ThreeRounds();
  const int L = W - 320;
  PinnedItem = 2;
  EXPECT_EQ(CardName(Show(320), L), "Middle");
  Point(L + 100, B - 426 + 17 * 2 + 5);  // third row
  EXPECT_EQ(CardName(Show(320), L), "Oldest");
  EXPECT_EQ(Click(), 1003);
  Point(-1000, -1000);
  EXPECT_EQ(CardName(Show(320), L), "Oldest");
  // A hovered column wins over a pinned row.
  Point(L + 306, B - 10);
  EXPECT_EQ(CardName(Show(320), L), "Newest");
  Point(-1000, -1000);
  // Pins that point past the graph or the list select nothing.
  for (int pin : {4, 999, 1004, 1016}) {
    PinnedItem = pin;
    EXPECT_EQ(CardName(Show(320), L), "") << pin;
  }
}

TEST_F(ScoreTable, LongNamesAreCutInTheListOnly) {
  const std::string name = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234";
  ScoreList = {Record(10, 1, name)};
  PinnedItem = 1;
  const std::vector<DrawRecord> d = Show(320);
  EXPECT_NE(FindText(d, name.substr(0, 24)), nullptr);
  EXPECT_EQ(CardName(d, W - 320), name);
}

TEST_F(ScoreTable, ShowingAGroupKeepsItsFiftyNewestAndTwentyFiveBest) {
  // 60 Easy rounds, the 10 oldest scoring least; and 60 Medium ones.
  for (int i = 0; i < 60; i++) {
    ScoreList.push_back(Record(i < 50 ? 100 + i : i - 50, 10000 - i, "e" + std::to_string(i), 0));
    ScoreList.push_back(Record(i, 10000 - i, "m", 1));
  }
  GraphScroll = 1000;
  PinnedItem = 55;  // a record about to go: still shown this frame
  const std::vector<DrawRecord> d = Show(0, 0);
  EXPECT_EQ(OfKind(d, DrawRecord::IMAGE).size(), 60u);  // every column drawn before the thinning
  EXPECT_EQ(CardName(d, W), "e54");
  int easy = 0, medium = 0;
  for (const Scores& s : ScoreList) (s.GameMode == 0 ? easy : medium)++;
  EXPECT_EQ(easy, 50);
  EXPECT_EQ(medium, 60);  // groups not shown are not thinned

  // When the oldest has the best score of its group, it stays.
  ScoreList.clear();
  for (int i = 0; i < 60; i++) ScoreList.push_back(Record(i == 59 ? 5000 : 1000 - i, 10000 - i, "e", 0));
  Show(0, 0);
  EXPECT_EQ(ScoreList.size(), 51u);
  EXPECT_EQ(ScoreList.back().Score, 5000);
}

TEST_F(ScoreTable, ExtremeScoresStayInsideTheirNumbers) {
  ScoreList = {Record(INT64_MAX, 3), Record(-5, 2), Record(INT64_MIN, 1)};
  PinnedItem = 3;
  const std::vector<DrawRecord> d = Show(320);
  const std::vector<DrawRecord> marks = OfKind(d, DrawRecord::IMAGE);
  ASSERT_EQ(marks.size(), 3u);
  EXPECT_EQ(marks[0].y, B - 150);
  EXPECT_EQ(marks[1].y, B);
  EXPECT_GT(marks[2].y, B);
  EXPECT_NE(FindText(d, "-9223372036854775808"), nullptr);  // whole on the card
  EXPECT_NE(FindText(d, "036854775807"), nullptr);          // the last 12 digits in the list
}

}  // namespace
