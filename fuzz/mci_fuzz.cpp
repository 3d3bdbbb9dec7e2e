// Fuzzes the MCI command-string interpreter: the bytes are split into lines and each is sent as a command,
// against a sound, a short MIDI song, a new recording, a video device and an audio CD (a generated disc image
// that the runtime's profile names), all on short generated media, so open, play, seek, record, status, set,
// put and where all see hostile words; the video device's picture is drawn after every line. "window ...
// handle" gets a live window of the program for "$L", a destroyed one's number for "$S" and any number the
// bytes hold; the windows' messages are handled after every line.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <string_view>
#include <vector>

#include "platform/msg/clock.h"
#include "platform/gdi/dc.h"
#include "platform/user/gui_session.h"
#include "platform/user/message_loop.h"
#include "platform/user/wnd.h"
#include "platform/mm/mci_video_device.h"
#include "platform/mm/media_source.h"
#include "platform/mm/media_system.h"

namespace {

std::vector<BYTE> ShortWave() {
  // 16-bit mono PCM, 8000 Hz, 80 frames of silence.
  std::vector<BYTE> w = {'R', 'I', 'F', 'F', 196, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1,
                         0, 0x40, 0x1F, 0, 0, 0x80, 0x3E, 0, 0, 2, 0, 16, 0, 'd', 'a', 't', 'a', 160, 0, 0, 0};
  w.resize(w.size() + 160, 0);
  return w;
}

// 10 ticks (about 10 ms) at 480 ticks a quarter and tempo 500000: a note on and its end.
std::vector<BYTE> ShortSong() {
  return {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0x01, 0xE0, 'M', 'T', 'r', 'k', 0, 0, 0, 13,
          0x00, 0x90, 0x3C, 0x64, 0x0A, 0x80, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00, 0x00};
}

// A disc image of two audio tracks of 2 sectors (27 ms each) around a data track of 1, in a
// folder of its own with the runtime's profile naming it: the configuration folder to use. The folder
// goes when the fuzzer ends.
struct DiscFolder {
  DiscFolder();
  ~DiscFolder() {
    std::error_code ec;
    if (!path.empty()) std::filesystem::remove_all(path, ec);
  }
  std::string path;
};

DiscFolder::DiscFolder() {
  std::string folder = (std::filesystem::temp_directory_path() / "tvn-mci-fuzz-XXXXXX").string();
  if (!mkdtemp(folder.data())) return;
  path = folder;
  const std::filesystem::path dir = folder;
  {
    std::ofstream bin(dir / "disc.bin", std::ios::binary);
    for (int sector = 0; sector < 5; ++sector)
      for (int b = 0; b < 2352; ++b) bin.put(static_cast<char>(sector < 2 ? (b % 2 ? 0x04 : 0x00) : 0x41));
  }
  std::ofstream(dir / "disc.cue") << "FILE \"disc.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                                  << "  TRACK 02 MODE1/2352\n    INDEX 01 00:00:02\n"
                                  << "  TRACK 03 AUDIO\n    INDEX 01 00:00:03\n";
  std::filesystem::create_directories(dir / "tavelon");
  std::ofstream(dir / "tavelon" / "tvnrun.ini") << "[MCI]\nCDAudio=" << (dir / "disc.cue").string() << "\n";
}

bool Contains(std::string_view line, std::string_view word) {
  return std::search(line.begin(), line.end(), word.begin(), word.end(),
                     [](char a, char b) { return (a | 0x20) == b; }) != line.end();
}

// Five 4 x 3 frames of 2 ms: a "wait" ends soon.
class CTinyFrames final : public IVideoFrames {
 public:
  int Width() const override { return 4; }
  int Height() const override { return 3; }
  DWORD FrameCount() const override { return 5; }
  double FrameMs() const override { return 2.0; }
  bool Frame(DWORD n, CPixelImage& out) override {
    out = CPixelImage(4, 3);
    out.Fill(RGB(n * 40, 0, 0));
    return true;
  }
};

std::unique_ptr<IVideoFrames> OpenTinyFrames(std::unique_ptr<IMediaByteSource> source, const DecodeLimits&) {
  if (!source || source->Name().Find(".vid") < 0) return nullptr;
  return std::make_unique<CTinyFrames>();
}

// The off-screen Qt platform and a message loop, made once for the process
// (Qt allows one application); a live window and the number of a destroyed one.
struct Windows {
  Windows() : session(argc, argv, true) {
    CGuiSession::Attach(loop);
    live.CreateEx(0, "view", WS_OVERLAPPEDWINDOW, CRect(0, 0, 64, 48), nullptr, 0);
    CWnd gone;
    gone.CreateEx(0, "gone", WS_OVERLAPPEDWINDOW, CRect(0, 0, 8, 8), nullptr, 0);
    stale = Number(gone.GetSafeHwnd());
  }
  static std::string Number(HWND hwnd) { return std::to_string(reinterpret_cast<std::uintptr_t>(hwnd)); }
  void Pump() {
    MSG msg;
    for (int i = 0; i < 256 && loop.PeekMessage(msg, nullptr, 0, 0, PM_REMOVE); ++i)
      if (msg.message != WM_QUIT) loop.DispatchMessage(msg);
  }

  int argc = 1;
  char name[9] = "mci_fuzz";
  char* argv[2] = {name, nullptr};
  CGuiSession session;
  CMessageLoop loop;
  CWnd live;
  std::string stale;
};

// "$L" and "$S" in a line become the live and the stale window's numbers.
std::string WithHandles(std::string_view line, const Windows& windows) {
  std::string out;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '$' && i + 1 < line.size() && (line[i + 1] == 'L' || line[i + 1] == 'S')) {
      out += line[i + 1] == 'L' ? Windows::Number(windows.live.GetSafeHwnd()) : windows.stale;
      ++i;
    } else {
      out += line[i];
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A real clock and the silent output: a "wait" ends when the 10 ms sound has played.
  DecodeLimits limits;
  limits.maxSeconds = 5;
  // Recording goes through SDL's dummy driver, which captures silence.
  ::setenv("SDL_AUDIODRIVER", "dummy", 1);
  static Windows windows;
  static const DiscFolder disc;
  ::setenv("XDG_CONFIG_HOME", disc.path.c_str(), 1);
  CMediaSystem media(SteadyClock(), CAudioOutput::Mode::silent, limits);
  media.Mci().Services().soundFont.clear();  // MIDI plays silent: the soundfont would load on every open
  media.SetSourceOpener([](const CString& name) -> std::unique_ptr<IMediaByteSource> {
    const bool midi = Contains(name.GetString(), ".mid");
    return std::make_unique<CMemoryByteSource>(midi ? ShortSong() : ShortWave(), name);
  });
  media.Mci().RegisterType("fuzzvideo", {"vid"}, CMciVideoDevice::Factory(&OpenTinyFrames, true));
  std::string reply;
  media.Mci().SendString("open x.wav alias a", reply, nullptr);
  media.Mci().SendString("open x.mid alias m", reply, nullptr);
  media.Mci().SendString("open new type waveaudio alias r", reply, nullptr);
  media.Mci().SendString("open x.vid alias v", reply, nullptr);
  const DWORD video = static_cast<DWORD>(std::strtoul(reply.c_str(), nullptr, 10));
  media.Mci().SendString("open cdaudio alias cd", reply, nullptr);
  std::vector<DWORD> pixels(16 * 12, 0);
  CDC dc;
  dc.AttachSurface(gdi::PixelSurface{pixels.data(), 16, 12, 16, false});
  std::string_view text(reinterpret_cast<const char*>(data), size);
  for (int line = 0; line < 64 && !text.empty(); ++line) {
    const std::size_t end = text.find('\n');
    const std::string command = WithHandles(text.substr(0, end), windows);
    // A recording has no end but its "to": waiting on one would hold the fuzzer for as long as it says.
    if (!(Contains(command, "record") && Contains(command, "wait")))
      media.Mci().SendString(command, reply, nullptr);
    media.Mci().DrawPicture(video, dc, CRect(2, 2, 14, 10));
    windows.Pump();
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  dc.DetachSurface();
  return 0;
}
