// A recording stand-in for Program Manager: the commands sent, the items asked for, and answers from a table.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "setuptools/common/progman_client.h"

namespace tvn::testing {

class RecordingProgman : public IProgmanTransport {
 public:
  bool Initialize() override { return initializes; }
  bool Connect() override {
    ++connects;
    return answers;
  }
  void Execute(std::string_view command) override { commands.emplace_back(command); }
  std::optional<std::string> Request(std::string_view item) override {
    requests.emplace_back(item);
    auto it = groups.find(std::string(item));
    if (it == groups.end()) return std::nullopt;
    return it->second;
  }
  void Disconnect() override { ++disconnects; }

  bool initializes = true;
  bool answers = true;
  int connects = 0, disconnects = 0;
  std::vector<std::string> commands, requests;
  std::map<std::string, std::string> groups;  // request answers by group
};

}  // namespace tvn::testing
