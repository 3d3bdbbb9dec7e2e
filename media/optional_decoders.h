// The fractal decoder and the Photo CD toolkit as the pictures call them, behind provider interfaces.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "model/message_pump.h"
#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

// "FIFDECO.DLL": loaded for one decode and unloaded again. The program has no
// fractal decoder of its own: only a native library beside the program sets
// the feature bit.
class IFractalDecoder {
 public:
  virtual ~IFractalDecoder() = default;
  virtual BOOL Load(const CString& libraryPath) = 0;
  virtual void Unload() = 0;
  // 0 when the decoder is ready.
  virtual int SetUpDLL() = 0;
  // A packed DIB, or empty on failure.
  virtual std::vector<BYTE> DecompressFile(const CString& name) = 0;
  // The last error (negative codes as the decoder gives them); nothing when
  // the library lacks the entry point.
  virtual std::optional<int> GetErrorNumber() = 0;
  virtual void ReleaseDLL() = 0;
};

// The region of a Photo CD picture to load, in the order the toolkit takes it.
struct PhotoCdRegion {
  WORD top = 0;
  WORD left = 0;
  WORD bottom = 0;
  WORD right = 0;
  bool operator==(const PhotoCdRegion&) const = default;
};

// Where the abort check finds keyboard messages while the toolkit decodes.
class IKeyboardQueue {
 public:
  virtual ~IKeyboardQueue() = default;
  // Removes the next keyboard message; false when none waits.
  virtual bool TakeKeyMessage(QueuedMessage& out) = 0;
  virtual void Dispatch(const QueuedMessage& msg) = 0;
};

// Called by the toolkit while it decodes: TRUE stops the load.
using PhotoCdAbortProc = BOOL (*)(IKeyboardQueue* queue);
// One keyboard message is taken: a WM_CHAR of Escape stops, anything else is
// dispatched and the load goes on.
BOOL PhotoCDAbortCheck(IKeyboardQueue* queue);

// "PCDLIB32.DLL". Every call gives the toolkit's 16-bit status (0 = done),
// or nothing when the library lacks that entry point.
class IPhotoCdToolkit {
 public:
  using Photo = std::uintptr_t;
  using Palette = std::uintptr_t;
  using Status = std::optional<WORD>;
  // The ten numbers after the colour table of PCDcreatePalette.
  using PaletteArgs = std::array<int, 10>;

  virtual ~IPhotoCdToolkit() = default;
  virtual BOOL Load() = 0;
  virtual void Unload() = 0;
  virtual Status Open(const CString& name, Photo& photo) = 0;
  virtual Status GetRotation(Photo photo, int& rotation) = 0;
  virtual Status SetTransform(Photo photo, int rotation) = 0;
  virtual Status SetResolution(Photo photo, int resolution) = 0;
  virtual Status SetFormat(Photo photo, int format) = 0;
  virtual Status CreatePalette(const BYTE* table, const PaletteArgs& args, Palette& palette) = 0;
  virtual Status SetPalette(Photo photo, Palette palette) = 0;
  virtual Status SetAbort(Photo photo, PhotoCdAbortProc check, LPARAM data) = 0;
  virtual Status LoadImage(Photo photo, const PhotoCdRegion* region, std::vector<BYTE>& dib) = 0;
  virtual Status FreePalette(Palette palette) = 0;
  virtual Status Close(Photo photo) = 0;
};
