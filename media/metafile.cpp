// CMetaFilePicture: reading placeable and plain metafiles, and mapping a metafile onto a rectangle.
#include "media/metafile.h"

#include "media/dib_format.h"
#include "media/image_environment.h"
#include "media/read_exactly.h"
#include "model/data_mem_file.h"
#include "model/message_service.h"
#include "model/string_table.h"
#include "platform/gdi/dc.h"

namespace {

using tvn::dib::Le16;
using tvn::dib::Le32;

short S16(const BYTE* p) { return static_cast<short>(Le16(p)); }

}  // namespace

std::shared_ptr<const CMetaFile> CMetaFile::FromBytes(std::vector<BYTE> bytes) {
  if (bytes.size() < kHeaderBytes) return nullptr;
  auto metaFile = std::make_shared<CMetaFile>();
  metaFile->m_type = Le16(bytes.data());
  metaFile->m_headerWords = Le16(bytes.data() + 2);
  metaFile->m_objects = Le16(bytes.data() + 10);
  metaFile->m_bytes = std::move(bytes);
  return metaFile;
}

void CMetaFilePicture::Message(UINT id) const {
  if (m_env.messages) m_env.messages->MessageBoxBeep(id, nullptr, -1);
}

MetaFileHandle CMetaFilePicture::Load(const CString& name, CRect& box) {
  CDataMemFile file(m_env.dataFile, m_env.cache, m_env.reporter);
  CFileException error;
  if (!file.Open(name, CFile::modeRead | CFile::shareDenyWrite, &error) || !file.IsOpen()) return nullptr;
  try {
    return Read(file, box);
  } catch (const CException&) {
    // A read failure inside the file is a damaged metafile.
    Message(StringId::kCannotReadMetafile);
    return nullptr;
  }
}

MetaFileHandle CMetaFilePicture::Read(CFile& file, CRect& box) {
  BYTE key[4];
  if (!tvn::dib::ReadExactly(file, key, 4)) return nullptr;
  const ULONGLONG length = file.GetLength();
  WORD type = 0;
  std::vector<BYTE> body;
  bool complete = false;
  const bool placeable = Le32(key) == kPlaceableKey;
  if (placeable) {
    BYTE placeable[kPlaceableBytes];
    file.Seek(0, CFile::begin);
    BYTE header[CMetaFile::kHeaderBytes];
    if (tvn::dib::ReadExactly(file, placeable, kPlaceableBytes) &&
        tvn::dib::ReadExactly(file, header, CMetaFile::kHeaderBytes)) {
      m_box = CRect(S16(placeable + 6), S16(placeable + 8), S16(placeable + 10), S16(placeable + 12));
      m_unitsPerInch = Le16(placeable + 14);
      type = Le16(header);
      // The size counts 16-bit words of the whole metafile; it must fit in what the file holds.
      const ULONGLONG bytes = static_cast<ULONGLONG>(Le32(header + 6)) * 2;
      if (bytes >= CMetaFile::kHeaderBytes && length >= kPlaceableBytes && bytes <= length - kPlaceableBytes) {
        body.resize(static_cast<std::size_t>(bytes));
        file.Seek(kPlaceableBytes, CFile::begin);
        complete = tvn::dib::ReadExactly(file, body.data(), body.size());
      }
    }
  } else {
    file.Seek(0, CFile::begin);
    BYTE header[CMetaFile::kHeaderBytes];
    if (tvn::dib::ReadExactly(file, header, CMetaFile::kHeaderBytes)) {
      type = Le16(header);
      const ULONGLONG bytes = static_cast<ULONGLONG>(Le32(header + 6)) * 2;
      // Plain files are read straight from memory: no temporary file is needed.
      if (bytes >= CMetaFile::kHeaderBytes && bytes <= length) {
        body.resize(static_cast<std::size_t>(bytes));
        file.Seek(0, CFile::begin);
        complete = tvn::dib::ReadExactly(file, body.data(), body.size());
      }
    }
    m_box = CRect();
  }
  if (!complete) {
    Message(StringId::kCannotReadMetafile);
    // A header that could not be read has no valid type either.
    if (type == 0) Message(StringId::kNotAMetafile);
    return nullptr;
  }
  if (type != 1 && type != 2) {
    // Not a picture at all: nothing is kept.
    Message(StringId::kNotAMetafile);
    return nullptr;
  }
  if (placeable) box = m_box;
  return CMetaFile::FromBytes(std::move(body));
}

void CMetaFilePicture::Draw(CDC* dc, const MetaFileHandle& metaFile, const CRect& rect,
                            const CRect& pictureRect) const {
  if (!dc || !metaFile) return;
  if (!PlayMetaFileInto(*dc, *metaFile, rect, pictureRect)) Message(StringId::kCannotPlayMetafile);
}

BOOL PlayMetaFileInto(CDC& dc, const CMetaFile& metaFile, const CRect& rect, const CRect& pictureRect) {
  const int saved = dc.SaveDC();
  CRect device = rect;
  dc.LPtoDP(&device);
  dc.SetMapMode(MM_ANISOTROPIC);
  dc.SetViewportOrg(device.left, device.top);
  dc.SetViewportExt(device.Width(), device.Height());
  if (pictureRect.IsRectEmpty()) {
    dc.SetWindowOrg(device.left, device.top);
    dc.SetWindowExt(device.Width(), device.Height());
  } else {
    // The bounding box's right and bottom serve as the extent, as the
    // pictures have always been shown.
    dc.SetWindowOrg(pictureRect.left, pictureRect.top);
    dc.SetWindowExt(pictureRect.right, pictureRect.bottom);
  }
  const BOOL played = PlayMetaFileRecords(dc, metaFile);
  dc.RestoreDC(saved);
  return played;
}
