#include "platform/cursor.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <array>
#include <optional>
#include <vector>

#include "platform/file.h"
#include "platform/qt_cursor.h"

struct CursorShape {
  UINT systemId = 0;  // 0 for a cursor made from a file
  Qt::CursorShape qtShape = Qt::ArrowCursor;
  QImage image;
  int hotX = 0;
  int hotY = 0;
};

namespace {

struct SystemCursor {
  UINT id;
  Qt::CursorShape shape;
};

constexpr std::array<SystemCursor, 15> kSystemCursors = {{
    {IDC_ARROW, Qt::ArrowCursor},       {IDC_IBEAM, Qt::IBeamCursor},       {IDC_WAIT, Qt::WaitCursor},
    {IDC_CROSS, Qt::CrossCursor},       {IDC_UPARROW, Qt::UpArrowCursor},   {IDC_SIZE, Qt::SizeAllCursor},
    {IDC_ICON, Qt::ArrowCursor},        {IDC_SIZENWSE, Qt::SizeFDiagCursor}, {IDC_SIZENESW, Qt::SizeBDiagCursor},
    {IDC_SIZEWE, Qt::SizeHorCursor},    {IDC_SIZENS, Qt::SizeVerCursor},    {IDC_SIZEALL, Qt::SizeAllCursor},
    {IDC_NO, Qt::ForbiddenCursor},      {IDC_HAND, Qt::PointingHandCursor}, {IDC_APPSTARTING, Qt::BusyCursor},
}};

// The shapes are made once and never change, so handles to them stay valid.
const std::array<CursorShape, kSystemCursors.size()>& SystemShapes() {
  static const auto shapes = [] {
    std::array<CursorShape, kSystemCursors.size()> s;
    for (std::size_t i = 0; i < kSystemCursors.size(); ++i) {
      s[i].systemId = kSystemCursors[i].id;
      s[i].qtShape = kSystemCursors[i].shape;
    }
    return s;
  }();
  return shapes;
}

WORD ReadWord(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }

}  // namespace

HCURSOR LoadCursor(HINSTANCE, UINT id) {
  for (const CursorShape& shape : SystemShapes())
    if (shape.systemId == id) return &shape;
  return nullptr;
}

HCURSOR LoadCursorResource(const char* name) {
  if (name && CString(name).CompareNoCase("HAND") == 0) return LoadCursor(nullptr, IDC_HAND);
  return nullptr;
}

void CursorDeleter::operator()(const CursorShape* shape) const {
  if (shape && shape->systemId == 0) delete shape;
}

CursorPtr LoadCursorFromBytes(const BYTE* data, std::size_t size) {
  // Icon directory: reserved 0, type (1 icon, 2 cursor), count, then 16-byte
  // entries; in a cursor file bytes 4..7 of an entry are the hot spot.
  constexpr std::size_t kHeader = 6;
  constexpr std::size_t kEntry = 16;
  if (!data || size < kHeader + kEntry) return nullptr;
  WORD type = ReadWord(data + 2);
  WORD count = ReadWord(data + 4);
  if (ReadWord(data) != 0 || (type != 1 && type != 2) || count == 0 || count > (size - kHeader) / kEntry) return nullptr;
  QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  // Qt's reader knows icon files; a cursor file differs only in its type word.
  if (type == 2) bytes[2] = 1;
  QImageReader reader(&buffer, "ico");
  QImage image = reader.read();
  if (image.isNull()) return nullptr;
  auto shape = std::make_unique<CursorShape>();
  shape->image = image.convertToFormat(QImage::Format_ARGB32);
  if (type == 2) {
    shape->hotX = std::min<int>(ReadWord(data + kHeader + 4), image.width() - 1);
    shape->hotY = std::min<int>(ReadWord(data + kHeader + 6), image.height() - 1);
  }
  return CursorPtr(shape.release());
}

CursorPtr LoadCursorFromFile(const CString& fileName) {
  CFile file;
  if (!file.Open(fileName, CFile::modeRead)) return nullptr;
  constexpr ULONGLONG kLargest = 4u << 20;  // a cursor file is a few kilobytes
  ULONGLONG length = file.GetLength();
  if (length == 0 || length > kLargest) return nullptr;
  std::vector<BYTE> bytes(static_cast<std::size_t>(length));
  if (file.Read(bytes.data(), static_cast<UINT>(bytes.size())) != bytes.size()) return nullptr;
  return LoadCursorFromBytes(bytes.data(), bytes.size());
}

UINT CursorSystemId(HCURSOR cursor) { return cursor ? cursor->systemId : 0; }

QCursor QtCursorFor(HCURSOR cursor) {
  if (!cursor) return QCursor(Qt::BlankCursor);
  if (cursor->systemId != 0) return QCursor(cursor->qtShape);
  return QCursor(QPixmap::fromImage(cursor->image), cursor->hotX, cursor->hotY);
}
