// Reading primitive values, strings, counts and object references from an archive stream.
#include "model/archive.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/base/codepage.h"

namespace {

constexpr std::size_t kBufferSize = 64 * 1024;
// Objects nest inside objects; a damaged file must not nest deep enough to exhaust the stack.
constexpr std::size_t kMaxNesting = 256;
// Load entries made room for at the start: one per this many bytes of the
// stream (courses average more per object), at most kMaxEntryReserve.
constexpr ULONGLONG kBytesPerEntryReserved = 32;
constexpr ULONGLONG kMaxEntryReserve = 1 << 16;

}  // namespace

CArchive::CArchive(CFile& file) : CArchive(file, load) {}

CArchive::CArchive(CFile& file, Mode mode) : m_file(file) {
  m_bufferStart = file.GetPosition();
  if (mode == store) {
    m_storing = true;
    // Nothing is read: the read buffer stays empty and every read fails.
    m_end = m_bufferStart;
    return;
  }
  ULONGLONG length = file.GetLength();
  m_end = std::max(length, m_bufferStart);
  m_loaded.reserve(static_cast<std::size_t>(std::min((m_end - m_bufferStart) / kBytesPerEntryReserved, kMaxEntryReserve)) + 1);
  m_loaded.push_back(LoadEntry{});  // index 0: the null tag
}

CArchive::~CArchive() {
  // Free in reverse order of creation: owners were created before what they own.
  while (!m_loaded.empty()) m_loaded.pop_back();
}

void CArchive::Fail(int cause) const { AfxThrowArchiveException(cause, m_file.GetFilePath()); }

void CArchive::FillBuffer() {
  const ULONGLONG position = Position();
  const std::size_t left = static_cast<std::size_t>(m_limit - m_cur);
  const std::size_t offset = static_cast<std::size_t>(m_cur - m_buffer.data());
  if (m_buffer.size() < kBufferSize) m_buffer.resize(kBufferSize);
  if (left > 0) std::memmove(m_buffer.data(), m_buffer.data() + offset, left);
  // Bytes past the end the archive started with are never read.
  const ULONGLONG wanted = std::min<ULONGLONG>(kBufferSize - left, m_end - position - left);
  UINT got = wanted ? m_file.Read(m_buffer.data() + left, static_cast<UINT>(wanted)) : 0;
  got = std::min<UINT>(got, static_cast<UINT>(wanted));
  m_bufferStart = position;
  m_cur = m_buffer.data();
  m_limit = m_cur + left + got;
}

void CArchive::Read(void* buffer, std::size_t count) {
  CheckAvailable(count);
  auto* out = static_cast<BYTE*>(buffer);
  while (count > 0) {
    if (m_cur == m_limit) {
      FillBuffer();
      if (m_cur == m_limit) Fail(CArchiveException::endOfFile);  // the file shrank under us
    }
    std::size_t n = std::min(count, static_cast<std::size_t>(m_limit - m_cur));
    std::memcpy(out, m_cur, n);
    m_cur += n;
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

BYTE CArchive::ReadByteSlow() {
  BYTE b;
  Read(&b, 1);
  return b;
}

WORD CArchive::ReadWordSlow() {
  BYTE b[2];
  Read(b, 2);
  return static_cast<WORD>(b[0] | (b[1] << 8));
}

DWORD CArchive::ReadDwordSlow() {
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

// Length forms: BYTE n (< 0xFF); 0xFF WORD n (< 0xFFFE); 0xFF 0xFFFF DWORD n.
// 0xFF 0xFFFE marks a wide string, whose length follows again in one of those forms.
DWORD CArchive::ReadStringLength(bool* wide) {
  BYTE b = ReadByte();
  if (b < 0xFF) return b;
  WORD w = ReadWord();
  if (w == 0xFFFE) {
    if (!wide) Fail(CArchiveException::genericException);  // a second wide marker
    *wide = true;
    return 0;
  }
  if (w < 0xFFFF) return w;
  return ReadDword();
}

DWORD CArchive::ReadWideLength() {
  // A length of 0xFFFE and more comes in the DWORD form.
  DWORD length = ReadStringLength(nullptr);
  CheckAvailable(static_cast<ULONGLONG>(length) * 2);
  return length;
}

CString CArchive::ReadString() {
  bool wide = false;
  DWORD length = ReadStringLength(&wide);
  return ReadStringText(length, wide);
}

CString CArchive::ReadStringText(DWORD length, bool wide) {
  if (wide) {
    length = ReadWideLength();
    std::vector<BYTE> raw = ReadBytes(static_cast<std::size_t>(length) * 2);
    std::u16string text(length, u'\0');
    for (DWORD i = 0; i < length; ++i) text[i] = static_cast<char16_t>(raw[2 * i] | (raw[2 * i + 1] << 8));
    return CString(tvn::codepage::FromUtf16(text));
  }
  if (static_cast<std::size_t>(m_limit - m_cur) >= length) {
    // The whole string is in the buffer: one copy straight into the result.
    CString text(reinterpret_cast<const char*>(m_cur), static_cast<int>(length));
    m_cur += length;
    return text;
  }
  CheckAvailable(length);
  std::string text(length, '\0');
  if (length) Read(text.data(), length);
  return CString(std::move(text));
}

void CArchive::ReadString(CString& out) {
  bool wide = false;
  DWORD length = ReadStringLength(&wide);
  if (!wide && static_cast<std::size_t>(m_limit - m_cur) >= length) {
    // The text is in the buffer: copied once, into out's own storage.
    out.Empty();
    out += std::string_view(reinterpret_cast<const char*>(m_cur), length);
    m_cur += length;
    return;
  }
  out = ReadStringText(length, wide);
}

void CArchive::SkipString() {
  bool wide = false;
  ULONGLONG bytes = ReadStringLength(&wide);
  if (wide) bytes = static_cast<ULONGLONG>(ReadWideLength()) * 2;
  CheckAvailable(bytes);
  while (bytes > 0) {
    if (m_cur == m_limit) {
      FillBuffer();
      if (m_cur == m_limit) Fail(CArchiveException::endOfFile);  // the file shrank under us
    }
    std::size_t n = static_cast<std::size_t>(std::min<ULONGLONG>(bytes, static_cast<ULONGLONG>(m_limit - m_cur)));
    m_cur += n;
    bytes -= n;
  }
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
  m_loaded.push_back(std::move(entry));
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
    index = AddEntry(LoadEntry{cls, nullptr, nullptr, schema, false});
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
    const LoadEntry& entry = m_loaded[tag.tag];
    CObject* obj = entry.obj;
    if (expected && !obj->IsKindOf(expected)) Fail(CArchiveException::badClass);
    m_lastSlot = tag.tag;
    return obj;
  }
  std::size_t classIndex = ReadClassPart(tag, expected);
  if (m_nesting >= kMaxNesting) Fail(CArchiveException::genericException);
  const CRuntimeClass* cls = m_loaded[classIndex].cls;
  const UINT schema = m_loaded[classIndex].schema;
  std::unique_ptr<CObject> created = CreateObject(cls);
  CObject* obj = created.get();
  const std::size_t slot = AddEntry(LoadEntry{nullptr, obj, std::move(created), 0, true});

  auto doneReading = [this, slot] { m_loaded[slot].reading = false; };
  UINT savedSchema = m_objectSchema;
  m_objectSchema = schema;
  ++m_nesting;
  try {
    obj->Serialize(*this);
  } catch (...) {
    --m_nesting;
    doneReading();
    m_objectSchema = savedSchema;
    throw;
  }
  --m_nesting;
  doneReading();
  m_objectSchema = savedSchema;
  m_lastSlot = slot;
  return obj;
}

std::unique_ptr<CObject> CArchive::CreateObject(const CRuntimeClass* cls) const {
  std::unique_ptr<CObject> created;
  try {
    created = cls->CreateObject();
  } catch (const std::bad_alloc&) {
    throw CMemoryException();
  }
  if (!created) Fail(CArchiveException::badClass);  // an abstract class named in the stream
  return created;
}

std::size_t CArchive::FindSlot(const CObject* obj) const {
  if (!obj) return kNoSlot;
  // Adopt nearly always takes the object ReadObject gave last; others are searched for.
  if (m_lastSlot < m_loaded.size() && m_loaded[m_lastSlot].owned.get() == obj) return m_lastSlot;
  for (std::size_t i = m_loaded.size(); i-- > 0;) {
    if (m_loaded[i].owned.get() == obj) return i;
  }
  return kNoSlot;
}

std::unique_ptr<CObject> CArchive::Adopt(CObject* obj) {
  const std::size_t slot = FindSlot(obj);
  if (slot == kNoSlot || m_loaded[slot].reading) Fail(CArchiveException::badClass);
  return std::move(m_loaded[slot].owned);
}

const CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* expected, UINT* schema) {
  return ReadClassFromTag(ReadTag(), expected, schema);
}

const CRuntimeClass* CArchive::ReadClassOrNull(const CRuntimeClass* expected, UINT* schema) {
  const ClassTag tag = ReadTag();
  if (tag.tag == kNullTag) return nullptr;
  return ReadClassFromTag(tag, expected, schema);
}

const CRuntimeClass* CArchive::ReadClassFromTag(const ClassTag& tag, const CRuntimeClass* expected, UINT* schema) {
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
  for (LoadEntry& entry : m_loaded) {
    if (entry.owned) out.push_back(std::move(entry.owned));
  }
  return out;
}
