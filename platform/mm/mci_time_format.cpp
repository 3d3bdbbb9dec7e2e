// MCI time formats: their names, the colon forms and conversion from and to a device's own units.
#include "platform/mm/mci_time_format.h"

#include <algorithm>
#include <cstdio>

#include "platform/base/codepage.h"
#include "platform/mm/mci_errors.h"

namespace {

struct Named {
  const char* name;
  MciTimeUnit unit;
};

// Names "set ... time format" takes; the first of each unit is what status answers.
constexpr std::array kNames{
    Named{"milliseconds", MciTimeUnit::milliseconds}, Named{"ms", MciTimeUnit::milliseconds},
    Named{"samples", MciTimeUnit::samples},           Named{"bytes", MciTimeUnit::bytes},
    Named{"frames", MciTimeUnit::frames},             Named{"hms", MciTimeUnit::hms},
    Named{"msf", MciTimeUnit::msf},                   Named{"tmsf", MciTimeUnit::tmsf},
};

unsigned Bit(MciTimeUnit unit) { return 1u << static_cast<unsigned>(unit); }

// count fields of digits, "a:b:c"; fewer are allowed, none may be empty or above 255.
bool ParseFields(std::string_view text, std::size_t count, std::array<DWORD, 4>& fields) {
  fields = {};
  std::size_t field = 0;
  std::size_t digits = 0;
  for (char c : text) {
    if (c == ':') {
      if (digits == 0 || ++field >= count) return false;
      digits = 0;
    } else if (c >= '0' && c <= '9') {
      fields[field] = fields[field] * 10 + static_cast<DWORD>(c - '0');
      if (++digits > 3 || fields[field] > 255) return false;
    } else {
      return false;
    }
  }
  return digits > 0;
}

DWORD Pack(const std::array<DWORD, 4>& f) { return f[0] | (f[1] << 8) | (f[2] << 16) | (f[3] << 24); }
DWORD FieldOf(DWORD packed, int i) { return (packed >> (8 * i)) & 0xFF; }

std::string Colons(DWORD packed, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) {
    char part[8];
    std::snprintf(part, sizeof part, i == 0 ? "%02u" : ":%02u", static_cast<unsigned>(FieldOf(packed, i)));
    out += part;
  }
  return out;
}

}  // namespace

bool ParseTmsf(std::string_view text, DWORD& packed) {
  std::array<DWORD, 4> f;
  if (!ParseFields(text, 4, f) || f[2] > 59 || f[3] > 74) return false;
  packed = Pack(f);
  return true;
}

std::string FormatTmsf(DWORD packed) { return Colons(packed, 4); }

bool ParseMsf(std::string_view text, DWORD& packed) {
  std::array<DWORD, 4> f;
  if (!ParseFields(text, 3, f) || f[1] > 59 || f[2] > 74) return false;
  packed = Pack(f);
  return true;
}

std::string FormatMsf(DWORD packed) { return Colons(packed, 3); }

bool ParseHms(std::string_view text, DWORD& packed) {
  std::array<DWORD, 4> f;
  if (!ParseFields(text, 3, f) || f[1] > 59 || f[2] > 59) return false;
  packed = Pack(f);
  return true;
}

std::string FormatHms(DWORD packed) { return Colons(packed, 3); }

CMciTimeFormat::CMciTimeFormat(std::uint32_t baseRate, MciTimeUnit initial, std::initializer_list<MciTimeUnit> allowed)
    : m_baseRate(std::max<std::uint32_t>(baseRate, 1)), m_unit(initial) {
  m_allowed = Bit(initial);
  for (MciTimeUnit unit : allowed) m_allowed |= Bit(unit);
}

void CMciTimeFormat::SetRate(MciTimeUnit unit, std::uint32_t perSecond, std::uint32_t divisor) {
  if (perSecond == 0 || divisor == 0) return;
  m_perSecond[static_cast<std::size_t>(unit)] = perSecond;
  m_divisor[static_cast<std::size_t>(unit)] = divisor;
}

void CMciTimeFormat::SetBlock(MciTimeUnit unit, std::uint32_t size) {
  if (size > 0) m_block[static_cast<std::size_t>(unit)] = size;
}

void CMciTimeFormat::SetLength(MciTimeUnit unit, std::uint64_t units, std::uint64_t base) {
  SetParts(unit, {{units, base, 0}});
}

void CMciTimeFormat::SetParts(MciTimeUnit unit, std::vector<Part> parts) {
  // A length of no units sets none: the unit counts at its rate alone.
  if (std::all_of(parts.begin(), parts.end(), [](const Part& part) { return part.units == 0; })) parts.clear();
  m_parts[static_cast<std::size_t>(unit)] = std::move(parts);
}

bool CMciTimeFormat::Allowed(MciTimeUnit unit) const { return (m_allowed & Bit(unit)) != 0; }

const char* CMciTimeFormat::Name() const {
  for (const Named& n : kNames)
    if (n.unit == m_unit) return n.name;
  return "milliseconds";
}

DWORD CMciTimeFormat::Set(const CMciCommand& c) {
  const std::string* name = c.ValueAfter("format");
  if (!name) return MciError::kMissingParameter;
  for (const Named& n : kNames) {
    if (!tvn::codepage::EqualsNoCaseAscii(*name, n.name)) continue;
    if (!Allowed(n.unit)) return MciError::kBadTimeFormat;
    m_unit = n.unit;
    return MciError::kNone;
  }
  return MciError::kBadTimeFormat;
}

std::uint64_t CMciTimeFormat::ToBase(std::uint64_t units, std::uint32_t perSecond, std::uint32_t divisor) const {
  // Rounded up, so the base position lies inside the unit it came from.
  const unsigned __int128 n = static_cast<unsigned __int128>(units) * divisor * m_baseRate;
  return static_cast<std::uint64_t>((n + perSecond - 1) / perSecond);
}

std::uint64_t CMciTimeFormat::FromBase(std::uint64_t base, std::uint32_t perSecond, std::uint32_t divisor) const {
  const unsigned __int128 n = static_cast<unsigned __int128>(base) * perSecond;
  return static_cast<std::uint64_t>(n / (static_cast<unsigned __int128>(divisor) * m_baseRate));
}

std::uint64_t CMciTimeFormat::CountToBase(std::size_t u, std::uint64_t value) const {
  std::uint64_t units = 0, base = 0;  // where the part begins
  for (const Part& part : m_parts[u]) {
    // Nothing inside a part lies past its end; its end is the next one's start.
    if (value < units + part.units) {
      const std::uint32_t perSecond = part.perSecond ? part.perSecond : m_perSecond[u];
      const std::uint32_t divisor = part.perSecond ? 1 : m_divisor[u];
      return base + std::min(ToBase((value - units) / m_block[u], perSecond, divisor), part.base);
    }
    units += part.units;
    base += part.base;
  }
  return base + ToBase((value - units) / m_block[u], m_perSecond[u], m_divisor[u]);
}

std::uint64_t CMciTimeFormat::BaseToCount(std::size_t u, std::uint64_t base) const {
  if (m_parts[u].empty()) return FromBase(base, m_perSecond[u], m_divisor[u]) * m_block[u];
  std::uint64_t units = 0, start = 0;  // where the part begins
  for (const Part& part : m_parts[u]) {
    if (base < start + part.base) {
      const std::uint32_t perSecond = part.perSecond ? part.perSecond : m_perSecond[u];
      const std::uint32_t divisor = part.perSecond ? 1 : m_divisor[u];
      return units + std::min(FromBase(base - start, perSecond, divisor) * m_block[u], part.units);
    }
    units += part.units;
    start += part.base;
  }
  return units;  // the end, and anything past it
}

DWORD CMciTimeFormat::Parse(std::string_view text, std::uint64_t& base) const {
  const std::size_t u = static_cast<std::size_t>(m_unit);
  DWORD value = 0;
  switch (m_unit) {
    case MciTimeUnit::milliseconds:
    case MciTimeUnit::samples:
    case MciTimeUnit::bytes:
    case MciTimeUnit::frames:
      if (!ParseMciNumber(text, value)) return MciError::kBadInteger;
      base = CountToBase(u, value);
      return MciError::kNone;
    case MciTimeUnit::hms:
      if (!ParseHms(text, value)) return MciError::kBadInteger;
      base = ToBase((FieldOf(value, 0) * 3600ull + FieldOf(value, 1) * 60ull + FieldOf(value, 2)) * 1000, 1000, 1);
      return MciError::kNone;
    case MciTimeUnit::msf:
      if (!ParseMsf(text, value)) return MciError::kBadInteger;
      // 75 CD frames a second: counted in 75ths of a second.
      base = ToBase((FieldOf(value, 0) * 60ull + FieldOf(value, 1)) * 75 + FieldOf(value, 2), 75, 1);
      return MciError::kNone;
    case MciTimeUnit::tmsf: break;
  }
  return MciError::kBadTimeFormat;
}

std::string CMciTimeFormat::Format(std::uint64_t base) const {
  const std::size_t u = static_cast<std::size_t>(m_unit);
  switch (m_unit) {
    case MciTimeUnit::hms: {
      const std::uint64_t s = std::min<std::uint64_t>(FromBase(base, 1, 1), 255ull * 3600 + 59 * 60 + 59);
      return FormatHms(static_cast<DWORD>(s / 3600) | static_cast<DWORD>(s / 60 % 60) << 8 |
                       static_cast<DWORD>(s % 60) << 16);
    }
    case MciTimeUnit::msf: {
      const std::uint64_t f = std::min<std::uint64_t>(FromBase(base, 75, 1), (255ull * 60 + 59) * 75 + 74);
      return FormatMsf(static_cast<DWORD>(f / 75 / 60) | static_cast<DWORD>(f / 75 % 60) << 8 |
                       static_cast<DWORD>(f % 75) << 16);
    }
    case MciTimeUnit::tmsf: return FormatTmsf(0x01);  // a device without tracks is all track 1
    default: return std::to_string(std::min<std::uint64_t>(BaseToCount(u, base), 0xFFFFFFFFu));
  }
}
