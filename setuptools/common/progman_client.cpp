// The Program Manager client: connecting once per run, executing commands, requesting a group's answer.
#include "setuptools/common/progman_client.h"

#include "setuptools/common/setup_strings.h"

bool CProgmanClient::ProgmanConnect() {
  if (!m_initialized) {
    if (!m_transport.Initialize()) {
      m_report(SetupString::kNoDde);
      return false;
    }
    m_initialized = true;
  }
  if (!m_connected) {
    m_connected = m_transport.Connect();
    if (!m_connected) m_report(SetupString::kNoProgramManager);
  }
  return m_connected;
}

void CProgmanClient::DdeExecuteCommand(const CString& text) {
  if (!m_connected) return;
  m_transport.Execute(text.view());
}

bool CProgmanClient::DdeRequestItem(const CString& item, CString& text) {
  if (!m_connected) return false;
  auto answer = m_transport.Request(item.view());
  if (!answer) return false;
  const std::size_t nul = answer->find('\0');
  text = CString(nul == std::string::npos ? *answer : answer->substr(0, nul));
  return true;
}

void CProgmanClient::ProgmanDisconnect() {
  if (m_connected) m_transport.Execute("[exitprogman(1)]");
  if (m_connected || m_initialized) m_transport.Disconnect();
  m_connected = false;
  m_initialized = false;
}

std::optional<std::string> AnswerField(std::string_view line, int n) {
  const std::size_t end = line.find_first_of("\r\n");
  if (end != std::string_view::npos) line = line.substr(0, end);
  int index = 0;
  std::string field;
  bool quoted = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      if (index == n) return field;
      ++index;
      field.clear();
    } else {
      field += c;
    }
  }
  if (index == n) return field;
  return std::nullopt;
}
