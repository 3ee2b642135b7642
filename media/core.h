// core.h — inside the media layer: all of its own state in one record,
// g_media, one part per concern. Each value is held here once; the back ends
// read sizes and the built-in font from here instead of keeping copies.
//
//     g_media.display    what is open and the virtual drawing area
//     g_media.drawing    the sticky drawing state, and whether drawing is skipped
//     g_media.resources  the image, font and sound tables, the built-in font
//     g_media.input      keys, mouse and close requests since they were read
//     g_media.files      the last file error and the two file roots
//     g_media.random     the generator's state
// The device's own state (window, GL objects, audio output) stays inside its
// back end. Nothing outside media/ includes this header.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "media/backend.h"

// Integer-handle table: slot 0 is the null handle, freed slots are reused.
template <typename T>
struct HandleTable {
  std::vector<std::unique_ptr<T>> slots = std::vector<std::unique_ptr<T>>(1);
  std::vector<int> freeSlots;

  int Add(std::unique_ptr<T> item) {
    int h;
    if (!freeSlots.empty()) {
      h = freeSlots.back();
      freeSlots.pop_back();
      slots[h] = std::move(item);
    } else {
      h = static_cast<int>(slots.size());
      slots.push_back(std::move(item));
    }
    slots[h]->handle = h;
    return h;
  }
  T* Get(int h) {
    if (h <= 0 || h >= static_cast<int>(slots.size())) return nullptr;
    return slots[h].get();
  }
  std::unique_ptr<T> Take(int h) {
    if (!Get(h)) return nullptr;
    freeSlots.push_back(h);
    return std::move(slots[h]);
  }
};

// FontData has no handle field of its own; a wrapper keeps it for the table.
struct FontEntry {
  FontData data;
  int handle = 0;
};

struct DisplayCore {
  bool open = false;
  int width = 0, height = 0;         // the open display in pixels (0 when closed)
  float virtualW = 0, virtualH = 0;  // drawing area in virtual units
  bool virtualSet = false;           // chosen by the program (else the display size at opening)
  bool keepShape = false;            // the area keeps its shape on a display of another (black bars)
};

struct DrawingCore {
  DrawState state;    // colour, alpha, blend, scale, rotation, font
  bool skip = false;  // a frame that will not be shown: clearing and drawing do nothing
};

struct ResourceCore {
  HandleTable<ImageData> images;
  HandleTable<FontEntry> fonts;
  HandleTable<SoundData> sounds;
  std::unique_ptr<FontData> builtin;  // the built-in face, rasterised on first use
  bool autoMid = false;               // images loaded from now on get their handle at the centre
};

struct FileCore {
  std::string error;                 // the system's reason for the last failure
  std::string dataRoot, playerRoot;  // where data is read and the player's files are written
};

struct MediaCore {
  // First, so it goes last: the tables' records are gone before the device.
  std::unique_ptr<MediaBackend> backend;
  bool headless = false;  // the active back end is the test one
  DisplayCore display;
  DrawingCore drawing;
  ResourceCore resources;
  InputState input;
  FileCore files;
  int32_t random = 4660;  // the generator's state (media/random.cpp)
};

extern MediaCore g_media;  // defined in media.cpp
