// The random numbers of the Random built-in, from a 15-bit linear congruential generator.
#pragma once

#include <cstdint>

// A linear congruential generator giving 0 to 32767, seeded once per run.
class CScriptRandom {
 public:
  bool IsSeeded() const { return m_seeded; }
  void Seed(std::uint32_t seed) {
    m_state = seed;
    m_seeded = true;
  }
  int Next() {
    m_state = m_state * 214013u + 2531011u;
    return static_cast<int>((m_state >> 16) & 0x7FFFu);
  }

 private:
  std::uint32_t m_state = 1;
  bool m_seeded = false;
};
