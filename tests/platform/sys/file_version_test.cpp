// The version resource of PE images: 32 and 64 bit, translations, damaged and foreign files.
#include "platform/sys/file_version.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/pe_writer.h"
#include "tests/support/temp_dir.h"

using tvn::testing::BuildPeImage;
using tvn::testing::PeImageOptions;

namespace {

TEST(FileVersion, ReadsTheFirstTranslationsFileVersion) {
  for (bool bits64 : {false, true}) {
    PeImageOptions options;
    options.bits64 = bits64;
    options.fileVersion = "4, 0, 0, 1";
    options.fileType = 2;
    auto resource = tvn::sys::ParseVersionResource(BuildPeImage(options));
    ASSERT_TRUE(resource) << bits64;
    EXPECT_EQ(resource->translationKey, "040904b0");
    EXPECT_EQ(resource->fileVersion, "4, 0, 0, 1");
    EXPECT_EQ(resource->fileType, 2u);
  }
  // Fixed information with a wrong signature states no type; the strings still count.
  std::string image = BuildPeImage({});
  const std::size_t signature = image.find("\xBD\x04\xEF\xFE");
  ASSERT_NE(signature, std::string::npos);
  image[signature] = 0;
  auto unsigned_ = tvn::sys::ParseVersionResource(image);
  ASSERT_TRUE(unsigned_);
  EXPECT_FALSE(unsigned_->fileType);
  EXPECT_EQ(unsigned_->fileVersion, "1.0.0.0");
  PeImageOptions other;
  other.stringTableKey = "040704b0";  // a table of another language only
  auto resource = tvn::sys::ParseVersionResource(BuildPeImage(other));
  ASSERT_TRUE(resource);
  EXPECT_EQ(resource->fileVersion, "");
  other.withVersion = false;
  EXPECT_FALSE(tvn::sys::ParseVersionResource(BuildPeImage(other)));
}

TEST(FileVersion, DamagedAndForeignFilesGiveNothing) {
  std::string image = BuildPeImage({});
  for (std::size_t cut = 0; cut < image.size(); cut += 7) {
    auto resource = tvn::sys::ParseVersionResource(std::string_view(image).substr(0, cut));
    if (resource) {
      EXPECT_TRUE(resource->fileVersion.empty() || resource->fileVersion == "1.0.0.0");
    }
  }
  tvn::testing::TempDir dir;
  std::ofstream(dir / "tool.exe", std::ios::binary) << BuildPeImage({});
  std::ofstream(dir / "script.sh", std::ios::binary) << "#!/bin/sh\necho hello, this is no program image\n";
  EXPECT_EQ(tvn::sys::GetFileVersionString(dir / "tool.exe"), "1.0.0.0");
  EXPECT_EQ(tvn::sys::GetFileVersionString(dir / "script.sh"), "");
  EXPECT_EQ(tvn::sys::GetFileVersionString(dir / "missing.dll"), "");
}

}  // namespace
