// CMciTimeFormat: the time formats of MCI devices ("set ... time format"), and positions read and written in them.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/mm/mci_command.h"
#include "platform/base/win_types.h"

enum class MciTimeUnit { milliseconds, samples, bytes, frames, hms, msf, tmsf };

// Packed positions as MCI replies carry them in the colon forms: one byte a
// field, the first field lowest (tmsf: track | minute << 8 | second << 16 |
// frame << 24; msf: minute | second << 8 | frame << 16; hms: hour | minute <<
// 8 | second << 16). Reading takes one to the form's number of fields, each
// at most 255 (missing ones are 0); seconds stay below 60 and CD frames below 75.
bool ParseTmsf(std::string_view text, DWORD& packed);
std::string FormatTmsf(DWORD packed);
bool ParseMsf(std::string_view text, DWORD& packed);
std::string FormatMsf(DWORD packed);
bool ParseHms(std::string_view text, DWORD& packed);
std::string FormatHms(DWORD packed);

// A device keeps its position in its own units (mixer frames, milliseconds,
// video frames: the base rate per second) and shows it in the format chosen.
// Samples, bytes and frames are counted at rates the device sets (frames per
// second as a fraction, 30000/1001 for NTSC video). Track positions (tmsf)
// need a disc's track table: a device with one converts them itself.
class CMciTimeFormat {
 public:
  CMciTimeFormat(std::uint32_t baseRate, MciTimeUnit initial, std::initializer_list<MciTimeUnit> allowed);

  void SetRate(MciTimeUnit unit, std::uint32_t perSecond, std::uint32_t divisor = 1);
  // The unit counts in whole blocks of this many (bytes of whole samples):
  // the rate is then blocks a second.
  void SetBlock(MciTimeUnit unit, std::uint32_t size);
  // The medium's length in a unit as the medium itself counts it (a file's
  // own samples), beside its length in base units: that many units read as
  // the base length, and the base length shows as that many, so the end is
  // the same in every format whatever rounding lies between.
  void SetLength(MciTimeUnit unit, std::uint64_t units, std::uint64_t base);
  // A stretch of the medium counted at a rate of its own (the clips of a
  // sound whose sample rate changes part-way): its length in the unit and in
  // base units, and its units a second (0: the unit's rate).
  struct Part {
    std::uint64_t units = 0;
    std::uint64_t base = 0;
    std::uint32_t perSecond = 0;
  };
  // The length told part by part: each part's end is pinned as SetLength
  // pins the medium's, and a position inside a part counts at its rate.
  void SetParts(MciTimeUnit unit, std::vector<Part> parts);
  bool Allows(MciTimeUnit unit) const { return Allowed(unit); }
  MciTimeUnit Unit() const { return m_unit; }
  // The reply of "status ... time format".
  const char* Name() const;
  // "set ... time format NAME": the words of the set command; 0 or an MCI error.
  DWORD Set(const CMciCommand& command);

  // A position written in the current format, in base units; 0 or the MCI error.
  DWORD Parse(std::string_view text, std::uint64_t& base) const;
  std::string Format(std::uint64_t base) const;

 private:
  bool Allowed(MciTimeUnit unit) const;
  // Base units to and from units at perSecond / divisor a second.
  std::uint64_t ToBase(std::uint64_t units, std::uint32_t perSecond, std::uint32_t divisor) const;
  std::uint64_t FromBase(std::uint64_t base, std::uint32_t perSecond, std::uint32_t divisor) const;
  // A count of a counting unit (samples, bytes...) to base units and back, through its parts.
  std::uint64_t CountToBase(std::size_t unit, std::uint64_t value) const;
  std::uint64_t BaseToCount(std::size_t unit, std::uint64_t base) const;

  std::uint32_t m_baseRate;
  MciTimeUnit m_unit;
  unsigned m_allowed = 0;  // one bit per unit
  std::array<std::uint32_t, 7> m_perSecond{1000, 1000, 1000, 1000, 1000, 1000, 1000};
  std::array<std::uint32_t, 7> m_divisor{1, 1, 1, 1, 1, 1, 1};
  std::array<std::uint32_t, 7> m_block{1, 1, 1, 1, 1, 1, 1};
  std::array<std::vector<Part>, 7> m_parts{};  // none: no length set
};
