// CArchive: the reader and writer of the object-serialisation stream that course files and packed data file directories are.
#pragma once

#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "platform/base/collections.h"
#include "platform/base/exceptions.h"
#include "platform/sys/file.h"
#include "platform/base/geometry.h"
#include "platform/base/object.h"

// Reads a little-endian stream of primitive values, length-prefixed strings,
// counts and object references with class records. Every read either returns
// a value or throws CArchiveException with its cause; nothing is allocated for
// a length or count before the bytes it needs are known to be there.
//
// Ownership: objects created while reading belong to the archive until a
// container adopts them (Adopt, ReadOwned). An object can be adopted once and
// never while it is still being read; objects nobody adopted are freed with
// the archive unless ReleaseUnadopted hands them on.
//
// A storing archive lays values down by the same rules and keeps them until
// Close writes them to the file at once, so a store that fails part-way
// leaves the file untouched. Reading from a storing archive fails with
// writeOnly, writing to a loading one with readOnly.
class CVariableContext;

class CArchive {
 public:
  enum Mode { store = 0, load = 1 };
  static constexpr int kDefaultCourseVersion = 5;
  // The most entries ReadOwnedList makes room for before reading them.
  static constexpr DWORD kListReserve = 256;

  // Reads from the file's current position to its end.
  explicit CArchive(CFile& file);
  // load as above; store writes at the file's current position on Close.
  CArchive(CFile& file, Mode mode);
  ~CArchive();
  CArchive(const CArchive&) = delete;
  CArchive& operator=(const CArchive&) = delete;

  bool IsLoading() const { return !m_storing; }
  bool IsStoring() const { return m_storing; }
  CFile* GetFile() const { return &m_file; }

  // The course file version (3 to 5) that several classes test.
  int GetCourseVersion() const { return m_courseVersion; }
  void SetCourseVersion(int version) { m_courseVersion = version; }
  // The variables of the course being read, for the few readers that look
  // one up by name; null when the reader has none.
  CVariableContext* GetVariableContext() const { return m_pVariables; }
  void SetVariableContext(CVariableContext* variables) { m_pVariables = variables; }

  // Primitive values. The common case, a value wholly inside the buffer, is
  // decoded in place; the rest goes through Read.
  BYTE ReadByte() {
    if (m_cur == m_limit) return ReadByteSlow();
    return *m_cur++;
  }
  WORD ReadWord() {
    if (m_limit - m_cur < 2) return ReadWordSlow();
    WORD w = static_cast<WORD>(m_cur[0] | (m_cur[1] << 8));
    m_cur += 2;
    return w;
  }
  DWORD ReadDword() {
    if (m_limit - m_cur < 4) return ReadDwordSlow();
    DWORD d = static_cast<DWORD>(m_cur[0]) | (static_cast<DWORD>(m_cur[1]) << 8) |
              (static_cast<DWORD>(m_cur[2]) << 16) | (static_cast<DWORD>(m_cur[3]) << 24);
    m_cur += 4;
    return d;
  }
  LONG ReadLong() { return static_cast<LONG>(ReadDword()); }
  short ReadShort() { return static_cast<short>(ReadWord()); }
  float ReadFloat();
  double ReadDouble();
  CRect ReadRect();
  CPoint ReadPoint();
  CSize ReadSize();
  // Exactly count bytes, or cause endOfFile.
  void Read(void* buffer, std::size_t count);
  std::vector<BYTE> ReadBytes(std::size_t count);

  // A string in any of its length forms, wide strings converted to code page 1252.
  CString ReadString();
  // The same into out, reusing its storage; out is untouched when the read fails.
  void ReadString(CString& out);
  // A string that is not kept: the same checks and failures as ReadString, no copy.
  void SkipString();
  // An element count: WORD, or 0xFFFF and a DWORD.
  DWORD ReadCount();
  void ReadStringArray(CStringArray& out);
  void ReadByteArray(CByteArray& out);

  // Reads an object reference: null, a back-reference, or a new object of
  // expected or a class derived from it. The object stays the archive's
  // until adopted.
  CObject* ReadObject(const CRuntimeClass* expected);
  template <class T>
  T* ReadObjectOf() {
    return static_cast<T*>(ReadObject(T::GetThisClass()));
  }

  // Takes over an object this archive created; cause badClass when it was
  // already adopted, is still being read or did not come from this archive.
  std::unique_ptr<CObject> Adopt(CObject* obj);
  // ReadObject and Adopt in one: null stays null.
  template <class T>
  std::unique_ptr<T> ReadOwned() {
    T* obj = ReadObjectOf<T>();
    if (!obj) return nullptr;
    Adopt(obj).release();
    return std::unique_ptr<T>(obj);
  }
  // A counted list of object references, each adopted; null entries are dropped.
  template <class T>
  void ReadOwnedList(std::vector<std::unique_ptr<T>>& out) {
    DWORD count = ReadCount();
    CheckAvailable(static_cast<ULONGLONG>(count) * 2);
    // Room for the usual short list at once; a long one grows as its entries arrive.
    if (out.empty()) out.reserve(std::min<DWORD>(count, kListReserve));
    for (DWORD i = 0; i < count; ++i) {
      if (auto obj = ReadOwned<T>()) out.push_back(std::move(obj));
    }
  }

  // A class reference inside a field list (no object index is consumed for
  // an object). Sets the object schema to the stored schema of that class.
  const CRuntimeClass* ReadClass(const CRuntimeClass* expected, UINT* schema = nullptr);
  // The same where a null tag stands for no class: null then.
  const CRuntimeClass* ReadClassOrNull(const CRuntimeClass* expected, UINT* schema = nullptr);
  // A new object of a class read from the stream; fails with badClass for a
  // class that cannot be made by name, throws CMemoryException without memory.
  std::unique_ptr<CObject> CreateObject(const CRuntimeClass* cls) const;

  // The stored schema of the object being read; a second request within the
  // same object gives 0xFFFFFFFF.
  UINT GetObjectSchema();
  void SetObjectSchema(UINT schema) { m_objectSchema = schema; }

  // --- storing ---
  void WriteByte(BYTE v);
  void WriteWord(WORD v);
  void WriteDword(DWORD v);
  void WriteLong(LONG v) { WriteDword(static_cast<DWORD>(v)); }
  void WriteShort(short v) { WriteWord(static_cast<WORD>(v)); }
  void WriteFloat(float v);
  void WriteDouble(double v);
  void WriteRect(const CRect& r);
  void WritePoint(CPoint p);
  void WriteSize(CSize s);
  void Write(const void* buffer, std::size_t count);
  // The shortest length form that holds the string.
  void WriteString(const CString& text);
  void WriteCount(DWORD count);
  void WriteStringArray(const CStringArray& strings);
  void WriteByteArray(const CByteArray& bytes);
  // Null, a back-reference to an object written before, or the object's
  // class (a class record the first time) and its own Serialize.
  void WriteObject(CObject* obj);
  // A class reference inside a field list: a class record the first time
  // the class occurs, its class tag after that; null writes the null tag.
  void WriteClass(const CRuntimeClass* cls);
  // Writes what was stored to the file.
  void Close();

  // Objects that were read but never adopted, for an owner that keeps them alive.
  std::vector<std::unique_ptr<CObject>> ReleaseUnadopted();

  ULONGLONG BytesRemaining() const { return m_end - Position(); }
  // Throws endOfFile unless count more bytes are there.
  void CheckAvailable(ULONGLONG count) const {
    if (m_storing) Fail(CArchiveException::writeOnly);
    if (count > BytesRemaining()) Fail(CArchiveException::endOfFile);
  }
  [[noreturn]] void Fail(int cause) const;

 private:
  // A class read, or an object created, in stream order. An object entry
  // owns its object until it is adopted.
  struct LoadEntry {
    const CRuntimeClass* cls = nullptr;  // set for class entries
    CObject* obj = nullptr;              // set for object entries
    std::unique_ptr<CObject> owned;      // obj while this archive owns it
    UINT schema = 0;                     // stored schema of a class entry
    bool reading = false;                // the object's fields are being read
  };
  static constexpr std::size_t kNoSlot = static_cast<std::size_t>(-1);
  // The stream's tags, read and written alike.
  static constexpr WORD kNullTag = 0;
  static constexpr WORD kNewClassTag = 0xFFFF;
  static constexpr WORD kClassTag = 0x8000;
  static constexpr WORD kBigObjectTag = 0x7FFF;
  static constexpr DWORD kBigClassTag = 0x80000000u;
  static constexpr WORD kMaxClassNameLength = 63;
  struct ClassTag {
    DWORD tag;       // widened tag
    bool newClass;   // the 16-bit tag was 0xFFFF
  };

  ClassTag ReadTag();
  const CRuntimeClass* ReadClassFromTag(const ClassTag& tag, const CRuntimeClass* expected, UINT* schema);
  // Reads the class part of a tag known to name a class; gives the load entry index.
  std::size_t ReadClassPart(const ClassTag& tag, const CRuntimeClass* expected);
  std::size_t AddEntry(LoadEntry entry);
  // The load entry of an object this archive created and still owns, or kNoSlot.
  std::size_t FindSlot(const CObject* obj) const;
  void FillBuffer();
  BYTE ReadByteSlow();
  WORD ReadWordSlow();
  DWORD ReadDwordSlow();
  // Reads a string's length form; wide is set (and 0 given) for the wide marker when wide is not null.
  DWORD ReadStringLength(bool* wide);
  // The text of a string whose length form has been read.
  CString ReadStringText(DWORD length, bool wide);
  // Reads a wide string's own length after its marker.
  DWORD ReadWideLength();
  ULONGLONG Position() const { return m_bufferStart + static_cast<ULONGLONG>(m_cur - m_buffer.data()); }
  void CheckStoring() const {
    if (!m_storing) Fail(CArchiveException::readOnly);
  }
  // The tag of a class or object index, in the 16-bit form while it fits.
  void WriteTag(DWORD index, bool isClass);
  void WriteClassPart(const CRuntimeClass* cls);

  CFile& m_file;
  ULONGLONG m_bufferStart = 0;  // stream offset of m_buffer[0]
  ULONGLONG m_end = 0;          // stream offset of the end of the file
  // Never holds bytes past m_end, so a read inside it needs no other check.
  std::vector<BYTE> m_buffer;
  const BYTE* m_cur = nullptr;    // next unread byte of m_buffer
  const BYTE* m_limit = nullptr;  // end of m_buffer's filled part
  int m_courseVersion = kDefaultCourseVersion;
  CVariableContext* m_pVariables = nullptr;  // not owned
  UINT m_objectSchema = 0xFFFFFFFFu;

  std::vector<LoadEntry> m_loaded;   // index 0 is the null tag
  std::size_t m_nesting = 0;         // objects whose fields are being read
  std::size_t m_lastSlot = kNoSlot;  // entry of the object ReadObject gave last, for Adopt

  bool m_storing = false;
  std::vector<BYTE> m_stored;  // what a storing archive has laid down
  DWORD m_nextIndex = 1;       // the next class or object index written
  std::map<const CRuntimeClass*, DWORD> m_storedClasses;
  std::map<const CObject*, DWORD> m_storedObjects;
};

// Primitive reads in the framework's operator form.
inline CArchive& operator>>(CArchive& ar, BYTE& v) { v = ar.ReadByte(); return ar; }
inline CArchive& operator>>(CArchive& ar, WORD& v) { v = ar.ReadWord(); return ar; }
inline CArchive& operator>>(CArchive& ar, DWORD& v) { v = ar.ReadDword(); return ar; }
inline CArchive& operator>>(CArchive& ar, LONG& v) { v = ar.ReadLong(); return ar; }
inline CArchive& operator>>(CArchive& ar, short& v) { v = ar.ReadShort(); return ar; }
inline CArchive& operator>>(CArchive& ar, float& v) { v = ar.ReadFloat(); return ar; }
inline CArchive& operator>>(CArchive& ar, double& v) { v = ar.ReadDouble(); return ar; }
inline CArchive& operator>>(CArchive& ar, CRect& v) { v = ar.ReadRect(); return ar; }
inline CArchive& operator>>(CArchive& ar, CPoint& v) { v = ar.ReadPoint(); return ar; }
inline CArchive& operator>>(CArchive& ar, CSize& v) { v = ar.ReadSize(); return ar; }
inline CArchive& operator>>(CArchive& ar, CString& v) { ar.ReadString(v); return ar; }

// Primitive writes in the framework's operator form.
inline CArchive& operator<<(CArchive& ar, BYTE v) { ar.WriteByte(v); return ar; }
inline CArchive& operator<<(CArchive& ar, WORD v) { ar.WriteWord(v); return ar; }
inline CArchive& operator<<(CArchive& ar, DWORD v) { ar.WriteDword(v); return ar; }
inline CArchive& operator<<(CArchive& ar, LONG v) { ar.WriteLong(v); return ar; }
inline CArchive& operator<<(CArchive& ar, short v) { ar.WriteShort(v); return ar; }
inline CArchive& operator<<(CArchive& ar, float v) { ar.WriteFloat(v); return ar; }
inline CArchive& operator<<(CArchive& ar, double v) { ar.WriteDouble(v); return ar; }
inline CArchive& operator<<(CArchive& ar, const CRect& v) { ar.WriteRect(v); return ar; }
inline CArchive& operator<<(CArchive& ar, CPoint v) { ar.WritePoint(v); return ar; }
inline CArchive& operator<<(CArchive& ar, CSize v) { ar.WriteSize(v); return ar; }
inline CArchive& operator<<(CArchive& ar, const CString& v) { ar.WriteString(v); return ar; }
