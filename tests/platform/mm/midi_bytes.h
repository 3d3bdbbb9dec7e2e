// Chunks of a Standard MIDI File for tests: the caller writes every event byte by byte; these only add chunk headers and lengths.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace tvn::testing {

inline void PutBig32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

inline void PutLittle32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 0; shift <= 24; shift += 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

// "MTrk", the length, the events.
inline std::vector<std::uint8_t> Track(const std::vector<std::uint8_t>& events) {
  std::vector<std::uint8_t> out = {'M', 'T', 'r', 'k'};
  PutBig32(out, static_cast<std::uint32_t>(events.size()));
  out.insert(out.end(), events.begin(), events.end());
  return out;
}

// "MThd" with format, track count and division, then the tracks.
inline std::vector<std::uint8_t> Smf(std::uint16_t format, std::uint16_t division,
                                     std::initializer_list<std::vector<std::uint8_t>> tracks) {
  std::vector<std::uint8_t> out = {'M', 'T', 'h', 'd', 0, 0, 0, 6};
  const auto count = static_cast<std::uint16_t>(tracks.size());
  for (std::uint16_t v : {format, count, division}) {
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  }
  for (const auto& t : tracks) out.insert(out.end(), t.begin(), t.end());
  return out;
}

// A RIFF RMID file: an "INFO"-like chunk of another kind (odd length, padded), then "data" with the SMF.
inline std::vector<std::uint8_t> Rmi(const std::vector<std::uint8_t>& smf) {
  std::vector<std::uint8_t> body = {'R', 'M', 'I', 'D', 'd', 'i', 's', 'p', 3, 0, 0, 0, 1, 2, 3, 0, 'd', 'a', 't', 'a'};
  PutLittle32(body, static_cast<std::uint32_t>(smf.size()));
  body.insert(body.end(), smf.begin(), smf.end());
  std::vector<std::uint8_t> out = {'R', 'I', 'F', 'F'};
  PutLittle32(out, static_cast<std::uint32_t>(body.size()));
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

}  // namespace tvn::testing
