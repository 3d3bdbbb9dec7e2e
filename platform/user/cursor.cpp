#include "platform/user/cursor.h"

#include <QImage>
#include <QPixmap>
#include <algorithm>
#include <array>
#include <span>
#include <optional>
#include <vector>

#include "platform/user/cursor_file.h"
#include "platform/sys/file.h"
#include "platform/user/qt_cursor.h"

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
  if (!data) return nullptr;
  std::optional<CursorImage> picture = ReadCursorFile(std::span<const BYTE>(data, size), true);
  if (!picture) return nullptr;
  auto shape = std::make_unique<CursorShape>();
  shape->image = QImage(picture->width, picture->height, QImage::Format_ARGB32);
  for (int y = 0; y < picture->height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(shape->image.scanLine(y));
    std::copy_n(picture->argb.begin() + static_cast<std::ptrdiff_t>(y) * picture->width, picture->width, row);
  }
  shape->hotX = picture->hotX;
  shape->hotY = picture->hotY;
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
