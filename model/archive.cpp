// Reading primitive values, strings, counts and object references from an archive stream.
#include "model/archive.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/codepage.h"

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;
constexpr WORD kNullTag = 0;
constexpr WORD kNewClassTag = 0xFFFF;
constexpr WORD kClassTag = 0x8000;
constexpr WORD kBigObjectTag = 0x7FFF;
constexpr DWORD kBigClassTag = 0x80000000u;
constexpr WORD kMaxClassNameLength = 63;
// Objects nest inside objects; a damaged file must not nest deep enough to exhaust the stack.
constexpr std::size_t kMaxNesting = 256;

}  // namespace

CArchive::CArchive(CFile& file) : m_file(file) {
  m_position = file.GetPosition();
  ULONGLONG length = file.GetLength();
  m_end = std::max(length, m_position);
  m_loaded.push_back(LoadEntry{});  // index 0: the null tag
}

CArchive::~CArchive() {
  // Free in reverse order of creation: owners were created before what they own.
  while (!m_created.empty()) m_created.pop_back();
}

void CArchive::Fail(int cause) const { AfxThrowArchiveException(cause, m_file.GetFilePath()); }

void CArchive::CheckAvailable(ULONGLONG count) const {
  if (count > BytesRemaining()) Fail(CArchiveException::endOfFile);
}

void CArchive::FillBuffer() {
  std::size_t left = m_buffer.size() - m_bufferPos;
  if (left > 0) std::memmove(m_buffer.data(), m_buffer.data() + m_bufferPos, left);
  m_buffer.resize(kBufferSize);
  UINT got = m_file.Read(m_buffer.data() + left, static_cast<UINT>(kBufferSize - left));
  m_buffer.resize(left + got);
  m_bufferPos = 0;
}

void CArchive::Read(void* buffer, std::size_t count) {
  CheckAvailable(count);
  auto* out = static_cast<BYTE*>(buffer);
  while (count > 0) {
    if (m_bufferPos == m_buffer.size()) {
      FillBuffer();
      if (m_buffer.empty()) Fail(CArchiveException::endOfFile);  // the file shrank under us
    }
    std::size_t n = std::min(count, m_buffer.size() - m_bufferPos);
    std::memcpy(out, m_buffer.data() + m_bufferPos, n);
    m_bufferPos += n;
    m_position += n;
    out += n;
    count -= n;
  }
}

std::vector<BYTE> CArchive::ReadBytes(std::size_t count) {
  CheckAvailable(count);
  std::vector<BYTE> out(count);
  if (count) Read(out.data(), count);
  return out;
}

BYTE CArchive::ReadByte() {
  BYTE b;
  Read(&b, 1);
  return b;
}

WORD CArchive::ReadWord() {
  BYTE b[2];
  Read(b, 2);
  return static_cast<WORD>(b[0] | (b[1] << 8));
}

DWORD CArchive::ReadDword() {
  BYTE b[4];
  Read(b, 4);
  return static_cast<DWORD>(b[0]) | (static_cast<DWORD>(b[1]) << 8) | (static_cast<DWORD>(b[2]) << 16) |
         (static_cast<DWORD>(b[3]) << 24);
}

float CArchive::ReadFloat() { return std::bit_cast<float>(ReadDword()); }

double CArchive::ReadDouble() {
  std::uint64_t lo = ReadDword();
  std::uint64_t hi = ReadDword();
  return std::bit_cast<double>(lo | (hi << 32));
}

CRect CArchive::ReadRect() {
  CRect r;
  r.left = ReadLong();
  r.top = ReadLong();
  r.right = ReadLong();
  r.bottom = ReadLong();
  return r;
}

CPoint CArchive::ReadPoint() {
  CPoint p;
  p.x = ReadLong();
  p.y = ReadLong();
  return p;
}

CSize CArchive::ReadSize() {
  CSize s;
  s.cx = ReadLong();
  s.cy = ReadLong();
  return s;
}

CString CArchive::ReadString() {
  // Length forms: BYTE n (< 0xFF); 0xFF WORD n (< 0xFFFE); 0xFF 0xFFFF DWORD n.
  // 0xFF 0xFFFE marks a wide string, whose length follows again in one of those forms.
  auto readLength = [this](bool* wide) -> DWORD {
    BYTE b = ReadByte();
    if (b < 0xFF) return b;
    WORD w = ReadWord();
    if (w == 0xFFFE && wide) {
      *wide = true;
      return 0;
    }
    if (w < 0xFFFF) return w;
    return ReadDword();
  };
  bool wide = false;
  DWORD length = readLength(&wide);
  if (wide) {
    length = readLength(nullptr);
    if (length == 0xFFFE) Fail(CArchiveException::genericException);  // a second wide marker
    CheckAvailable(static_cast<ULONGLONG>(length) * 2);
    std::vector<BYTE> raw = ReadBytes(static_cast<std::size_t>(length) * 2);
    std::u16string text(length, u'\0');
    for (DWORD i = 0; i < length; ++i) text[i] = static_cast<char16_t>(raw[2 * i] | (raw[2 * i + 1] << 8));
    return CString(tvn::codepage::FromUtf16(text));
  }
  CheckAvailable(length);
  std::string text(length, '\0');
  if (length) Read(text.data(), length);
  return CString(std::move(text));
}

DWORD CArchive::ReadCount() {
  WORD w = ReadWord();
  if (w != 0xFFFF) return w;
  return ReadDword();
}

void CArchive::ReadStringArray(CStringArray& out) {
  DWORD count = ReadCount();
  CheckAvailable(count);  // every string takes at least its length byte
  out.RemoveAll();
  out.Reserve(count);
  for (DWORD i = 0; i < count; ++i) out.Add(ReadString());
}

void CArchive::ReadByteArray(CByteArray& out) {
  DWORD count = ReadCount();
  std::vector<BYTE> bytes = ReadBytes(count);
  out.RemoveAll();
  out.Reserve(count);
  for (BYTE b : bytes) out.Add(b);
}

CArchive::ClassTag CArchive::ReadTag() {
  WORD w = ReadWord();
  if (w == kBigObjectTag) return {ReadDword(), false};
  // Move bit 15 to bit 31.
  DWORD tag = (static_cast<DWORD>(w & kClassTag) << 16) | (w & ~kClassTag);
  return {tag, w == kNewClassTag};
}

std::size_t CArchive::AddEntry(LoadEntry entry) {
  m_loaded.push_back(entry);
  return m_loaded.size() - 1;
}

std::size_t CArchive::ReadClassPart(const ClassTag& tag, const CRuntimeClass* expected) {
  std::size_t index;
  if (tag.newClass) {
    WORD schema = ReadWord();
    WORD nameLength = ReadWord();
    if (nameLength > kMaxClassNameLength) Fail(CArchiveException::badClass);
    CheckAvailable(nameLength);
    char name[kMaxClassNameLength + 1] = {};
    Read(name, nameLength);
    const CRuntimeClass* cls = CRuntimeClass::FromName(std::string_view(name, nameLength));
    if (!cls) Fail(CArchiveException::badClass);
    if (schema != cls->GetSchema() && !cls->IsVersionable()) Fail(CArchiveException::badSchema);
    index = AddEntry(LoadEntry{cls, schema, nullptr});
  } else {
    DWORD classIndex = tag.tag & ~kBigClassTag;
    if (classIndex == 0 || classIndex >= m_loaded.size() || !m_loaded[classIndex].cls)
      Fail(CArchiveException::badIndex);
    index = classIndex;
  }
  if (expected && !m_loaded[index].cls->IsDerivedFrom(expected)) Fail(CArchiveException::badClass);
  return index;
}

CObject* CArchive::ReadObject(const CRuntimeClass* expected) {
  ClassTag tag = ReadTag();
  if (tag.tag == kNullTag) return nullptr;
  if (!(tag.tag & kBigClassTag)) {
    // A back-reference to an object read earlier.
    if (tag.tag >= m_loaded.size() || !m_loaded[tag.tag].obj) Fail(CArchiveException::badIndex);
    CObject* obj = m_loaded[tag.tag].obj;
    if (expected && !obj->IsKindOf(expected)) Fail(CArchiveException::badClass);
    return obj;
  }
  std::size_t classIndex = ReadClassPart(tag, expected);
  if (m_reading.size() >= kMaxNesting) Fail(CArchiveException::genericException);
  const LoadEntry classEntry = m_loaded[classIndex];
  std::unique_ptr<CObject> created;
  try {
    created = classEntry.cls->CreateObject();
  } catch (const std::bad_alloc&) {
    throw CMemoryException();
  }
  if (!created) Fail(CArchiveException::badClass);  // an abstract class named in the stream
  CObject* obj = created.get();
  m_createdIndex.emplace(obj, m_created.size());
  m_created.push_back(std::move(created));
  AddEntry(LoadEntry{nullptr, 0, obj});

  UINT savedSchema = m_objectSchema;
  m_objectSchema = classEntry.schema;
  m_reading.push_back(obj);
  try {
    obj->Serialize(*this);
  } catch (...) {
    m_reading.pop_back();
    m_objectSchema = savedSchema;
    throw;
  }
  m_reading.pop_back();
  m_objectSchema = savedSchema;
  return obj;
}

std::unique_ptr<CObject> CArchive::Adopt(CObject* obj) {
  auto it = m_createdIndex.find(obj);
  if (it == m_createdIndex.end() || std::find(m_reading.begin(), m_reading.end(), obj) != m_reading.end())
    Fail(CArchiveException::badClass);
  std::unique_ptr<CObject> owned = std::move(m_created[it->second]);
  m_createdIndex.erase(it);
  return owned;
}

const CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* expected, UINT* schema) {
  ClassTag tag = ReadTag();
  if (!(tag.tag & kBigClassTag)) Fail(CArchiveException::badIndex);  // an object tag where a class belongs
  std::size_t index = ReadClassPart(tag, expected);
  m_objectSchema = m_loaded[index].schema;
  if (schema) *schema = m_loaded[index].schema;
  return m_loaded[index].cls;
}

UINT CArchive::GetObjectSchema() {
  UINT schema = m_objectSchema;
  m_objectSchema = 0xFFFFFFFFu;
  return schema;
}

std::vector<std::unique_ptr<CObject>> CArchive::ReleaseUnadopted() {
  std::vector<std::unique_ptr<CObject>> out;
  for (auto& obj : m_created) {
    if (obj) out.push_back(std::move(obj));
  }
  m_created.clear();
  m_createdIndex.clear();
  return out;
}
