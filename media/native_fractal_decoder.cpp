// CNativeFractalDecoder: the fractal decoder's entry points in a native library.
#include "media/decoder_libraries.h"
#include "media/native_picture.h"

BOOL CNativeFractalDecoder::Load(const CString& libraryPath) {
  // The path names the library beside the program: no other place is searched.
  return m_library.LoadMapped(libraryPath, {}, FALSE);
}

void CNativeFractalDecoder::Unload() { m_library.Free(); }

int CNativeFractalDecoder::SetUpDLL() {
  auto setUp = reinterpret_cast<FifSetUpDllProc>(m_library.GetProcAddress("SetUpDLL"));
  return setUp ? setUp() : -1;
}

std::vector<BYTE> CNativeFractalDecoder::DecompressFile(const CString& name) {
  auto decompress = reinterpret_cast<FifDecompressFileProc>(m_library.GetProcAddress("DecompressFile"));
  if (!decompress) return {};
  const std::string path = tvn::media::NativeFileName(name);
  std::size_t size = 0;
  void* block = decompress(path.c_str(), &size);
  return tvn::media::TakeNativePicture(block, size);
}

std::optional<int> CNativeFractalDecoder::GetErrorNumber() {
  auto error = reinterpret_cast<FifGetErrorNumberProc>(m_library.GetProcAddress("GetErrorNumber"));
  if (!error) return std::nullopt;
  return error();
}

void CNativeFractalDecoder::ReleaseDLL() {
  if (auto release = reinterpret_cast<FifReleaseDllProc>(m_library.GetProcAddress("ReleaseDLL"))) release();
}
