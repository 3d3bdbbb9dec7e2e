// The MCI window: opening its device on the medium's own stream, and the requests sent to it.
#include "media/mci_wnd.h"

#include <algorithm>
#include <charconv>
#include <memory>
#include <string>

#include "media/memory_stream.h"
#include "platform/mci_errors.h"
#include "platform/media_system.h"

CString CMciWnd::KeyName(const CString& name) {
  CString key = name;
  const int dot = name.ReverseFind('.');
  const int slash = std::max(name.ReverseFind('\\'), name.ReverseFind('/'));
  if (dot >= 0 && dot > slash && name.GetLength() - dot < 6) key = name.Left(dot);
  return key + ".TVN+";
}

BOOL CMciWnd::OpenWith(const MediaEnvironment& env, DWORD style, const CString& command) {
  std::string reply;
  m_error = m_system->Mci().SendString(command.GetString(), reply, m_owner);
  if (m_error != MciError::kNone) return FALSE;
  DWORD id = 0;
  std::from_chars(reply.data(), reply.data() + reply.size(), id);
  m_deviceId = id;
  m_style = style;
  return m_deviceId != 0;
}

BOOL CMciWnd::Create(const MediaEnvironment& env, DWORD style, const CString& name) {
  CloseDevice();
  m_system = env.system;
  m_owner = env.owner;
  m_error = 0;
  if (!m_system) {
    m_error = MciError::kCannotLoadDriver;
    return FALSE;
  }
  // A medium kept in memory is read from its own stream under its key; one on
  // disk only is opened by its own name.
  CString open = name;
  auto stream = std::make_unique<CMemoryStream>(env, name, CMemoryStream::kUnlimited, m_system->Clock(), true);
  if (stream->IsOpened() && stream->IsInMemory()) {
    open = KeyName(name);
    m_system->Mci().SetPendingSource(open, std::move(stream));
  }
  const CString alias = "tvnmci" + CString(std::to_string(m_system->Ids().Next()));
  if (!OpenWith(env, style, "open \"" + open + "\" alias " + alias)) return FALSE;
  m_fileName = name;
  return TRUE;
}

BOOL CMciWnd::CreateNew(const MediaEnvironment& env, DWORD style, const CString& type) {
  CloseDevice();
  m_system = env.system;
  m_owner = env.owner;
  m_error = 0;
  if (!m_system) {
    m_error = MciError::kCannotLoadDriver;
    return FALSE;
  }
  const CString alias = "tvnmci" + CString(std::to_string(m_system->Ids().Next()));
  if (!OpenWith(env, style, "open new type " + type + " alias " + alias)) return FALSE;
  m_fileName.Empty();
  return TRUE;
}

int CMciWnd::CloseDevice() {
  if (!m_deviceId || !m_system) return 0;
  std::string reply;
  m_system->Mci().SendToDevice(m_deviceId, "stop", reply, nullptr);
  m_system->Mci().SendToDevice(m_deviceId, "close", reply, nullptr);
  m_deviceId = 0;
  return 0;
}

DWORD CMciWnd::Send(const CString& command, CString& reply) {
  if (!m_deviceId || !m_system) return m_error = MciError::kInvalidDeviceId;
  std::string text;
  m_error = m_system->Mci().SendToDevice(m_deviceId, command.GetString(), text, m_owner);
  reply = CString(text);
  return m_error;
}

DWORD CMciWnd::SendString(const CString& command) { return Send(command, m_reply); }

CString CMciWnd::ReturnString(int size) const { return size > 0 ? m_reply.Left(size - 1) : CString(); }

namespace {

LONG NumberOf(const CString& text) {
  LONG value = 0;
  std::from_chars(text.GetString(), text.GetString() + text.GetLength(), value);
  return value;
}

}  // namespace

LONG CMciWnd::GetLength() {
  CString reply;
  return Send("status length", reply) == 0 ? NumberOf(reply) : 0;
}

LONG CMciWnd::GetPosition() {
  CString reply;
  return Send("status position", reply) == 0 ? NumberOf(reply) : 0;
}

void CMciWnd::SetVolume(LONG volume) {
  CString reply;
  const LONG level = std::clamp<LONG>(volume, 0, 2000) / 2;
  Send("setaudio volume to " + CString(std::to_string(level)), reply);
}

void CMciWnd::SetSpeed(LONG speed) {
  if (speed <= 0) return;
  CString reply;
  Send("set speed " + CString(std::to_string(speed)), reply);
}

CString CMciWnd::GetDevice() const {
  return m_deviceId && m_system ? CString(m_system->Mci().GetDeviceType(m_deviceId)) : CString();
}

void CMciWnd::Stop() {
  CString reply;
  if (m_deviceId) Send("stop", reply);
}

void CMciWnd::Pause() {
  CString reply;
  if (m_deviceId) Send("pause", reply);
}

BOOL CMciWnd::CanSave() {
  CString reply;
  const DWORD error = m_error;  // a question, not a request: the last error stays
  const BOOL can = m_deviceId && Send("capability can save", reply) == 0 && reply == "true";
  m_error = error;
  return can;
}

BOOL CMciWnd::IsPlaying() {
  CString reply;
  return m_deviceId && Send("status mode", reply) == 0 && (reply == "playing" || reply == "paused");
}
