// CNativePhotoCdToolkit: the Photo CD toolkit's eleven entry points in a native library.
#include "media/decoder_libraries.h"
#include "media/native_picture.h"

namespace {

PcdPhoto Handle(IPhotoCdToolkit::Photo photo) { return reinterpret_cast<PcdPhoto>(photo); }

// The callback the library is given: the program's check over the queue.
int AbortTrampoline(void* data) {
  const auto* context = static_cast<const CNativePhotoCdToolkit::AbortContext*>(data);
  return context && context->check && context->check(context->keys) ? 1 : 0;
}

}  // namespace

BOOL CNativePhotoCdToolkit::Load() { return m_library.LoadMapped(kFileName, m_folders); }

void CNativePhotoCdToolkit::Unload() {
  m_library.Free();
  m_aborts.clear();
}

IPhotoCdToolkit::Status CNativePhotoCdToolkit::Open(const CString& name, Photo& photo) {
  auto open = Entry<PcdOpenProc>("PCDopen");
  if (!open) return std::nullopt;
  const std::string path = tvn::media::NativeFileName(name);
  PcdPhoto handle = nullptr;
  const WORD status = open(path.c_str(), &handle);
  photo = reinterpret_cast<Photo>(handle);
  return status;
}

IPhotoCdToolkit::Status CNativePhotoCdToolkit::GetRotation(Photo photo, int& rotation) {
  auto get = Entry<PcdGetRotationProc>("PCDgetRotation");
  if (!get) return std::nullopt;
  short value = 0;
  const WORD status = get(Handle(photo), &value);
  rotation = value;
  return status;
}

IPhotoCdToolkit::Status CNativePhotoCdToolkit::SetTransform(Photo photo, int rotation) {
  auto set = Entry<PcdSetTransformProc>("PCDsetTransform");
  if (!set) return std::nullopt;
  return set(Handle(photo), static_cast<short>(rotation));
}

IPhotoCdToolkit::Status CNativePhotoCdToolkit::SetResolution(Photo photo, int resolution) {
  auto set = Entry<PcdSetResolutionProc>("PCDsetResolution");
  if (!set) return std::nullopt;
  return set(Handle(photo), static_cast<short>(resolution));
}

IPhotoCdToolkit::Status CNativePhotoCdToolkit::SetFormat(Photo photo, int format) {
  auto set = Entry<PcdSetFormatProc>("PCDsetFormat");
  if (!set) return std::nullopt;
  return set(Handle(photo), static_cast<short>(format));
}

IPhotoCdToolkit::Status CNativePhotoCdToolkit::CreatePalette(const BYTE* table, const PaletteArgs& a,
                                                             Palette& palette) {
  auto create = Entry<PcdCreatePaletteProc>("PCDcreatePalette");
  if (!create) return std::nullopt;
  PcdPalette handle = nullptr;
  const WORD status = create(table, a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], &handle);
  palette = reinterpret_cast<Palette>(handle);
  return status;
}

IPhotoCdToolkit::Status CNativePhotoCdToolkit::SetPalette(Photo photo, Palette palette) {
  auto set = Entry<PcdSetPaletteProc>("PCDsetPalette");
  if (!set) return std::nullopt;
  return set(Handle(photo), reinterpret_cast<PcdPalette>(palette));
}

IPhotoCdToolkit::Status CNativePhotoCdToolkit::SetAbort(Photo photo, PhotoCdAbortProc check, LPARAM) {
  auto set = Entry<PcdSetAbortProc>("PCDsetAbort");
  if (!set) return std::nullopt;
  auto& context = m_aborts[photo];
  if (!context) context = std::make_unique<AbortContext>();
  context->check = check;
  context->keys = m_keys;
  return set(Handle(photo), check ? &AbortTrampoline : nullptr, context.get());
}

IPhotoCdToolkit::Status CNativePhotoCdToolkit::LoadImage(Photo photo, const PhotoCdRegion* region,
                                                         std::vector<BYTE>& dib) {
  dib.clear();
  auto load = Entry<PcdLoadImageProc>("PCDloadImage");
  if (!load) return std::nullopt;
  PcdRegion area{};
  if (region) area = PcdRegion{region->top, region->left, region->bottom, region->right};
  void* block = nullptr;
  std::size_t size = 0;
  const WORD status = load(Handle(photo), region ? &area : nullptr, &block, &size);
  dib = tvn::media::TakeNativePicture(block, size);
  return status;
}

IPhotoCdToolkit::Status CNativePhotoCdToolkit::FreePalette(Palette palette) {
  auto release = Entry<PcdFreePaletteProc>("PCDfreePalette");
  if (!release) return std::nullopt;
  return release(reinterpret_cast<PcdPalette>(palette));
}

IPhotoCdToolkit::Status CNativePhotoCdToolkit::Close(Photo photo) {
  auto close = Entry<PcdCloseProc>("PCDclose");
  if (!close) return std::nullopt;
  const WORD status = close(Handle(photo));
  m_aborts.erase(photo);
  return status;
}
