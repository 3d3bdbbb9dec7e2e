// CImage: settings, storage, and loading by file kind from a variable, the cache, the data file or disk.
#include "media/image.h"

#include "media/image_library.h"
#include "model/archive.h"
#include "model/data_file.h"
#include "model/file_error_report.h"
#include "model/message_service.h"
#include "model/path_helpers.h"
#include "model/preload_source.h"
#include "model/string_table.h"
#include "model/variable.h"
#include "model/variable_context.h"

IMPLEMENT_SERIAL(CImage, CDib, VERSIONABLE_SCHEMA | 2)

namespace {

// Used when the program hands no library of its own: the library's state is process-wide.
CImageLibrary& SharedImageLibrary() {
  static CImageLibrary library;
  return library;
}

const ImageEnvironment& NoEnvironment() {
  static const ImageEnvironment none{};
  return none;
}

bool Contains(const CString& upperName, std::string_view what) { return upperName.Find(what) >= 0; }

bool IsBitmapName(const CString& upperName) {
  return Contains(upperName, ".DIB") || Contains(upperName, ".BMP") || Contains(upperName, ".RLE");
}

}  // namespace

CImage::CImage(const CImage& other) : CDib() { CopyFrom(other); }

const ImageEnvironment& CImage::Env() const { return m_env ? *m_env : NoEnvironment(); }

void CImage::Serialize(CArchive& ar) {
  fileName = ar.ReadString();
  flags = ar.ReadDword();
  pictureRect = ar.ReadRect();
  keyColour = ar.ReadDword();
  maskFileName = ar.ReadString();
  offset.Serialize(ar);
}

BOOL CImage::GetFileNames(CStringArray& names) const {
  BOOL added = FALSE;
  if (!fileName.IsEmpty()) {
    names.Add(fileName);
    added = TRUE;
  }
  if (!maskFileName.IsEmpty()) {
    names.Add(maskFileName);
    added = TRUE;
  }
  return added;
}

void CImage::CopyFrom(const CImage& other) {
  if (this == &other) return;
  Free();
  fileName = other.fileName;
  maskFileName = other.maskFileName;
  flags = other.flags;
  pictureRect = other.pictureRect;
  keyColour = other.keyColour;
  offset = other.offset;
  m_env = other.m_env;
}

void CImage::Free() {
  if (kind == ImageKind::kMetafile) {
    CMetaFilePicture::Delete(m_metaFile);
    hBitmap = CPixelImage();
  }
  CDib::Free();
  m_metaFile.reset();
  kind = ImageKind::kNone;
  maskReady = 0;
  m_weights = WeightPlane();
}

BOOL CImage::SetFile(const CString& name, DWORD newFlags, COLORREF key) {
  fileName = name;
  flags = newFlags;
  keyColour = key;
  return Load();
}

void CImage::Message(UINT id) const {
  if (Env().messages) Env().messages->MessageBoxBeep(id, nullptr, -1);
}

void CImage::ReportFileError(const CString& name, const CException& error) const {
  if (Env().reporter) Env().reporter->ReportFileErrorToVariables(name, error, FALSE, kMsgCannotReadFile);
}

CString CImage::ResolveName(const CString& name) const {
  CString resolved = Env().findMediaFile ? Env().findMediaFile(name) : name;
  resolved.MakeUpper();
  return resolved;
}

std::vector<BYTE> CImage::DibFromMemory(const BYTE* data, std::size_t size) {
  if (!data || size == 0) return {};
  try {
    CMemFile file(data, size);
    return CDib::ReadFromFile(file);
  } catch (const CException&) {
    return {};
  }
}

std::vector<BYTE> CImage::FromCache(const CString& name) const {
  IPreloadCache* cache = Env().cache;
  if (!cache) return {};
  IPreloadBlock* block = cache->FindImage(name);
  if (!block) return {};
  block->SetInUse(true);
  std::vector<BYTE> dib = DibFromMemory(block->LockData(), block->GetDataSize());
  block->UnlockData();
  block->SetInUse(false);
  return dib;
}

BOOL CImage::Load() {
  const ImageEnvironment& env = Env();
  BOOL result = FALSE;
  CVariable* variable = env.variables ? FindVariable(*env.variables, fileName.view()) : nullptr;
  if (variable && (variable->GetFlags() & VarType::kOther) != 0) {
    // A long-binary value holds a DIB; its bytes are checked like a file's.
    hDib = DibFromMemory(variable->GetData().data(), variable->GetData().size());
    result = hDib.empty() ? FALSE : TRUE;
    if (result) kind = ImageKind::kBitmap;
  } else {
    const CString name = ResolveName(fileName);
    if (name.IsEmpty()) return FALSE;
    std::vector<BYTE> cached = FromCache(name);
    if (!cached.empty()) {
      hDib = std::move(cached);
      kind = ImageKind::kBitmap;
      result = TRUE;
    } else {
      result = LoadByExtension(name, nullptr, FALSE);
    }
  }
  // The display is true colour: pictures never hand a palette to the page.

  const bool keyed = (flags & (ImageFlag::kKeyColour | ImageFlag::kTopLeftKey)) != 0;
  if (!hDib.empty()) {
    if ((flags & ImageFlag::kNoBitmap) == 0) {
      hBitmap = DibToBitmap(hDib, tvn::dib::kRgbColors, env.presentationPalette);
      // A picture with its own alpha mask keeps it: a key-colour mask would replace the grey mask.
      if (!maskReady) {
        if (flags & ImageFlag::kTopLeftKey) CreateMask(GetBitmapPixel(0, 0));
        else if (flags & ImageFlag::kKeyColour) CreateMask(keyColour);
      }
    } else if (keyed && !maskReady) {
      hBitmap = DibToBitmap(hDib, tvn::dib::kRgbColors, env.presentationPalette);
      CreateMaskDib((flags & ImageFlag::kTopLeftKey) ? GetBitmapPixel(0, 0) : keyColour);
      hBitmap = CPixelImage();
    }
  }
  if (!maskReady && (flags & ImageFlag::kMaskFile) && LoadMask()) maskReady = 1;
  if (maskReady && (flags & ImageFlag::kNoBitmap) && !hDib.empty())
    hBitmap = DibToBitmap(hDib, tvn::dib::kRgbColors, env.presentationPalette);
  return result;
}

BOOL CImage::FindSource(const CString& name, CFile* entryFile, BOOL quiet, bool& inDataFile) const {
  // Inside the data file when an entry file is given or the data file has the
  // name (its shared file is then positioned at the entry); else on disk.
  const ImageEnvironment& env = Env();
  inDataFile = entryFile || (env.dataFile && env.dataFile->SeekToEntry(name.view()));
  if (inDataFile) return TRUE;
  try {
    CheckFile(name);
  } catch (const CFileException& e) {
    if (!quiet) ReportFileError(name, e);
    return FALSE;
  }
  return TRUE;
}

BOOL CImage::LoadByExtension(const CString& name, CFile* entryFile, BOOL quiet) {
  if (!hDib.empty()) return TRUE;
  const ImageEnvironment& env = Env();
  bool inDataFile = false;
  if (!FindSource(name, entryFile, quiet, inDataFile)) return FALSE;
  CString upper = name;
  upper.MakeUpper();
  bool taken = false;
  BOOL loaded = FALSE;
  // The first row whose substring the name contains decides the kind.
  if (IsBitmapName(upper)) {
    taken = true;
    kind = ImageKind::kBitmap;
    if (inDataFile) {
      try {
        hDib = ReadFromFile(entryFile ? *entryFile : env.dataFile->GetFile());
      } catch (const CException& e) {
        hDib.clear();
        if (!quiet) ReportFileError(name, e);
      }
    } else {
      FileErrorReport report;
      if (!quiet && env.reporter) {
        report = [&env](const CString& n, const CException& e, BOOL saving, UINT id) {
          env.reporter->ReportFileErrorToVariables(n, e, saving, id);
        };
      }
      hDib = LoadFile(name, report);
    }
    loaded = hDib.empty() ? FALSE : TRUE;
  } else if (Contains(upper, ".FIF") && (env.featureBits & FeatureBit::kFractal)) {
    taken = true;
    kind = ImageKind::kFractal;
    loaded = LoadFractalImage(name, env.programDirectory + LoadStringText(StringId::kFractalLibrary));
  } else if (Contains(upper, ".WMF")) {
    taken = true;
    kind = ImageKind::kMetafile;
    if (!m_metaFile) {
      CMetaFilePicture picture(env);
      m_metaFile = picture.Load(name, pictureRect);
    }
    loaded = m_metaFile ? TRUE : FALSE;
  } else if (Contains(upper, ".PCD") && (env.featureBits & FeatureBit::kPhotoCd)) {
    taken = true;
    kind = ImageKind::kPhotoCd;
    loaded = LoadPhotoCDImage(name, flags, pictureRect);
  }
  if ((taken && loaded) || (env.featureBits & FeatureBit::kImageLibrary) == 0) return loaded;
  return LoadThroughLibrary(name, entryFile, inDataFile, quiet, false);
}

BOOL CImage::LoadThroughLibrary(const CString& name, CFile* entryFile, bool inDataFile, BOOL quiet, bool forMask) {
  const ImageEnvironment& env = Env();
  ImgBitmap bitmap(env.imageLibrary ? *env.imageLibrary : SharedImageLibrary(), env.featureBits);
  bitmap.Prepare();
  int bpp = 0;
  BOOL loaded = FALSE;
  if (inDataFile) {
    const CDataFileObject* entry = env.dataFile ? env.dataFile->FindEntry(name.view()) : nullptr;
    CFile* file = entryFile ? entryFile : (env.dataFile ? &env.dataFile->GetFile() : nullptr);
    if (entry && file) loaded = bitmap.LoadFileOffset(*file, entry->m_dwOffset, entry->m_dwSize, bpp);
  } else {
    loaded = bitmap.LoadFile(name, bpp);
  }
  if (loaded) {
    std::vector<BYTE>& target = forMask ? hMaskDib : hDib;
    target = bitmap.ToDIB();
    loaded = target.empty() ? FALSE : TRUE;
  }
  if (loaded && !forMask) {
    kind = ImageKind::kLibrary;
    if (bitmap.BitsPerPixel() == 32) {
      maskReady = 0;
      hMaskDib = bitmap.GetAlphaMask();
      if (!hMaskDib.empty()) {
        hMask = DibToBitmap(hMaskDib, tvn::dib::kRgbColors, env.presentationPalette);
        if (!hMask.IsNull()) maskReady = 1;
      }
    }
  }
  if (!loaded) {
    if (!quiet) Message(StringId::kNoFormatFilter);
    if (!forMask) hDib.clear();
  }
  bitmap.Release();
  return loaded;
}

BOOL CImage::LoadMask() {
  if (maskFileName.IsEmpty()) return FALSE;
  const CString name = ResolveName(maskFileName);
  if (name.IsEmpty()) return FALSE;
  BOOL result = FALSE;
  std::vector<BYTE> cached = FromCache(name);
  if (!cached.empty()) {
    hMaskDib = std::move(cached);
    result = TRUE;
  } else {
    result = LoadMaskByExtension(name, nullptr, FALSE);
  }
  if (result && !hMaskDib.empty()) hMask = DibToBitmap(hMaskDib, tvn::dib::kRgbColors, Env().presentationPalette);
  return result;
}

BOOL CImage::LoadMaskByExtension(const CString& name, CFile* entryFile, BOOL quiet) {
  if (!hMaskDib.empty()) return TRUE;
  const ImageEnvironment& env = Env();
  bool inDataFile = false;
  if (!FindSource(name, entryFile, quiet, inDataFile)) return FALSE;
  CString upper = name;
  upper.MakeUpper();
  BOOL loaded = FALSE;
  if (IsBitmapName(upper)) {
    try {
      hMaskDib = inDataFile ? ReadFromFile(entryFile ? *entryFile : env.dataFile->GetFile()) : LoadFile(name);
    } catch (const CException&) {
      hMaskDib.clear();
    }
    loaded = hMaskDib.empty() ? FALSE : TRUE;
    if (loaded) return TRUE;
  }
  if ((env.featureBits & FeatureBit::kImageLibrary) == 0) return loaded;
  return LoadThroughLibrary(name, entryFile, inDataFile, quiet, true);
}

BOOL CImage::HitTest(CPoint point) const {
  if (flags & (ImageFlag::kKeyColour | ImageFlag::kTopLeftKey)) return IsOpaqueAt(point);
  return TRUE;
}

void CImage::RebuildBitmap() {
  if (kind == ImageKind::kNone || kind == ImageKind::kMetafile || hDib.empty()) return;
  hBitmap = DibToBitmap(hDib, tvn::dib::kRgbColors, Env().presentationPalette);
}

DWORD CImage::GetDataSize() const {
  if (kind == ImageKind::kMetafile && m_metaFile) return static_cast<DWORD>(m_metaFile->Bytes().size());
  return static_cast<DWORD>(hDib.size());
}

void CImage::StripPaths(int mode, DWORD stripFlags, const CString& extension) {
  if (stripFlags & 0x01) {
    if (!fileName.IsEmpty()) ReplaceExtension(fileName, extension.view());
    if (!maskFileName.IsEmpty()) ReplaceExtension(maskFileName, extension.view());
  }
  fileName = ExtractFileName(fileName, mode);
  maskFileName = ExtractFileName(maskFileName, mode);
}
