// Shared stand-ins for the picture tests: a recording environment, a pre-load cache and a page.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "media/image_environment.h"
#include "model/file_error_report.h"
#include "model/message_service.h"
#include "model/preload_source.h"
#include "platform/gdi/image_dc.h"
#include "platform/base/host_path.h"
#include "platform/gdi/pixel_image.h"
#include "tests/support/packed_file_builder.h"
#include "tests/support/recording_message_sink.h"

namespace tvn::testing {

inline CString Text(const std::filesystem::path& p) { return tvn::path::HostPathToText(p); }

class FakeBlock : public IPreloadBlock {
 public:
  explicit FakeBlock(std::vector<BYTE> bytes) : data(std::move(bytes)) {}
  void SetInUse(bool) override {}
  const BYTE* LockData() override { return data.data(); }
  void UnlockData() override {}
  std::size_t GetDataSize() const override { return data.size(); }
  std::vector<BYTE> data;
};

class FakeCache : public IPreloadCache {
 public:
  IPreloadBlock* FindImage(const CString& name) override {
    for (auto& [key, block] : blocks)
      if (CString(key).CompareNoCase(name.view()) == 0) return &block;
    return nullptr;
  }
  std::map<std::string, FakeBlock> blocks;
};

// Messages and error variables recorded; everything else as the test sets it.
struct RecordingEnvironment {
  RecordingMessageSink sink;
  CMessageService messages{sink, CString("Tvnrun")};
  RecordingErrorVariables variables;
  CFileErrorReporter reporter{variables, messages};
  ImageEnvironment env;

  RecordingEnvironment() {
    env.messages = &messages;
    env.reporter = &reporter;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> out;
    for (const auto& box : sink.boxes) out.push_back(box.text);
    return out;
  }
};

// A white page to draw on.
struct Page {
  CPixelImage image;
  CImageDC dc;
  Page(int width, int height) : image(White(width, height)), dc(image) {}
  COLORREF At(int x, int y) const { return image.GetPixel(x, y); }

 private:
  static CPixelImage White(int width, int height) {
    CPixelImage image(width, height);
    image.Fill(RGB(255, 255, 255));
    return image;
  }
};

}  // namespace tvn::testing
