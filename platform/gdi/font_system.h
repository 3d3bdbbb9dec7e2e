// The process's font database: which styles a family has, and fonts added from memory for this process only.
#pragma once

#include <vector>

#include "platform/base/cstring.h"
#include "platform/base/win_types.h"

namespace tvn::fonts {

class IFontSystem {
 public:
  virtual ~IFontSystem() = default;
  // The style names the system reports for a family; empty when it has no such family.
  virtual std::vector<CString> StylesOf(const CString& family) = 0;
  // Makes a TrueType or OpenType font file held in memory available to this
  // process; an id for RemoveFont, or -1 when the bytes are no usable font.
  virtual int AddFont(const std::vector<BYTE>& fontFile) = 0;
  // Takes a font added with AddFont away again; false for an unknown id.
  virtual bool RemoveFont(int id) = 0;
};

// The application fonts of Qt's font database. Needs the GUI application object.
class QtFontSystem final : public IFontSystem {
 public:
  std::vector<CString> StylesOf(const CString& family) override;
  int AddFont(const std::vector<BYTE>& fontFile) override;
  bool RemoveFont(int id) override;
};

}  // namespace tvn::fonts
