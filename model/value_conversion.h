// Conversions between the value kinds of variables, free of undefined behaviour.
#pragma once

#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/base/win_types.h"

namespace tvn::values {

// Truncation toward zero to 32 bits; beyond the range it saturates, NaN gives 0.
inline LONG TruncateToLong(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return std::numeric_limits<LONG>::max();
  if (value <= -2147483648.0) return std::numeric_limits<LONG>::min();
  return static_cast<LONG>(value);
}

// Truncation toward zero to 64 bits with the same saturation.
inline std::int64_t TruncateToInt64(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 9223372036854775807.0) return std::numeric_limits<std::int64_t>::max();
  if (value <= -9223372036854775808.0) return std::numeric_limits<std::int64_t>::min();
  return static_cast<std::int64_t>(value);
}

inline LONG Saturate(long long value) {
  if (value > std::numeric_limits<LONG>::max()) return std::numeric_limits<LONG>::max();
  if (value < std::numeric_limits<LONG>::min()) return std::numeric_limits<LONG>::min();
  return static_cast<LONG>(value);
}

// 32-bit arithmetic that wraps: script integers are 32-bit two's complement.
inline LONG WrapAdd(LONG a, LONG b) {
  return static_cast<LONG>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
inline LONG WrapSub(LONG a, LONG b) {
  return static_cast<LONG>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}
inline LONG WrapMul(LONG a, LONG b) {
  return static_cast<LONG>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}
// Truncating division; the one overflowing case, INT_MIN / -1, wraps to INT_MIN.
inline LONG WrapDiv(LONG a, LONG b) {
  if (b == -1) return WrapSub(0, a);
  return a / b;
}

}  // namespace tvn::values
