// CMciSystem: the MCI command-string interpreter and its table of open devices and device types.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/base/cstring.h"
#include "platform/mm/mci_device.h"

class CMediaIds;

// Devices have ids from the media id counter and aliases; the types are a
// table that other players add to (MIDI, video), each with the file
// extensions that choose it. Safe to call from any thread: one command at a
// time; "wait" holds the others back until its device is done.
class CMciSystem {
 public:
  using SourceOpener = std::function<std::unique_ptr<IMediaByteSource>(const CString& name)>;

  CMciSystem(CMediaIds& ids, MciDeviceServices services);
  ~CMciSystem();
  CMciSystem(const CMciSystem&) = delete;
  CMciSystem& operator=(const CMciSystem&) = delete;

  // Adds a device type; extensions in lower case without the dot.
  void RegisterType(std::string type, std::vector<std::string> extensions, MciDeviceFactory factory);
  // What devices opened from now on are given (the sequencer's soundfont among them).
  MciDeviceServices& Services() { return m_services; }
  // How a file name becomes bytes (disk files by default).
  void SetSourceOpener(SourceOpener opener) { m_opener = std::move(opener); }
  // The next open of the key name reads this source instead of a file.
  void SetPendingSource(const CString& key, std::unique_ptr<IMediaByteSource> source);

  // A command string as mciSendString takes it: the MCI error (0 on
  // success) and the reply text. Notices go to the callback window.
  DWORD SendString(std::string_view command, std::string& reply, HWND callback);
  // A command without a device name, for the device of that id.
  DWORD SendToDevice(DWORD id, std::string_view command, std::string& reply, HWND callback);

  // Told every command sent to a device by id, as it was written (for tracing).
  void SetTrace(std::function<void(DWORD id, std::string_view command)> trace) { m_trace = std::move(trace); }

  // The device's picture into the area (the MCI window's paint); false
  // without a device of that id or without a picture.
  bool DrawPicture(DWORD id, CDC& dc, const CRect& area);
  // The caller shows the device's picture in its window with DrawPicture
  // (null: nowhere): the device makes no window of its own.
  void HostPicture(DWORD id, HWND host);

  bool IsOpen(DWORD id) const;
  // The type ("waveaudio") and the file of an open device; empty for none.
  std::string GetDeviceType(DWORD id) const;
  std::string GetElement(DWORD id) const;
  std::string GetAlias(DWORD id) const;
  void CloseAll();

 private:
  struct TypeEntry {
    std::string type;
    std::vector<std::string> extensions;
    MciDeviceFactory factory;
  };

  DWORD Open(const CMciCommand& command, std::string& reply, HWND callback);
  DWORD Close(const CMciCommand& command, HWND callback);
  const TypeEntry* FindType(std::string_view type) const;
  const TypeEntry* TypeForFile(std::string_view name) const;
  CMciDevice* FindByName(std::string_view name) const;
  std::unique_ptr<IMediaByteSource> TakeSource(const std::string& element);
  static void NotifyNow(HWND callback, DWORD id);

  CMediaIds& m_ids;
  MciDeviceServices m_services;
  SourceOpener m_opener;
  std::function<void(DWORD, std::string_view)> m_trace;
  std::vector<TypeEntry> m_types;
  std::map<std::string, std::unique_ptr<IMediaByteSource>> m_pending;
  std::vector<std::unique_ptr<CMciDevice>> m_devices;
  mutable std::recursive_mutex m_mutex;
};
