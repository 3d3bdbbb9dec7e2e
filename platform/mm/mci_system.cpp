// The MCI interpreter: open and close here, every other command to its device.
#include "platform/mm/mci_system.h"

#include <algorithm>

#include "platform/base/codepage.h"
#include "platform/mm/mci_errors.h"
#include "platform/mm/media_ids.h"
#include "platform/mm/media_source.h"
#include "platform/user/message_loop.h"
#include "platform/msg/window_messages.h"

namespace {

std::string ExtensionOf(std::string_view name) {
  const std::size_t dot = name.find_last_of('.');
  const std::size_t slash = name.find_last_of("\\/");
  if (dot == std::string_view::npos || (slash != std::string_view::npos && slash > dot)) return {};
  return tvn::codepage::LowerAscii(name.substr(dot + 1));
}

}  // namespace

CMciSystem::CMciSystem(CMediaIds& ids, MciDeviceServices services) : m_ids(ids), m_services(std::move(services)) {
  m_opener = [](const CString& name) -> std::unique_ptr<IMediaByteSource> { return CFileByteSource::Open(name); };
}

CMciSystem::~CMciSystem() { CloseAll(); }

void CMciSystem::RegisterType(std::string type, std::vector<std::string> extensions, MciDeviceFactory factory) {
  std::lock_guard lock(m_mutex);
  m_types.push_back({tvn::codepage::LowerAscii(type), std::move(extensions), std::move(factory)});
}

void CMciSystem::SetPendingSource(const CString& key, std::unique_ptr<IMediaByteSource> source) {
  std::lock_guard lock(m_mutex);
  m_pending[tvn::codepage::LowerAscii(key.GetString())] = std::move(source);
}

const CMciSystem::TypeEntry* CMciSystem::FindType(std::string_view type) const {
  for (const TypeEntry& t : m_types)
    if (tvn::codepage::EqualsNoCaseAscii(t.type, type)) return &t;
  return nullptr;
}

const CMciSystem::TypeEntry* CMciSystem::TypeForFile(std::string_view name) const {
  const std::string ext = ExtensionOf(name);
  if (ext.empty()) return nullptr;
  for (const TypeEntry& t : m_types)
    if (std::find(t.extensions.begin(), t.extensions.end(), ext) != t.extensions.end()) return &t;
  return nullptr;
}

CMciDevice* CMciSystem::FindByName(std::string_view name) const {
  for (const auto& d : m_devices)
    if (tvn::codepage::EqualsNoCaseAscii(d->GetAlias(), name)) return d.get();
  return nullptr;
}

std::unique_ptr<IMediaByteSource> CMciSystem::TakeSource(const std::string& element) {
  auto it = m_pending.find(tvn::codepage::LowerAscii(element));
  if (it != m_pending.end()) {
    auto source = std::move(it->second);
    m_pending.erase(it);
    return source;
  }
  return m_opener ? m_opener(CString(element)) : nullptr;
}

void CMciSystem::NotifyNow(HWND callback, DWORD id) {
  if (callback) ::PostMessage(callback, MM_MCINOTIFY, MciNotify::kSuccessful, static_cast<LPARAM>(id));
}

DWORD CMciSystem::SendString(std::string_view text, std::string& reply, HWND callback) {
  reply.clear();
  CMciCommand command;
  if (DWORD error = ParseMciCommand(text, command)) return error;
  std::lock_guard lock(m_mutex);
  if (command.verb == "open") return Open(command, reply, callback);
  if (command.verb == "close") return Close(command, callback);
  if (tvn::codepage::EqualsNoCaseAscii(command.device, "all")) return MciError::kCannotUseAll;
  CMciDevice* device = FindByName(command.device);
  if (!device) return MciError::kInvalidDeviceName;
  return device->Command(command, reply, callback);
}

DWORD CMciSystem::SendToDevice(DWORD id, std::string_view text, std::string& reply, HWND callback) {
  reply.clear();
  if (m_trace) m_trace(id, text);
  CMciCommand command;
  if (DWORD error = ParseMciCommand(text, command, false)) return error;
  std::lock_guard lock(m_mutex);
  auto it = std::find_if(m_devices.begin(), m_devices.end(), [id](const auto& d) { return d->GetId() == id; });
  if (it == m_devices.end()) return MciError::kInvalidDeviceId;
  if (command.verb == "open") return MciError::kDeviceOpen;
  if (command.verb == "close") {
    command.device = (*it)->GetAlias();
    return Close(command, callback);
  }
  command.device = (*it)->GetAlias();
  return (*it)->Command(command, reply, callback);
}

DWORD CMciSystem::Open(const CMciCommand& c, std::string& reply, HWND callback) {
  std::string element = c.device;
  const TypeEntry* type = nullptr;
  bool isNew = false;
  if (const std::string* named = c.ValueAfter("type")) {
    type = FindType(*named);
    if (!type) return MciError::kInvalidDeviceName;
    isNew = tvn::codepage::EqualsNoCaseAscii(element, "new");
  } else if (const std::size_t bang = element.find('!'); bang != std::string::npos) {
    type = FindType(std::string_view(element).substr(0, bang));
    if (!type) return MciError::kInvalidDeviceName;
    element = element.substr(bang + 1);
  } else if ((type = FindType(element)) != nullptr) {
    element.clear();  // a bare device type
  }
  if (isNew) element.clear();

  std::unique_ptr<IMediaByteSource> source;
  if (!element.empty()) {
    source = TakeSource(element);
    if (!type) type = TypeForFile(source ? std::string(source->Name().GetString()) : element);
    if (!type) return MciError::kInvalidDeviceName;
    if (!source) return MciError::kFileNotFound;
  }
  for (std::size_t i = 0; i < c.words.size(); ++i) {
    const std::string w = tvn::codepage::LowerAscii(c.words[i]);
    if (w == "type" || w == "alias" || w == "buffer" || w == "style" || w == "parent") ++i;
    else if (w != "shareable") return MciError::kUnrecognizedKeyword;
  }
  std::string alias;
  if (const std::string* named = c.ValueAfter("alias")) {
    alias = *named;
    if (FindByName(alias)) return MciError::kDuplicateAlias;
  } else {
    alias = element.empty() ? type->type : element;
    if (FindByName(alias)) return MciError::kDeviceOpen;
  }
  MciOpenRequest request;
  request.id = m_ids.Next();
  request.type = type->type;
  request.source = std::move(source);
  request.services = &m_services;
  std::unique_ptr<CMciDevice> device;
  if (DWORD error = type->factory(request, device)) return error;
  device->SetNames(alias, element);
  m_devices.push_back(std::move(device));
  reply = std::to_string(request.id);
  if (c.notify) NotifyNow(callback, request.id);
  return MciError::kNone;
}

DWORD CMciSystem::Close(const CMciCommand& c, HWND callback) {
  if (tvn::codepage::EqualsNoCaseAscii(c.device, "all")) {
    CloseAll();
    return MciError::kNone;
  }
  auto it = std::find_if(m_devices.begin(), m_devices.end(),
                         [&](const auto& d) { return tvn::codepage::EqualsNoCaseAscii(d->GetAlias(), c.device); });
  if (it == m_devices.end()) return MciError::kInvalidDeviceName;
  const DWORD id = (*it)->GetId();
  (*it)->Close();
  m_devices.erase(it);
  if (c.notify) NotifyNow(callback, id);
  return MciError::kNone;
}

bool CMciSystem::DrawPicture(DWORD id, CDC& dc, const CRect& area) {
  std::lock_guard lock(m_mutex);
  for (const auto& d : m_devices)
    if (d->GetId() == id) return d->Draw(dc, area);
  return false;
}

void CMciSystem::HostPicture(DWORD id, HWND host) {
  std::lock_guard lock(m_mutex);
  for (const auto& d : m_devices)
    if (d->GetId() == id) d->SetPictureHost(host);
}

bool CMciSystem::IsOpen(DWORD id) const {
  std::lock_guard lock(m_mutex);
  return std::any_of(m_devices.begin(), m_devices.end(), [id](const auto& d) { return d->GetId() == id; });
}

std::string CMciSystem::GetDeviceType(DWORD id) const {
  std::lock_guard lock(m_mutex);
  for (const auto& d : m_devices)
    if (d->GetId() == id) return d->GetType();
  return {};
}

std::string CMciSystem::GetElement(DWORD id) const {
  std::lock_guard lock(m_mutex);
  for (const auto& d : m_devices)
    if (d->GetId() == id) return d->GetElement();
  return {};
}

std::string CMciSystem::GetAlias(DWORD id) const {
  std::lock_guard lock(m_mutex);
  for (const auto& d : m_devices)
    if (d->GetId() == id) return d->GetAlias();
  return {};
}

void CMciSystem::CloseAll() {
  std::lock_guard lock(m_mutex);
  for (auto& d : m_devices) d->Close();
  m_devices.clear();
  m_pending.clear();
}
