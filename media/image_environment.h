// What pictures need of the running program: files, the cache, messages, the page and optional decoders.
#pragma once

#include <functional>
#include <optional>

#include "platform/base/cstring.h"
#include "platform/base/geometry.h"
#include "platform/base/win_types.h"

class CDataFile;
class CFileErrorReporter;
class CImageLibrary;
class CLogPalette;
class CMessageService;
class CVariableContext;
class IFractalDecoder;
class IPhotoCdToolkit;
class IPreloadCache;

// Optional-library bits the application sets at start for what it found.
namespace FeatureBit {
constexpr DWORD kFractal = 0x10;
constexpr DWORD kPhotoCd = 0x200;
constexpr DWORD kImageLibrary = 0x400;
}  // namespace FeatureBit

// Filled by the application (or a test) and handed to every picture; each
// member may be missing, and the picture then takes the path the program
// takes without that service. Nothing here is owned.
struct ImageEnvironment {
  CVariableContext* variables = nullptr;  // long-binary variables by name
  // The course document's media-file search; without it names are taken as they are.
  std::function<CString(const CString&)> findMediaFile;
  IPreloadCache* cache = nullptr;
  CDataFile* dataFile = nullptr;
  CFileErrorReporter* reporter = nullptr;
  CMessageService* messages = nullptr;
  CImageLibrary* imageLibrary = nullptr;  // the reader of other kinds; a shared one when missing
  IFractalDecoder* fractal = nullptr;
  IPhotoCdToolkit* photoCd = nullptr;
  // The picture readers are our own code and always present; the fractal
  // decoder and the Photo CD toolkit come with the running program's bits.
  DWORD featureBits = FeatureBit::kImageLibrary;
  CString programDirectory;  // with a trailing separator
  const CLogPalette* presentationPalette = nullptr;
  // The page's current paint rectangle; every picture draw is cut to it.
  std::optional<CRect> paintRect;
  int displayBits = 32;
};
