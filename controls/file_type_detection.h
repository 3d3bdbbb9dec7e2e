// Detecting a rich-text file's document type from its first bytes, or its name when it is empty.
#pragma once

#include "platform/base/cstring.h"
#include "platform/base/exceptions.h"
#include "platform/base/win_types.h"

class CConverterRegistry;
class CDataFile;
class CFile;
class IPreloadCache;

// Where rich-text files are read from: the packed data file and the
// pre-load cache before the disk, and the converters present.
struct RichTextFiles {
  CDataFile* dataFile = nullptr;
  IPreloadCache* cache = nullptr;
  const CConverterRegistry* converters = nullptr;
};

// The type code (DocType) of the file, or -1 when it cannot be opened (error says why).
int GetDocTypeFromFile(const CString& path, CFileException& error, const RichTextFiles& files);

// Whether the file starts with the pattern; a failing read is no match.
BOOL FileStartsWith(CFile& file, const void* pattern, UINT count);

// Whether the file is a compound file with a summary-information stream.
BOOL HasSummaryStream(const CString& path, const RichTextFiles& files);
