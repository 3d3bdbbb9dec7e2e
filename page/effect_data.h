// CEffectData: how a display object comes onto the page (a transition).
#pragma once

#include "platform/base/collections.h"
#include "platform/base/cstring.h"
#include "platform/base/object.h"

class CArchive;

// Categories: 0 none; 1 block wipes and blinds; 2 colour blend; 3 reveal by
// a mask image; 4 push; 5 zoom; 6 slide the object in; 7 the outside 3-D
// effects library; 8 a course's own effect library; 9 a media file played
// over the area.
class CEffectData : public CObject {
  DECLARE_SERIAL(CEffectData)

 public:
  // Run on the calling thread (the default); cleared, the effect gets a thread of its own.
  static constexpr DWORD kRunInline = 0x4000;
  // Category 9: play over the view's whole client area.
  static constexpr DWORD kWholeClientArea = 0x40000;
  static constexpr BYTE kDefaultBlockSize = 2;
  static constexpr BYTE kDefaultStepDelay = 5;

  CEffectData() = default;
  CEffectData(const CEffectData&) = default;
  CEffectData& operator=(const CEffectData&) = default;
  void CopyFrom(const CEffectData& other) { *this = other; }

  // Reads the class record, then the fields; the second parameter only from schema 3.
  void Serialize(CArchive& ar) override;
  // The three bytes that old course files (version 3 and before) keep in
  // place of a transition: always a block wipe, flags taken from the owner's
  // display flags, parameters left as they are.
  void LoadOldForm(CArchive& ar, DWORD displayFlags);

  // Anything to show: a non-zero category, except category 1 with variant 0.
  bool HasEffect() const { return m_category != 0 && !(m_category == 1 && m_variant == 0); }
  // Categories 3 and 9 name a file to load ahead; for images a mask's
  // extension becomes ".GIF". 1 when the parameter was added.
  int AddPreloadFiles(CStringArray& files, BOOL forImages) const;

  BYTE GetCategory() const { return m_category; }
  BYTE GetVariant() const { return m_variant; }
  BYTE GetBlockSize() const { return m_blockSize; }
  BYTE GetStepDelay() const { return m_stepDelay; }
  DWORD GetFlags() const { return m_flags; }
  const CString& GetParameter() const { return m_parameter; }
  const CString& GetSecondParameter() const { return m_secondParameter; }
  bool RunsInline() const { return (m_flags & kRunInline) != 0; }

  void SetCategory(BYTE category) { m_category = category; }
  void SetVariant(BYTE variant) { m_variant = variant; }
  void SetBlockSize(BYTE size) { m_blockSize = size; }
  void SetStepDelay(BYTE delay) { m_stepDelay = delay; }
  void SetFlags(DWORD flags) { m_flags = flags; }
  void SetParameter(const CString& parameter) { m_parameter = parameter; }
  void SetSecondParameter(const CString& parameter) { m_secondParameter = parameter; }

 private:
  BYTE m_category = 0;
  BYTE m_variant = 0;
  BYTE m_blockSize = kDefaultBlockSize;  // pixels per step of the block routines
  BYTE m_stepDelay = kDefaultStepDelay;  // milliseconds between steps
  DWORD m_flags = kRunInline;
  CString m_parameter;  // mask image (3), library and procedure (8), media file (9)
  CString m_secondParameter;
};
