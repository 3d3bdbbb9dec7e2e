// The Standard MIDI File reader: the RMI wrapper, header, tracks, running status and the tempo map.
#include "platform/mm/midi_file.h"

#include <algorithm>
#include <cstring>

namespace {

// A bounded view of bytes: every read checks what is left.
class Bytes {
 public:
  Bytes(const std::uint8_t* data, std::size_t size) : m_p(data), m_left(size) {}
  std::size_t Left() const { return m_left; }
  const std::uint8_t* Here() const { return m_p; }
  bool Byte(std::uint8_t& out) {
    if (m_left == 0) return false;
    out = *m_p;
    Skip(1);
    return true;
  }
  bool Peek(std::uint8_t& out) const {
    if (m_left == 0) return false;
    out = *m_p;
    return true;
  }
  bool Big32(std::uint32_t& out) {
    if (m_left < 4) return false;
    out = (std::uint32_t{m_p[0]} << 24) | (std::uint32_t{m_p[1]} << 16) | (std::uint32_t{m_p[2]} << 8) | m_p[3];
    Skip(4);
    return true;
  }
  bool Big16(std::uint16_t& out) {
    if (m_left < 2) return false;
    out = static_cast<std::uint16_t>((m_p[0] << 8) | m_p[1]);
    Skip(2);
    return true;
  }
  bool Little32(std::uint32_t& out) {
    if (m_left < 4) return false;
    out = (std::uint32_t{m_p[3]} << 24) | (std::uint32_t{m_p[2]} << 16) | (std::uint32_t{m_p[1]} << 8) | m_p[0];
    Skip(4);
    return true;
  }
  bool Tag(const char* tag) {
    if (m_left < 4 || std::memcmp(m_p, tag, 4) != 0) return false;
    Skip(4);
    return true;
  }
  bool Skip(std::size_t n) {
    if (n > m_left) return false;
    m_p += n;
    m_left -= n;
    return true;
  }
  // A variable-length number: seven bits a byte, at most four bytes.
  bool VarLen(std::uint32_t& out) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      std::uint8_t b = 0;
      if (!Byte(b)) return false;
      value = (value << 7) | (b & 0x7Fu);
      if (!(b & 0x80)) {
        out = value;
        return true;
      }
    }
    return false;  // a fifth byte would follow
  }

 private:
  const std::uint8_t* m_p;
  std::size_t m_left;
};

// What a track gives the merge, in file order.
struct Item {
  std::uint64_t tick;
  std::uint32_t tempo;  // non-zero for a tempo change
  MidiEvent event;      // else a channel message
};

int DataBytes(std::uint8_t status) {
  const std::uint8_t kind = status & 0xF0;
  return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

struct TrackResult {
  std::uint64_t endTick = 0;
  bool damaged = false;
};

// Reads one track's events until its end-of-track, its end or damage.
TrackResult ReadTrack(Bytes track, const MidiLimits& limits, std::size_t& eventCount, std::vector<Item>& items) {
  TrackResult result;
  std::uint64_t tick = 0;
  std::uint8_t running = 0;
  while (track.Left() > 0) {
    if (eventCount >= limits.maxEvents) {
      result.damaged = true;
      break;
    }
    ++eventCount;
    std::uint32_t delta = 0;
    std::uint8_t first = 0;
    if (!track.VarLen(delta) || !track.Peek(first)) {
      result.damaged = true;
      break;
    }
    tick += delta;
    result.endTick = tick;
    if (first == 0xFF) {  // meta event: type, length, data
      std::uint8_t type = 0;
      std::uint32_t length = 0;
      track.Skip(1);
      if (!track.Byte(type) || !track.VarLen(length) || length > track.Left()) {
        result.damaged = true;
        break;
      }
      const std::uint8_t* data = track.Here();
      track.Skip(length);
      // The file rules cancel running status at a meta or system-exclusive
      // event, but files that run on across them are common and played: a
      // data byte after one continues the status before it.
      if (type == 0x2F) return result;
      if (type == 0x51 && length == 3) {
        const std::uint32_t tempo = (std::uint32_t{data[0]} << 16) | (std::uint32_t{data[1]} << 8) | data[2];
        if (tempo > 0) items.push_back({tick, tempo, {}});
      }
      continue;
    }
    if (first == 0xF0 || first == 0xF7) {  // system exclusive: length and data, skipped
      std::uint32_t length = 0;
      track.Skip(1);
      if (!track.VarLen(length) || length > track.Left()) {
        result.damaged = true;
        break;
      }
      track.Skip(length);  // running status runs on, as after a meta event
      continue;
    }
    if (first >= 0xF0) {  // system common and real-time bytes have no place in a file
      result.damaged = true;
      break;
    }
    std::uint8_t status = running;
    if (first & 0x80) {
      status = first;
      track.Skip(1);
    } else if (status == 0) {  // a data byte with no status to run on
      result.damaged = true;
      break;
    }
    running = status;
    MidiEvent event;
    event.status = status;
    std::uint8_t d1 = 0;
    std::uint8_t d2 = 0;
    if (!track.Byte(d1) || (d1 & 0x80) || (DataBytes(status) == 2 && (!track.Byte(d2) || (d2 & 0x80)))) {
      result.damaged = true;
      break;
    }
    event.data1 = d1;
    event.data2 = d2;
    items.push_back({tick, 0, event});
  }
  return result;
}

// ticks x usPerQuarter / ticksPerQuarter without overflow.
std::uint64_t TicksToUs(std::uint64_t ticks, std::uint32_t usPerQuarter, int ticksPerQuarter) {
  const unsigned __int128 product = static_cast<unsigned __int128>(ticks) * usPerQuarter;
  const unsigned __int128 us = product / static_cast<unsigned>(ticksPerQuarter);
  return us > ~std::uint64_t{0} ? ~std::uint64_t{0} : static_cast<std::uint64_t>(us);
}

std::uint64_t TimeOf(const std::vector<MidiTempoChange>& map, std::uint64_t tick, int ticksPerQuarter) {
  auto it = std::upper_bound(map.begin(), map.end(), tick,
                             [](std::uint64_t t, const MidiTempoChange& c) { return t < c.tick; });
  const MidiTempoChange& c = *std::prev(it);  // the first change is at tick 0
  const std::uint64_t more = TicksToUs(tick - c.tick, c.usPerQuarter, ticksPerQuarter);
  return c.timeUs + more < c.timeUs ? ~std::uint64_t{0} : c.timeUs + more;
}

// The SMF inside an RMI file's "data" chunk; false when the wrapper is cut short.
bool UnwrapRmi(Bytes& file) {
  Bytes riff = file;
  std::uint32_t size = 0;
  if (!riff.Tag("RIFF") || !riff.Little32(size)) return false;
  Bytes body(riff.Here(), std::min<std::size_t>(size, riff.Left()));
  if (!body.Tag("RMID")) return false;
  while (body.Left() >= 8) {
    const bool isData = body.Tag("data");
    if (!isData) body.Skip(4);
    std::uint32_t length = 0;
    body.Little32(length);
    if (length > body.Left()) {
      if (!isData) return false;
      length = static_cast<std::uint32_t>(body.Left());  // a cut data chunk: its tracks say where the damage is
    }
    if (isData) {
      file = Bytes(body.Here(), length);
      return true;
    }
    body.Skip(length);
    body.Skip(length & 1);  // chunks are padded to an even length
  }
  return false;
}

}  // namespace

std::uint32_t CMidiSong::TempoAt(std::uint64_t timeUs) const {
  std::uint32_t tempo = 500000;
  for (const MidiTempoChange& c : tempoMap) {
    if (c.timeUs > timeUs) break;
    tempo = c.usPerQuarter;
  }
  return tempo;
}

MidiReadResult ReadMidiFile(const std::uint8_t* data, std::size_t size, const MidiLimits& limits, CMidiSong& out) {
  out = CMidiSong{};
  Bytes file(data, size);
  if (file.Left() >= 4 && std::memcmp(file.Here(), "RIFF", 4) == 0 && !UnwrapRmi(file)) return MidiReadResult::damaged;

  std::uint32_t headerLength = 0;
  std::uint16_t format = 0;
  std::uint16_t tracks = 0;
  std::uint16_t division = 0;
  if (!file.Tag("MThd")) return MidiReadResult::notMidi;
  if (!file.Big32(headerLength) || headerLength < 6 || headerLength > file.Left()) return MidiReadResult::damaged;
  Bytes header(file.Here(), headerLength);
  file.Skip(headerLength);
  header.Big16(format);
  header.Big16(tracks);
  header.Big16(division);
  if (format > 1 || tracks == 0) return MidiReadResult::unsupported;
  out.format = format;
  out.trackCount = tracks;
  std::uint32_t usPerQuarter = 500000;
  if (division & 0x8000) {
    const int fps = 256 - (division >> 8);
    const int ticksPerFrame = division & 0xFF;
    if ((fps != 24 && fps != 25 && fps != 29 && fps != 30) || ticksPerFrame == 0) return MidiReadResult::unsupported;
    out.smpte = true;
    out.ticksPerQuarter = (fps == 29 ? 30 : fps) * ticksPerFrame;
    usPerQuarter = fps == 29 ? 1001000 : 1000000;
  } else {
    if (division == 0) return MidiReadResult::unsupported;
    out.ticksPerQuarter = division;
  }

  std::vector<Item> items;
  // An event takes at least two bytes (a delta and a running-status data byte).
  items.reserve(std::min(file.Left() / 2, limits.maxEvents));
  std::size_t eventCount = 0;
  std::uint64_t endTick = 0;
  int read = 0;
  while (read < tracks && file.Left() >= 8) {
    const bool isTrack = file.Tag("MTrk");
    if (!isTrack) file.Skip(4);  // chunks of other kinds are skipped by their length
    std::uint32_t length = 0;
    file.Big32(length);
    if (length > file.Left()) {
      out.damaged = true;  // a chunk running past the file: read what is there
      length = static_cast<std::uint32_t>(file.Left());
    }
    Bytes chunk(file.Here(), length);
    file.Skip(length);
    if (!isTrack) continue;
    ++read;
    const TrackResult track = ReadTrack(chunk, limits, eventCount, items);
    out.damaged = out.damaged || track.damaged;
    endTick = std::max(endTick, track.endTick);
  }
  if (read == 0) return MidiReadResult::damaged;

  // One time line: every track's items by tick, the file's order kept within a tick.
  std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.tick < b.tick; });
  out.tempoMap.push_back({0, 0, usPerQuarter});
  if (!out.smpte) {
    for (const Item& item : items) {
      if (item.tempo == 0) continue;
      MidiTempoChange& last = out.tempoMap.back();
      if (item.tick == last.tick) {
        last.usPerQuarter = item.tempo;  // a later change at the same tick holds
        continue;
      }
      const std::uint64_t at = TimeOf(out.tempoMap, item.tick, out.ticksPerQuarter);
      out.tempoMap.push_back({item.tick, at, item.tempo});
    }
  }
  out.events.reserve(static_cast<std::size_t>(std::count_if(items.begin(), items.end(),
                                                            [](const Item& i) { return i.tempo == 0; })));
  for (const Item& item : items) {
    if (item.tempo != 0) continue;
    MidiEvent event = item.event;
    event.timeUs = TimeOf(out.tempoMap, item.tick, out.ticksPerQuarter);
    if (event.timeUs > limits.maxLengthUs) {
      out.damaged = true;
      break;
    }
    out.events.push_back(event);
  }
  out.lengthUs = TimeOf(out.tempoMap, endTick, out.ticksPerQuarter);
  if (out.lengthUs > limits.maxLengthUs) {
    out.damaged = true;
    out.lengthUs = limits.maxLengthUs;
  }
  return MidiReadResult::ok;
}
