// CImage: fractal and Photo CD pictures through their optional decoders.
#include <cstdlib>

#include "media/image.h"
#include "media/optional_decoders.h"
#include "model/message_service.h"
#include "model/string_table.h"
#include "platform/msg/window_messages.h"

namespace {

constexpr WPARAM kEscape = 27;

// Toolkit status codes with a meaning of their own.
constexpr WORD kStatusNoMemory = 12;
constexpr WORD kStatusAborted = 3003;

// The 16-colour table for the toolkit's small palette: 16 entries of 3 bytes.
constexpr BYTE kPalette16[48] = {
    0x00, 0x9C, 0x89, 0x1B, 0x8B, 0xB8, 0x37, 0x7A, 0x5F, 0x53, 0x69, 0x91, 0x0A, 0xCF, 0x81, 0x27,
    0xBE, 0xB2, 0x42, 0xAD, 0x58, 0x8D, 0x9C, 0x89, 0x5B, 0x9C, 0x89, 0x38, 0x79, 0xEB, 0x6E, 0x58,
    0x37, 0xA6, 0x36, 0x99, 0x16, 0xFF, 0x79, 0x4E, 0xDF, 0xDB, 0x84, 0xBE, 0x26, 0xBC, 0x9C, 0x89,
};

int PhotoCdResolution(DWORD flags) {
  if (flags & ImageFlag::kPhotoCdRes1) return 1;
  if (flags & ImageFlag::kPhotoCdRes5) return 5;
  if (flags & ImageFlag::kPhotoCdRes3) return 3;
  if (flags & ImageFlag::kPhotoCdRes4) return 4;
  return 2;
}

int PhotoCdFormat(DWORD flags) {
  if (flags & ImageFlag::kPhotoCdFormat11) return 11;
  if (flags & ImageFlag::kPhotoCdFormat13) return 13;
  if (flags & ImageFlag::kPhotoCdFormat10) return 10;
  return 13;
}

}  // namespace

BOOL PhotoCDAbortCheck(IKeyboardQueue* queue) {
  QueuedMessage msg;
  if (!queue || !queue->TakeKeyMessage(msg)) return FALSE;
  if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return FALSE;
  if (msg.message == WM_CHAR && msg.wParam == kEscape) return TRUE;
  queue->Dispatch(msg);
  return FALSE;
}

BOOL CImage::LoadFractalImage(const CString& name, const CString& libraryPath) {
  if (!hDib.empty()) return TRUE;
  IFractalDecoder* decoder = Env().fractal;
  if (!decoder || !decoder->Load(libraryPath)) return FALSE;
  if (decoder->SetUpDLL() != 0) {
    decoder->Unload();
    return FALSE;
  }
  // What the decoder hands back is checked like a file before it is kept.
  const std::vector<BYTE> decoded = decoder->DecompressFile(name);
  hDib = DibFromMemory(decoded.data(), decoded.size());
  BOOL result = hDib.empty() ? FALSE : TRUE;
  if (!result) {
    CMessageService* messages = Env().messages;
    const std::optional<int> error = decoder->GetErrorNumber();
    if (!error) {
      if (messages) messages->MessageBoxFormatBeep(StringId::kFractalError, &name, nullptr, -1);
    } else if (*error != 0 && messages) {
      const long long id = StringId::kFractalError + std::llabs(static_cast<long long>(*error));
      if (id <= 0xFFFFFFFFLL && HasStringText(static_cast<UINT>(id)))
        messages->MessageBoxTextBeep(LoadStringText(static_cast<UINT>(id)), nullptr, -1);
      else
        messages->MessageBoxFormatBeep(StringId::kFractalError, &name, nullptr, -1);
    }
  }
  decoder->ReleaseDLL();
  decoder->Unload();
  return result;
}

BOOL CImage::LoadPhotoCDImage(const CString& name, DWORD photoFlags, CRect& region) {
  if (!hDib.empty()) return TRUE;
  IPhotoCdToolkit* toolkit = Env().photoCd;
  if ((Env().featureBits & FeatureBit::kPhotoCd) == 0 || !toolkit || !toolkit->Load()) return FALSE;
  CMessageService* messages = Env().messages;
  auto fail = [messages](UINT id) {
    if (messages) messages->MessageBoxBeep(id, nullptr, -1);
  };
  auto ok = [](const IPhotoCdToolkit::Status& s) { return s && *s == 0; };

  IPhotoCdToolkit::Photo photo = 0;
  std::vector<IPhotoCdToolkit::Palette> palettes;
  bool opened = false;
  BOOL result = FALSE;
  do {
    if (!ok(toolkit->Open(name, photo))) break;
    opened = true;
    int rotation = 0;
    if (!ok(toolkit->GetRotation(photo, rotation))) break;
    if (!toolkit->SetTransform(photo, rotation)) break;
    if (!ok(toolkit->SetResolution(photo, PhotoCdResolution(photoFlags)))) break;
    if (!ok(toolkit->SetFormat(photo, PhotoCdFormat(photoFlags)))) break;

    if (photoFlags & (ImageFlag::kPhotoCdPalette16 | ImageFlag::kPhotoCdFormat13)) {
      const bool small = (photoFlags & ImageFlag::kPhotoCdPalette16) != 0;
      IPhotoCdToolkit::Palette palette = 0;
      const IPhotoCdToolkit::Status created =
          small ? toolkit->CreatePalette(kPalette16, {1, 3, 16, 0, 4, 4, 3, 0, 0, 1}, palette)
                : toolkit->CreatePalette(nullptr, {0, 0, 256, 0, 3, 3, 2, 1, 1, 1}, palette);
      if (!created) break;
      if (*created != 0) {
        fail(StringId::kPhotoCdCallFailed);
        break;
      }
      palettes.push_back(palette);
      const IPhotoCdToolkit::Status set = toolkit->SetPalette(photo, palette);
      if (!set) break;
      if (*set != 0) {
        fail(StringId::kPhotoCdCallFailed);
        break;
      }
    }

    // The region goes to the toolkit in multiples of 8, top first.
    PhotoCdRegion rounded;
    const bool whole = region.IsRectEmpty();
    if (whole) {
      region = CRect();
    } else {
      auto down8 = [](LONG v) { return static_cast<WORD>(static_cast<DWORD>(v) & 0xFFF8u); };
      rounded = PhotoCdRegion{down8(region.top), down8(region.left), down8(region.bottom), down8(region.right)};
    }

    const IPhotoCdToolkit::Status abortSet = toolkit->SetAbort(photo, &PhotoCDAbortCheck, 0);
    if (!abortSet) break;
    if (*abortSet != 0) {
      fail(StringId::kPhotoCdCallFailed);
      break;
    }
    std::vector<BYTE> dib;
    const IPhotoCdToolkit::Status loaded = toolkit->LoadImage(photo, whole ? nullptr : &rounded, dib);
    if (!loaded) break;
    if (*loaded == kStatusNoMemory) {
      fail(StringId::kOutOfMemory);
      break;
    }
    if (*loaded == kStatusAborted) break;
    if (*loaded != 0) {
      fail(StringId::kPhotoCdCallFailed);
      break;
    }
    // What the toolkit hands back is checked like a file before it is kept.
    hDib = DibFromMemory(dib.data(), dib.size());
    result = hDib.empty() ? FALSE : TRUE;
  } while (false);

  for (IPhotoCdToolkit::Palette palette : palettes) toolkit->FreePalette(palette);
  if (opened) toolkit->Close(photo);
  toolkit->Unload();
  return result;
}
