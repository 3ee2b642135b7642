// keyboard.cpp — the on-screen keyboard name entry shows while the player
// holds a pad: digits, letters, a few marks, and a bottom row of wide keys
// (case, space, delete, done). The d-pad or the stick moves the highlight,
// repeating while held; the bottom button types the highlighted key and the
// right face button deletes. What it types obeys the typed name's rules.
#include "scores/scores.h"
#include "shell/shell.h"
#include "tools/tools.h"

namespace {

// Cells of the bottom row's wide keys, and what they do.
enum KeyAction { KEYS_CASE = -1, KEYS_DELETE = -2, KEYS_DONE = -3 };

// Each cell holds the character its key types, or a KeyAction; a wide key
// fills neighbouring cells with the same value.
constexpr int kKeyGrid[KEYS_ROWS][KEYS_COLUMNS] = {
    {'1', '2', '3', '4', '5', '6', '7', '8', '9', '0'},
    {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J'},
    {'K', 'L', 'M', 'N', 'O', 'P', 'Q', 'R', 'S', 'T'},
    {'U', 'V', 'W', 'X', 'Y', 'Z', '-', '.', '\'', '!'},
    {KEYS_CASE, KEYS_CASE, ' ', ' ', ' ', ' ', KEYS_DELETE, KEYS_DELETE, KEYS_DONE, KEYS_DONE},
};

constexpr int kCellW = 64, kCellH = 48, kGap = 8;  // virtual units

bool IsLetter(int code) { return code >= 'A' && code <= 'Z'; }

// What a key types, with the letters in the case chosen.
int Typed(const OnScreenKeyboard& k, int code) { return IsLetter(code) && k.lower ? code - 'A' + 'a' : code; }

std::string Label(const OnScreenKeyboard& k, int code) {
  switch (code) {
    case KEYS_CASE: return k.lower ? "ABC" : "abc";
    case KEYS_DELETE: return "Delete";
    case KEYS_DONE: return "Done";
    case ' ': return "Space";
    default: return std::string(1, static_cast<char>(Typed(k, code)));
  }
}

// The first and last column of the key in this cell.
void KeySpan(int row, int col, int& first, int& last) {
  first = last = col;
  while (first > 0 && kKeyGrid[row][first - 1] == kKeyGrid[row][col]) --first;
  while (last < KEYS_COLUMNS - 1 && kKeyGrid[row][last + 1] == kKeyGrid[row][col]) ++last;
}

}  // namespace

int OnScreenKeyAt(int row, int col) {
  if (row < 0 || row >= KEYS_ROWS || col < 0 || col >= KEYS_COLUMNS) return 0;
  return kKeyGrid[row][col];
}

void MoveOnScreenKeys(OnScreenKeyboard& k, int dx, int dy) {
  if (dy != 0) {
    // Up and down keep the column, so a wide key is left where it was entered.
    k.row = ((k.row + dy) % KEYS_ROWS + KEYS_ROWS) % KEYS_ROWS;
  }
  if (dx != 0) {
    // Sideways goes past the rest of a wide key, round to the row's other end.
    int first = 0, last = 0;
    KeySpan(k.row, k.col, first, last);
    const int next = dx > 0 ? last + 1 : first - 1;
    k.col = (next % KEYS_COLUMNS + KEYS_COLUMNS) % KEYS_COLUMNS;
  }
}

bool PressOnScreenKey(OnScreenKeyboard& k, std::string& name) {
  const int code = OnScreenKeyAt(k.row, k.col);
  switch (code) {
    case KEYS_CASE: k.lower = !k.lower; return false;
    case KEYS_DELETE:
      if (!name.empty()) name.pop_back();
      return false;
    case KEYS_DONE: return true;
    default: AddNameCharacter(name, Typed(k, code)); return false;
  }
}

bool OnScreenKeysByPad(OnScreenKeyboard& k, std::string& name) {
  MoveOnScreenKeys(k, (PadRepeated(PAD_RIGHT) ? 1 : 0) - (PadRepeated(PAD_LEFT) ? 1 : 0),
                   (PadRepeated(PAD_DOWN) ? 1 : 0) - (PadRepeated(PAD_UP) ? 1 : 0));
  if (PadRepeated(PAD_RIGHT_FACE) && !name.empty()) name.pop_back();
  return PadPressed(PAD_BOTTOM) && PressOnScreenKey(k, name);
}

void DrawOnScreenKeys(const OnScreenKeyboard& k, int centreX, int top) {
  const int left = centreX - (KEYS_COLUMNS * (kCellW + kGap) - kGap) / 2;
  SetFont(Fonts[FONT_MENU]);
  for (int row = 0; row < KEYS_ROWS; ++row) {
    for (int col = 0; col < KEYS_COLUMNS; ++col) {
      int first = 0, last = 0;
      KeySpan(row, col, first, last);
      if (first != col) continue;  // drawn once, from its first cell
      const bool lit = row == k.row && k.col >= first && k.col <= last;
      const int x = left + first * (kCellW + kGap), y = top + row * (kCellH + kGap);
      const int w = (last - first + 1) * (kCellW + kGap) - kGap;
      if (lit) SetColorAlpha(255, 255, 0, 1);
      else SetColorAlpha(0, 0, 0, 0.5);
      DrawRect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(w), kCellH);
      if (lit) SetColorAlpha(0, 0, 0, 1);
      else SetColorAlpha(255, 255, 255, 1);
      DrawTextAligned(x + w / 2, y + kCellH / 2, Label(k, kKeyGrid[row][col]), 1, 1);
    }
  }
}
