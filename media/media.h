// media.h — the media layer: the only way the program reaches screen,
// speakers, input devices, files and the clock.
//
// A thin, stateful, immediate-mode 2D service. One drawing state (colour,
// alpha, blend, rotation, scale, font) is current and sticky: set it once and
// every later draw uses it. All drawing coordinates and the mouse position are
// in virtual units (SetVirtualResolution); the layer scales to the display.
//
// Resources are integer handles, 0 meaning null: drawing, measuring or playing
// a null resource does nothing, and loaders answer 0 for a missing or corrupt
// file. The program keeps the handles in its own integer-indexed tables.
//
// Behind this header sits one back end (media/backend.h): the SDL2 / OpenGL /
// OpenAL one for play, or the headless one for tests (media/headless/).
// Text is std::string holding one byte per character (ISO 8859-1).
//
// The layer's rooms. media/ itself holds this API and the device-independent
// heart (media.cpp with the resource tables and drawing state of core.h;
// text, random, the rules' sine; backend.h, the one interface of the back
// ends); it includes no platform header. Each part lives in a folder of its
// own, opens with its manual, and is built seeing only the libraries named
// here (media/rooms.cmake):
//   sdl/       the real back end, its key map, SDL's help for the others   SDL
//   gl/        the OpenGL sprite batch and its textures          SDL, OpenGL
//   headless/  the test back end (a library of its own)                    -
//   audio/     the sound outputs: OpenAL, our mixer, their voices     OpenAL
//   decode/    PNG, TrueType, the WAV checks, images as CPU frames
//                                                           libpng, FreeType
//   files/     the file service, kept files, roots        the system's, in
//   system/    clock, dates, reports, memory            posix.cpp, windows.cpp
//   host/      the desktop program and the page, with its scripts  Emscripten
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "media/keys.h"

//------------------------------------------------------------------------------
// Back ends
//------------------------------------------------------------------------------
// The program chooses its back end first. The headless one, for tests and
// benchmarks, is a library of its own (media/headless.h), never in the game.
void UseSdlBackend();  // the real window, OpenGL drawing, OpenAL / FreeAudio sound
// The layer's program-wide switches to their start values: the random
// generator's seed, automatic mid-handles off, drawing not skipped, the
// drawing area stretched over the display.
void ResetMediaSwitches();

//------------------------------------------------------------------------------
// Display
//------------------------------------------------------------------------------
struct DisplayMode {
  int width = 0, height = 0, depth = 0, hertz = 0;
};
int CountGraphicsModes();                                         // display modes the device offers
DisplayMode GetGraphicsMode(int index);                           // mode by 0-based index
bool GraphicsModeExists(int w, int h, int depth, int hertz);      // zero in any field matches any value
void SelectGraphicsDriver(const std::string& name);               // "OpenGL", "DX9" or "DX7" (all drawn with OpenGL)
bool OpenDisplay(int w, int h, int depth, int hertz, int flags);  // depth 0: window, else full screen
void CloseDisplay();                                              // release it; may be reopened with other settings
void SetAppTitle(const std::string& title);                       // window title, given before opening
void SetVirtualResolution(float w, float h);                      // drawing area in virtual units
// On: on a display of another shape the area is shown as large as fits,
// centred between black bars, instead of stretched (off at start).
void KeepPictureShape(bool on);
float VirtualResolutionWidth();
float VirtualResolutionHeight();
void ClearScreen();  // clear to black
// While set, clearing and drawing leave the frame as it is: a frame that will
// never be shown costs nothing, and the picture last presented stays put.
void SkipDrawing(bool skip);
bool DrawingSkipped();
void PresentFrame(int sync);  // 1 vblank, 0 at once, -1 software paced to refresh

//------------------------------------------------------------------------------
// Drawing (virtual units; sticky state)
//------------------------------------------------------------------------------
enum Blend { MASKBLEND = 1, SOLIDBLEND = 2, ALPHABLEND = 3, LIGHTBLEND = 4, SHADEBLEND = 5 };

void DrawRect(float x, float y, float w, float h);  // current colour, alpha, blend, scale, rotation
// Rectangles w wide and bandHeight high stacked down from (x, y), one per
// colour (RGB bytes, R lowest; the current colour is not used): exactly
// DrawRect for each, in the current alpha, blend, scale and rotation, at the
// cost of one draw where the back end can (a sky of hundreds of strips).
void DrawBands(const std::vector<uint32_t>& colours, float x, float y, float w, float bandHeight);
void DrawLine(float x1, float y1, float x2, float y2, bool lastPixel = true);
void DrawText(const std::string& text, float x, float y);    // top-left at x, y in the current font
int TextWidth(const std::string& text);                      // pixels at scale 1 in the current font
int TextHeight(const std::string& text);                     // pixels at scale 1 in the current font
void DrawImage(int image, float x, float y, int frame = 0);  // handle of the frame at x, y
void SetColor(int r, int g, int b);                          // 0..255 each, multiplies image and text colour
void GetColor(int& r, int& g, int& b);
void SetAlpha(float alpha);  // 0..1
float GetAlpha();
void SetBlend(int blend);  // one of Blend
int GetBlend();
void SetRotation(float degrees);  // clockwise about the handle
float GetRotation();
void SetScale(float sx, float sy);  // about the handle
void GetScale(float& sx, float& sy);
void SetFont(int font);  // 0 selects the built-in font
int GetFont();

//------------------------------------------------------------------------------
// Images and fonts
//------------------------------------------------------------------------------
enum ImageFlags { MASKEDIMAGE = 1, FILTEREDIMAGE = 2, MIPMAPPEDIMAGE = 4, DYNAMICIMAGE = 8 };
enum FontStyle { BOLDFONT = 1, ITALICFONT = 2, SMOOTHFONT = 4 };

int LoadImage(const std::string& file, int flags);  // PNG; 0 when missing or corrupt
int LoadAnimImage(const std::string& file, int cellW, int cellH, int first, int count, int flags);
void AutoMidHandle(bool on);  // later loads get their handle at the frame centre
int ImageWidth(int image);    // one frame, pixels (0 for null)
int ImageHeight(int image);
int ImageFrames(int image);
void FreeImage(int image);                               // release; the handle becomes invalid
int CreateImage(int w, int h, int frames, int flags);    // blank, dynamic
void GrabImage(int image, int x, int y, int frame = 0);  // copy the screen at virtual x, y into the frame

struct Pixmap {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;  // RGBA bytes (R lowest), rows top-down
};
Pixmap GrabPixmap(int x, int y, int w, int h);  // display pixels of the current frame
int SavePixmapPNG(const Pixmap& pixmap, const std::string& file, int compression);  // safe save; 1 written, 0 not

// Pixel-exact overlap: each image placed with its handle at its point, the
// current scale and rotation applied to both exactly as when drawing.
bool ImagesCollide(int a, float ax, float ay, int frameA, int b, float bx, float by, int frameB);

int LoadFont(const std::string& file, int size, int style);  // TrueType at a pixel size; 0 on failure
void FreeFont(int font);

//------------------------------------------------------------------------------
// Input (every query pumps pending events first)
//------------------------------------------------------------------------------
bool KeyDown(int code);  // Windows virtual-key code 1..255 (media/keys.h), true while held
int KeyHit(int code);    // presses since the last call for that key, then cleared
int GetChar();           // next typed character (repeats included), 0 when none
void FlushKeys();        // clear key states, hits and typed characters
float VirtualMouseX();   // pointer in virtual units
float VirtualMouseY();
bool MouseDown(int button);    // 1 left, 2 right, 3 middle
int MouseHit(int button);      // presses since the last call, then cleared
void MoveMouse(int x, int y);  // display pixels
void ShowPointer();
void HidePointer();
bool CloseRequested();                              // true once after the user asked to close the window
std::string TakeDroppedFile();                      // the oldest file dropped on the window not yet taken; "" when none
void DoneWithDroppedFile(const std::string& file);  // a page removes its copy of a dropped file

int CountJoysticks();
std::string JoyName(int port);  // ports from 0
float JoyX(int port);           // axes -1..1; 0 for an absent joystick
float JoyY(int port);
float JoyZ(int port);
float JoyR(int port);
float JoyU(int port);
float JoyV(int port);
float JoyHat(int port);              // -1 centred, 0 up, 0.25 right, 0.5 down, 0.75 left
bool JoyDown(int button, int port);  // buttons from 0
int JoyButtonMask(int port);         // one bit per available button

// Any pad by one layout, whatever its own numbering: the stick or the d-pad,
// the four face buttons by place, the shoulders, Back and Start. SDL's pad
// mappings name the parts; a device without one is read as a browser's
// standard pad (axes 0 and 1, the hat, buttons 0 to 3 bottom, right, left and
// top, 4 and 5 the shoulders, 8 Back, 9 Start, 12 to 15 the d-pad).
enum PadControl {
  PAD_UP,
  PAD_DOWN,
  PAD_LEFT,
  PAD_RIGHT,
  PAD_BOTTOM,
  PAD_START,  // A, Start
  PAD_RIGHT_FACE,
  PAD_LEFT_FACE,
  PAD_TOP_FACE,  // B, X, Y
  PAD_BACK,      // Back (Select)
  PAD_LEFT_SHOULDER,
  PAD_RIGHT_SHOULDER,
  PAD_CONTROLS  // how many there are
};
bool PadDown(int port, int control);  // PadControl
// Key and mouse-button presses so far (repeats not counted): which hand the
// player last used is told from it and from the pads.
int KeyboardPresses();

// On-screen controls where the host offers them (a page played by touch;
// never on the desktop). Each is held while a finger is on it; a tap that
// starts and ends between two frames is still held for one frame.
enum TouchControl { TOUCH_LEFT, TOUCH_RIGHT, TOUCH_JUMP, TOUCH_UP, TOUCH_DOWN, TOUCH_SETTINGS, TOUCH_PAUSE };
bool TouchControlsShown();                          // the player is playing by touch (controls on screen)
bool TouchDown(int control);                        // TouchControl
int TouchHit(int control);                          // presses since the last call, then cleared
void OfferTouchControl(int control, bool offered);  // shown only while the screen has a use for it
// A screen that edits text: while on, the host may offer its own text field
// (a phone's keyboard), kept showing text; what is typed there arrives as
// typed characters, Backspace and Enter.
void TextEntry(bool on, const std::string& text = std::string());

//------------------------------------------------------------------------------
// Audio
//------------------------------------------------------------------------------
std::vector<std::string> AudioDriverList();         // "OpenAL", "FreeAudio" in that order
bool AudioDriverExists(const std::string& name);    // ignoring case
bool SetAudioDriver(const std::string& name);       // any listed name; false when unknown
bool EnableOpenALAudio();                           // OpenAL usable now?
int LoadSound(const std::string& file, int flags);  // WAV; flags 1 loop; 0 when missing or corrupt
void FreeSound(int sound);
int AllocChannel();                        // 0 when no sound device
int CueSound(int sound, int channel = 0);  // bind paused (0: a new channel); answers the channel or 0
void ResumeChannel(int channel);
void StopChannel(int channel);
bool ChannelPlaying(int channel);
void SetChannelVolume(int channel, float volume);  // clamped to 0..1
void SetChannelPan(int channel, float pan);        // -1 left .. 1 right
void SetChannelRate(int channel, float rate);      // 1 = recorded speed

//------------------------------------------------------------------------------
// Files and folders
//------------------------------------------------------------------------------
// Two roots: the data root holds what the program reads (Common/, the game's
// folder), the player root what it writes (Setup.ini, Debug.txt, scores,
// screenshots). Names are taken from a root by DataPath and PlayerPath; an
// empty root is the current folder, which the program never changes.
// Portable, one Files/ tree (in the current folder, else beside the
// executable) is both. Installed (the tree cannot be written, or the build
// names a data root), the player root is the system's folder for the player's
// files (~/.local/share/<app>/, %APPDATA%\<app>\), made with its game folder
// at the first start; nothing is written into the data root.
std::string InstalledDataRoot();  // the data root the build names; "" for a portable build
void FindFileRoots(const std::string& tree, const std::string& app, const std::string& gameFolder,
                   const std::string& installedData = InstalledDataRoot());
void SetFileRoots(const std::string& data, const std::string& player);
std::string DataRoot();
std::string PlayerRoot();
std::string DataPath(const std::string& name);                             // name under the data root
std::string PlayerPath(const std::string& name);                           // name under the player root
std::string JoinPath(const std::string& folder, const std::string& name);  // an absolute name stays as it is

struct TextFile;                               // an open text stream
TextFile* ReadFile(const std::string& path);   // nullptr when it cannot be opened
TextFile* WriteFile(const std::string& path);  // truncates; nullptr when it cannot be opened
// A safe save: the lines go to path + ".tmp", which CloseFile writes through
// to the disk and renames over path; on any failure the temporary is removed
// and the old file stays whole.
TextFile* WriteFileSafely(const std::string& path);
std::string ReadLine(TextFile* f);                  // up to LF, NUL or end; CR dropped
bool LineEnded(TextFile* f);                        // the line last read ended at LF or NUL, not at the end
bool Eof(TextFile* f);                              // true for nullptr
void WriteLine(TextFile* f, const std::string& s);  // bytes, then CR LF; ignored for nullptr
bool CloseFile(TextFile* f);                        // false when a read or write failed
int FileType(const std::string& path);              // 0 nothing, 1 file, 2 folder
// May a new file take this path's place? True when nothing is there. A file
// whose permissions allow no writing was pinned read-only on purpose and is
// not replaced, by the superuser either.
bool FileReplaceable(const std::string& path);
std::string FileError();  // the system's reason the last file operation failed
bool ChangeDir(const std::string& path);
std::string CurrentDir();
bool RenameFile(const std::string& from, const std::string& to);  // atomic replace
bool DeleteFile(const std::string& path);
// A file the player's choices or records are kept in, replaced whole. One
// that is there but could not be read (or only in part) may hold what this
// run never saw: it is never written over. Why a save did not happen is said
// once a run on standard error: "<full name>: <what> not saved: <why>".
struct KeptFile {
  std::string what;           // what it keeps, for that line ("scores")
  std::string readError;      // why it was there but could not be read ("" when it was)
  bool notSavedTold = false;  // that line has been written
  bool unlockedTold = false;  // said that it is shared without a lock to be had
};
TextFile* ReadKeptFile(KeptFile& kept, const std::string& path);  // ReadFile, noting a failure for the run
void EndReadingKeptFile(KeptFile& kept, TextFile* f);             // CloseFile, noting a failure
// The safe save of path; nullptr, said once, when it must not be replaced
// (unreadable, or pinned read-only: FileReplaceable) or cannot be made.
TextFile* ReplaceKeptFile(KeptFile& kept, const std::string& path);
bool CloseKeptFile(KeptFile& kept, const std::string& path, TextFile* f);  // false, said once, when not saved
// Files that several copies of the program share (two windows, two tabs):
// read, merged and replaced by one copy at a time. LockSharedFile waits until
// this copy alone holds `path`: an advisory lock on path + ".lock" beside it;
// in a page, the browser's lock on the name, and the copies in the browser's
// storage of every file beside it (where another tab may have put newer
// ones) are fetched first. Every file beside it is changed only under it.
// UnlockSharedFile lets it go (in a page once what changed meanwhile is
// stored, telling the other tabs when `changed`). Without a lock to be had
// both go on unlocked, and that is said once a run on standard error.
struct SharedFileLock;
SharedFileLock* LockSharedFile(KeptFile& kept, const std::string& path);
void UnlockSharedFile(SharedFileLock* lock, bool changed);
// Changes whenever another copy may have replaced path (its size, time and
// identity; in a page, also each time another tab says so); "" for no file.
std::string SharedFileStamp(const std::string& path);
// Whole files of bytes (media/files/bytes.cpp). A read refuses anything but a plain
// file of at most maxBytes; a write is a safe save, as WriteFileSafely.
bool ReadWholeFile(const std::string& path, std::string& bytes, size_t maxBytes);
bool WriteWholeFileSafely(const std::string& path, const std::string& bytes);
std::vector<std::string> FilesInFolder(const std::string& folder);  // plain files' names, sorted
int64_t FileClockMs();                                              // now, on the clock of file times
int64_t FileTimeMs(const std::string& path);                        // when it was last written; 0 when not there

//------------------------------------------------------------------------------
// System
//------------------------------------------------------------------------------
int32_t Millisecs();                           // wraps as a 32-bit count
int32_t ClockSince(int32_t from, int32_t to);  // ms from one Millisecs() to another, across the wrap
void Delay(int ms);                            // negative: no sleep
// Waits for the frame due periodMs after the last where the host paces frames
// (a page: the browser's); false on the desktop, where the caller paces.
bool WaitForFrame(double periodMs);
std::string CurrentDate();                     // "06 Dec 2026", English months in every locale
std::string CurrentTime();                     // "15:12:09"
long MemoryInUse();                            // bytes in use by the program
long ReleaseMemory();                          // bytes handed back
[[noreturn]] void EndProcess(int status = 0);  // headless: throws HeadlessExit
void ReportError(const std::string& text);     // one line on standard error, for whoever started us

//------------------------------------------------------------------------------
// Text and numbers (1-based positions)
//------------------------------------------------------------------------------
std::string Mid(const std::string& s, int pos, int len = -1);  // negative len: to the end; pos < 1 clipped
std::string Left(const std::string& s, int n);
std::string Right(const std::string& s, int n);
int Instr(const std::string& s, const std::string& sub, int start = 1);  // 0 when absent
std::string Replace(const std::string& s, const std::string& from, const std::string& to);
std::string Trim(const std::string& s);  // drops codes 0..32 at both ends
std::string Upper(const std::string& s);
std::string Lower(const std::string& s);
int Asc(const std::string& s);  // first code, -1 for empty
std::string Chr(int code);
std::string Str(int64_t n);
// Field n (from 1) of text split at sep, trimmed first; "-+-" when there is no field n.
std::string FieldOf(const std::string& text, const std::string& sep, int n);
int64_t ToInt64(const std::string& s);       // leading blanks, one sign, digits; saturates at the 64-bit range
int ToInt(const std::string& s);             // the same, saturating at the int range
std::string ZeroPad(int64_t n, int digits);  // the last `digits` characters of zeros and n ("0042")
int SafeAbs(int n);                          // |n|, with |INT_MIN| saturated to INT_MAX
int TruncInt(double v);                      // toward zero, saturating; NaN gives 0
inline double ClampFloat(double value, double low, double high) {  // NaN gives low
  if (!(value >= low)) return low;
  return value > high ? high : value;
}
// The sine the game's rules use: correctly rounded, the same on every build
// (media/sine.cpp); exact at whole quarter turns; 0 when not finite.
double SinDeg(double degrees);
// Both at once by the system's library, for placing pictures; 0 and 1 when not finite.
void SinCosDeg(double degrees, double& s, double& c);
