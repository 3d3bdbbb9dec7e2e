// CMciDevice: one open MCI device, its completion notices, and what a device type needs to open one.
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/base/geometry.h"
#include "platform/mm/mci_command.h"
#include "platform/mm/media_decoder.h"
#include "platform/base/win_types.h"
#include "platform/msg/window_messages.h"

class CAudioMixer;
class CDC;
class IClock;
class IMediaByteSource;

// MCI notify codes, the wParam of the 953 a device posts.
namespace MciNotify {
constexpr WPARAM kSuccessful = 1;
constexpr WPARAM kSuperseded = 2;
constexpr WPARAM kAborted = 4;
constexpr WPARAM kFailure = 8;
}  // namespace MciNotify

// The one notice a device has pending, shared with the mixer's end handler,
// which runs on the sound thread. Each new command that asks for a notice
// supersedes the pending one. A notice may wait for one play (a number the
// device gives each play, never 0): the end of that play alone fires it, so an
// end that comes late never reaches the notice of the play after it. Notices
// are posted under the lock, so they reach the queue in the order the
// notifier changed (posting only queues; no window is called back).
class CMciNotifier {
 public:
  explicit CMciNotifier(DWORD deviceId) : m_id(deviceId) {}
  // Superseded (2) to the pending window, then the window waits for this
  // command (and for the end of that play, when one is given).
  void Arm(HWND window, DWORD play = 0);
  // Superseded to the pending window, nothing pending afterwards.
  void Supersede() { Fire(MciNotify::kSuperseded); }
  // The code to the pending window, if any.
  void Fire(WPARAM code);
  // The code to the pending window only while it waits for that play.
  void FireForPlay(DWORD play, WPARAM code);
  // At the start of a play or record: armed when the command asks for a
  // notice and has a window for it, else the pending notice superseded.
  void ArmOrSupersede(const CMciCommand& command, HWND window, DWORD play = 0);
  // A command done at once: successful (1) to its window when it asked for a notice.
  void NotifyDone(const CMciCommand& command, HWND window);
  bool IsPending() const;

 private:
  mutable std::mutex m_mutex;
  DWORD m_id;
  HWND m_window = nullptr;
  DWORD m_play = 0;  // the play the pending notice waits for; 0: none
};

// What every device may use.
struct MciDeviceServices {
  CAudioMixer* mixer = nullptr;
  const IClock* clock = nullptr;
  DecodeLimits limits;
  std::string soundFont;  // the General MIDI soundfont of the sequencer; empty: MIDI plays silent
};

class CMciDevice {
 public:
  CMciDevice(DWORD id, std::string type) : m_id(id), m_type(std::move(type)) {}
  virtual ~CMciDevice() = default;
  CMciDevice(const CMciDevice&) = delete;
  CMciDevice& operator=(const CMciDevice&) = delete;

  DWORD GetId() const { return m_id; }
  const std::string& GetType() const { return m_type; }
  const std::string& GetAlias() const { return m_alias; }
  const std::string& GetElement() const { return m_element; }
  void SetNames(std::string alias, std::string element) {
    m_alias = std::move(alias);
    m_element = std::move(element);
  }

  // Every command but open and close: the MCI error, the reply text. A
  // command with "notify" posts its notice to the callback window.
  virtual DWORD Command(const CMciCommand& command, std::string& reply, HWND callback) = 0;
  // Before the device goes: a pending notice is aborted.
  virtual void Close() {}
  // Draws the picture where the clock stands into the area of a window;
  // false for a device without a picture.
  virtual bool Draw(CDC& /*dc*/, const CRect& /*area*/) { return false; }
  // The opener draws the picture in this window of its own with Draw (null:
  // nowhere), so the device makes no window for it.
  virtual void SetPictureHost(HWND /*host*/) {}

 private:
  DWORD m_id;
  std::string m_type;
  std::string m_alias;
  std::string m_element;
};

// What a device type is given to open one device.
struct MciOpenRequest {
  DWORD id = 0;
  std::string type;
  std::unique_ptr<IMediaByteSource> source;  // null for a device opened without a file ("new", a bare type)
  MciDeviceServices* services = nullptr;
};

// Opens a device of a type: 0 and the device, or the MCI error.
using MciDeviceFactory = std::function<DWORD(MciOpenRequest& request, std::unique_ptr<CMciDevice>& out)>;
