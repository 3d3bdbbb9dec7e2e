// IVideoFrames: the pictures of one video medium, frame by frame, as the MCI video devices read them.
#pragma once

#include <functional>
#include <memory>

#include "platform/base/geometry.h"
#include "platform/mm/media_decoder.h"
#include "platform/gdi/pixel_image.h"
#include "platform/base/win_types.h"

class CDC;
class IMediaByteSource;

// One medium's picture stream: a fixed frame size and rate. Frames are asked
// for in any order (a seek asks for one far away); each call gives a whole
// picture in the display's 32-bit form.
class IVideoFrames {
 public:
  virtual ~IVideoFrames() = default;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual DWORD FrameCount() const = 0;
  // Milliseconds one frame stands on the screen (above 0).
  virtual double FrameMs() const = 0;
  // The picture of frame n (below FrameCount); false when it cannot be decoded.
  virtual bool Frame(DWORD n, CPixelImage& out) = 0;
};

// Opens the pictures of a medium, taking the source; null when it holds no
// picture or cannot be read, and for a picture past the limits.
using VideoFramesOpener =
    std::function<std::unique_ptr<IVideoFrames>(std::unique_ptr<IMediaByteSource> source, const DecodeLimits& limits)>;

// The program's video layer.
std::unique_ptr<IVideoFrames> OpenVideoFrames(std::unique_ptr<IMediaByteSource> source, const DecodeLimits& limits);

// Draws the source part of a picture into the destination rectangle of the
// DC (each pixel the source pixel under its centre), only within clip. A
// source reaching outside the picture draws nothing.
void DrawPicturePart(CDC& dc, const CPixelImage& picture, const CRect& source, const CRect& dest, const CRect& clip);
