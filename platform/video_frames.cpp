// The MCI video devices' way to the program's video layer.
#include "platform/video_frames.h"

#include "platform/media_source.h"

// SEAM: the video layer (FFmpeg's demuxers and decoders behind the AVI
// players) plugs in here. Until it does, no medium has a picture: the video
// device types open such media as sound, as they did before.
std::unique_ptr<IVideoFrames> OpenVideoFrames(std::unique_ptr<IMediaByteSource>, const DecodeLimits&) { return nullptr; }
