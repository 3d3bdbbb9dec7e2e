// CEffectData: stored form, old three-byte form and the files it needs ahead.
#include "page/effect_data.h"

#include "model/archive.h"
#include "model/path_helpers.h"

IMPLEMENT_SERIAL(CEffectData, CObject, VERSIONABLE_SCHEMA | 3)

namespace {
constexpr UINT kSecondParameterSchema = 3;
}  // namespace

void CEffectData::Serialize(CArchive& ar) {
  UINT schema = 0;
  ar.ReadClass(RUNTIME_CLASS(CEffectData), &schema);
  m_category = ar.ReadByte();
  m_variant = ar.ReadByte();
  m_blockSize = ar.ReadByte();
  m_stepDelay = ar.ReadByte();
  m_flags = ar.ReadDword();
  m_parameter = ar.ReadString();
  if (schema >= kSecondParameterSchema) m_secondParameter = ar.ReadString();
}

void CEffectData::LoadOldForm(CArchive& ar, DWORD displayFlags) {
  m_category = 1;
  m_variant = ar.ReadByte();
  m_blockSize = ar.ReadByte();
  m_stepDelay = ar.ReadByte();
  m_flags = displayFlags;
}

int CEffectData::AddPreloadFiles(CStringArray& files, BOOL forImages) const {
  if ((m_category != 3 && m_category != 9) || m_parameter.IsEmpty()) return 0;
  CString name = m_parameter;
  if (m_category == 3 && forImages == 1) ReplaceExtension(name, ".GIF");
  files.Add(name);
  return 1;
}
