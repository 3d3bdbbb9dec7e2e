// Windows metafiles: reading the placeable and plain forms, and playing them into a rectangle.
#pragma once

#include <memory>
#include <vector>

#include "platform/base/cstring.h"
#include "platform/sys/file.h"
#include "platform/base/geometry.h"
#include "platform/base/win_types.h"

class CDC;
struct ImageEnvironment;

// The records of one metafile, from its 18-byte header on.
class CMetaFile {
 public:
  static constexpr DWORD kHeaderBytes = 18;

  // FALSE when the bytes hold no complete header.
  static std::shared_ptr<const CMetaFile> FromBytes(std::vector<BYTE> bytes);

  WORD Type() const { return m_type; }
  WORD HeaderWords() const { return m_headerWords; }
  WORD ObjectCount() const { return m_objects; }
  const std::vector<BYTE>& Bytes() const { return m_bytes; }

 private:
  std::vector<BYTE> m_bytes;
  WORD m_type = 0;
  WORD m_headerWords = 9;
  WORD m_objects = 0;
};

// The metafile "handle" the pictures keep.
using MetaFileHandle = std::shared_ptr<const CMetaFile>;

// Reads metafiles from disk, the pre-load cache or the packed data file, and
// keeps the placeable header of the last one read.
class CMetaFilePicture {
 public:
  static constexpr DWORD kPlaceableKey = 0x9AC6CDD7;
  static constexpr DWORD kPlaceableBytes = 22;

  explicit CMetaFilePicture(const ImageEnvironment& environment) : m_env(environment) {}

  // Opens the name through the data memory file and reads it; null when the
  // file cannot be opened. box gets the bounding box of a placeable file.
  MetaFileHandle Load(const CString& name, CRect& box);
  // The same from an open file positioned at its start.
  MetaFileHandle Read(CFile& file, CRect& box);

  // Plays the metafile into rect; the window is the bounding box when one is
  // given (its right and bottom as the extent), else rect itself.
  void Draw(CDC* dc, const MetaFileHandle& metaFile, const CRect& rect, const CRect& pictureRect) const;
  static void Delete(MetaFileHandle& metaFile) { metaFile.reset(); }

  // The placeable header's bounding box of the last file read.
  const CRect& BoundingBox() const { return m_box; }
  WORD UnitsPerInch() const { return m_unitsPerInch; }

 private:
  void Message(UINT id) const;

  const ImageEnvironment& m_env;
  CRect m_box;
  WORD m_unitsPerInch = 0;
};

// Maps rect onto the page as a metafile's window (see CMetaFilePicture::Draw)
// and plays the records; FALSE when playback met a damaged record.
BOOL PlayMetaFileInto(CDC& dc, const CMetaFile& metaFile, const CRect& rect, const CRect& pictureRect);

// Plays the records onto the context as it is set up; FALSE when a record's
// size is 0, too small or reaches past the end (playback stops there).
// Records this player does not know are skipped by their size.
BOOL PlayMetaFileRecords(CDC& dc, const CMetaFile& metaFile);
