// Fractal and Photo CD pictures: call order, flag maps, region rounding and messages, against recording fakes.
#include <gtest/gtest.h>

#include <map>

#include "media/image.h"
#include "media/optional_decoders.h"
#include "tests/media/image_test_util.h"
#include "tests/media/media_test_util.h"
#include "tests/support/bmp_writer.h"
#include "tests/support/temp_dir.h"

using namespace tvn::testing;

namespace {

std::vector<BYTE> SmallDib() {
  BmpFile f;
  f.width = 1;
  f.height = 1;
  f.pixels = {0, 0, 255, 0};
  return f.Bytes();
}

class RecordingPhotoCd : public IPhotoCdToolkit {
 public:
  std::vector<std::string> calls;
  std::map<std::string, Status> statuses;  // by call name; 0 when not given
  bool loads = true;
  std::vector<BYTE> dib = SmallDib();
  std::vector<int> paletteArgs;
  std::vector<BYTE> paletteTable;
  std::optional<PhotoCdRegion> region;
  PhotoCdAbortProc abortProc = nullptr;

  Status Result(const std::string& name) {
    auto it = statuses.find(name);
    return it == statuses.end() ? Status(0) : it->second;
  }
  BOOL Load() override {
    calls.push_back("load");
    return loads;
  }
  void Unload() override { calls.push_back("unload"); }
  Status Open(const CString& name, Photo& photo) override {
    calls.push_back("open " + name.str());
    photo = 77;
    return Result("open");
  }
  Status GetRotation(Photo photo, int& rotation) override {
    calls.push_back("rotation " + std::to_string(photo));
    rotation = 3;
    return Result("rotation");
  }
  Status SetTransform(Photo, int rotation) override {
    calls.push_back("transform " + std::to_string(rotation));
    return Result("transform");
  }
  Status SetResolution(Photo, int resolution) override {
    calls.push_back("resolution " + std::to_string(resolution));
    return Result("resolution");
  }
  Status SetFormat(Photo, int format) override {
    calls.push_back("format " + std::to_string(format));
    return Result("format");
  }
  Status CreatePalette(const BYTE* table, const PaletteArgs& args, Palette& palette) override {
    calls.push_back("palette " + std::to_string(args[2]));
    paletteArgs.assign(args.begin(), args.end());
    if (table) paletteTable.assign(table, table + 48);
    palette = 5;
    return Result("palette");
  }
  Status SetPalette(Photo, Palette palette) override {
    calls.push_back("setpalette " + std::to_string(palette));
    return Result("setpalette");
  }
  Status SetAbort(Photo, PhotoCdAbortProc check, LPARAM) override {
    calls.push_back("abort");
    abortProc = check;
    return Result("abort");
  }
  Status LoadImage(Photo, const PhotoCdRegion* r, std::vector<BYTE>& out) override {
    calls.push_back(r ? "image region" : "image whole");
    if (r) region = *r;
    const Status s = Result("image");
    if (s && *s == 0) out = dib;
    return s;
  }
  Status FreePalette(Palette palette) override {
    calls.push_back("freepalette " + std::to_string(palette));
    return 0;
  }
  Status Close(Photo) override {
    calls.push_back("close");
    return 0;
  }
};

class RecordingFractal : public IFractalDecoder {
 public:
  std::vector<std::string> calls;
  bool loads = true;
  int setUp = 0;
  std::vector<BYTE> dib;
  std::optional<int> error = 0;

  BOOL Load(const CString& path) override {
    calls.push_back("load " + path.str());
    return loads;
  }
  void Unload() override { calls.push_back("unload"); }
  int SetUpDLL() override {
    calls.push_back("setup");
    return setUp;
  }
  std::vector<BYTE> DecompressFile(const CString& name) override {
    calls.push_back("decompress " + name.str());
    return dib;
  }
  std::optional<int> GetErrorNumber() override {
    calls.push_back("error");
    return error;
  }
  void ReleaseDLL() override { calls.push_back("release"); }
};

struct PhotoFixture {
  RecordingEnvironment r;
  RecordingPhotoCd toolkit;
  CImage image;
  PhotoFixture() {
    r.env.photoCd = &toolkit;
    r.env.featureBits = FeatureBit::kPhotoCd;
    image.SetEnvironment(&r.env);
  }
  BOOL Load(DWORD flags, CRect region = CRect()) { return image.LoadPhotoCDImage("IMG0001.PCD", flags, region); }
};

}  // namespace

TEST(PhotoCd, DefaultFlagsLoadAtResolution2InFormat13WithThe256Palette) {
  PhotoFixture f;
  EXPECT_TRUE(f.Load(ImageFlag::kDefault));
  const std::vector<std::string> expected = {"load",         "open IMG0001.PCD", "rotation 77",  "transform 3",
                                             "resolution 2", "format 13",        "palette 256",  "setpalette 5",
                                             "abort",        "image whole",      "freepalette 5", "close",
                                             "unload"};
  EXPECT_EQ(f.toolkit.calls, expected);
  EXPECT_EQ(f.toolkit.paletteArgs, (std::vector<int>{0, 0, 256, 0, 3, 3, 2, 1, 1, 1}));
  EXPECT_EQ(f.toolkit.abortProc, &PhotoCDAbortCheck);
  EXPECT_EQ(PixelAt(f.image, 0, 0), RGB(255, 0, 0));
  EXPECT_TRUE(f.r.sink.boxes.empty());
  // A picture already there is kept without asking the toolkit.
  f.toolkit.calls.clear();
  EXPECT_TRUE(f.Load(ImageFlag::kDefault));
  EXPECT_TRUE(f.toolkit.calls.empty());
}

TEST(PhotoCd, FlagsChooseResolutionFormatAndPalette) {
  struct Row {
    DWORD flags;
    std::string resolution, format, palette;
  };
  const Row rows[] = {
      {0x00, "resolution 2", "format 13", ""},
      {0x02 | 0x20, "resolution 1", "format 13", ""},
      {0x20 | 0x08, "resolution 5", "format 13", ""},
      {0x08 | 0x10, "resolution 3", "format 13", ""},
      {0x10, "resolution 4", "format 13", ""},
      {0x40 | 0x80, "resolution 2", "format 11", "palette 256"},
      {0x200, "resolution 2", "format 10", ""},
      {0x100 | 0x80, "resolution 2", "format 13", "palette 16"},
  };
  int n = 0;
  for (const Row& row : rows) {
    PhotoFixture f;
    EXPECT_TRUE(f.Load(row.flags)) << "row " << n;
    const auto& c = f.toolkit.calls;
    EXPECT_EQ(c[4], row.resolution) << "row " << n;
    EXPECT_EQ(c[5], row.format) << "row " << n;
    EXPECT_EQ(c[6], row.palette.empty() ? "abort" : row.palette) << "row " << n;
    ++n;
  }
  PhotoFixture small;
  EXPECT_TRUE(small.Load(0x100));
  EXPECT_EQ(small.toolkit.paletteArgs, (std::vector<int>{1, 3, 16, 0, 4, 4, 3, 0, 0, 1}));
  ASSERT_EQ(small.toolkit.paletteTable.size(), 48u);
  EXPECT_EQ(small.toolkit.paletteTable[0], 0x00);
  EXPECT_EQ(small.toolkit.paletteTable[1], 0x9C);
  EXPECT_EQ(small.toolkit.paletteTable[47], 0x89);
}

TEST(PhotoCd, RegionsAreRoundedDownTo8AndPassedTopFirst) {
  PhotoFixture f;
  CRect region(13, 21, 100, 57);
  EXPECT_TRUE(f.image.LoadPhotoCDImage("A.PCD", 0, region));
  ASSERT_TRUE(f.toolkit.region);
  EXPECT_EQ(*f.toolkit.region, (PhotoCdRegion{16, 8, 56, 96}));
}

TEST(PhotoCd, FailuresEndTheLoadWithTheirMessagesAndAlwaysClose) {
  const std::string failed = "Call to Photo CD toolkit function failed.";
  struct Row {
    std::string call;
    IPhotoCdToolkit::Status status;
    std::vector<std::string> messages;
    bool closes;
  };
  const Row rows[] = {
      {"open", 4, {}, false},
      {"rotation", 1, {}, true},
      {"resolution", 1, {}, true},
      {"format", std::nullopt, {}, true},
      {"palette", 2, {failed}, true},
      {"setpalette", 2, {failed}, true},
      {"abort", 9, {failed}, true},
      {"image", 3003, {}, true},
      {"image", 12, {"Insufficient memory to perform operation."}, true},
      {"image", 7, {failed}, true},
      {"image", std::nullopt, {}, true},
  };
  int n = 0;
  for (const Row& row : rows) {
    PhotoFixture f;
    f.toolkit.statuses[row.call] = row.status;
    EXPECT_FALSE(f.Load(ImageFlag::kDefault)) << "row " << n;
    EXPECT_TRUE(f.image.hDib.empty()) << "row " << n;
    EXPECT_EQ(f.r.Texts(), row.messages) << "row " << n;
    const auto& c = f.toolkit.calls;
    EXPECT_EQ(c.back(), "unload") << "row " << n;
    EXPECT_EQ(std::find(c.begin(), c.end(), "close") != c.end(), row.closes) << "row " << n;
    ++n;
  }
  PhotoFixture garbage;
  garbage.toolkit.dib = {1, 2, 3};
  EXPECT_FALSE(garbage.Load(ImageFlag::kDefault)) << "what the toolkit gives is checked";

  PhotoFixture noLibrary;
  noLibrary.toolkit.loads = false;
  EXPECT_FALSE(noLibrary.Load(ImageFlag::kDefault));
  EXPECT_EQ(noLibrary.toolkit.calls, std::vector<std::string>{"load"});

  PhotoFixture noBit;
  noBit.r.env.featureBits = 0;
  EXPECT_FALSE(noBit.Load(ImageFlag::kDefault));
  EXPECT_TRUE(noBit.toolkit.calls.empty());
}

TEST(PhotoCd, AbortCheckStopsOnEscapeAndDispatchesOtherKeys) {
  struct Queue : IKeyboardQueue {
    std::vector<QueuedMessage> waiting;
    std::vector<UINT> dispatched;
    bool TakeKeyMessage(QueuedMessage& out) override {
      if (waiting.empty()) return false;
      out = waiting.front();
      waiting.erase(waiting.begin());
      return true;
    }
    void Dispatch(const QueuedMessage& msg) override { dispatched.push_back(msg.message); }
  } queue;
  queue.waiting = {{nullptr, 0x0100, 'A', 0}, {nullptr, 0x0102, 27, 0}};
  EXPECT_FALSE(PhotoCDAbortCheck(&queue));
  EXPECT_EQ(queue.dispatched, std::vector<UINT>{0x0100});
  EXPECT_TRUE(PhotoCDAbortCheck(&queue));
  EXPECT_FALSE(PhotoCDAbortCheck(&queue));
  EXPECT_FALSE(PhotoCDAbortCheck(nullptr));
}

TEST(Fractal, ErrorsBecomeTheirMessages) {
  struct Row {
    std::optional<int> error;
    std::vector<std::string> messages;
  };
  const Row rows[] = {
      {-55, {"Fractal input is unknown"}},
      {20, {"Fractal memory acclocation failed"}},
      {-69, {"Input FIF file requires a newer version of the decompressor"}},
      {7, {"An error occured while loading Fractal image 'SKY.FIF'"}},
      {0, {}},
      {std::nullopt, {"An error occured while loading Fractal image 'SKY.FIF'"}},
  };
  int n = 0;
  for (const Row& row : rows) {
    RecordingEnvironment r;
    RecordingFractal decoder;
    decoder.error = row.error;
    r.env.fractal = &decoder;
    CImage image;
    image.SetEnvironment(&r.env);
    EXPECT_FALSE(image.LoadFractalImage("SKY.FIF", "/opt/tvn/FIFDECO.DLL")) << "row " << n;
    EXPECT_EQ(r.Texts(), row.messages) << "row " << n;
    const std::vector<std::string> expected = {"load /opt/tvn/FIFDECO.DLL", "setup", "decompress SKY.FIF", "error",
                                               "release", "unload"};
    EXPECT_EQ(decoder.calls, expected) << "row " << n;
    ++n;
  }
}

TEST(Fractal, SetUpFailureUnloadsAndSuccessKeepsThePicture) {
  RecordingEnvironment r;
  RecordingFractal decoder;
  r.env.fractal = &decoder;
  CImage image;
  image.SetEnvironment(&r.env);
  decoder.setUp = 3;
  EXPECT_FALSE(image.LoadFractalImage("A.FIF", "x"));
  EXPECT_EQ(decoder.calls, (std::vector<std::string>{"load x", "setup", "unload"}));

  decoder.calls.clear();
  decoder.setUp = 0;
  decoder.dib = SmallDib();
  EXPECT_TRUE(image.LoadFractalImage("A.FIF", "x"));
  EXPECT_EQ(decoder.calls, (std::vector<std::string>{"load x", "setup", "decompress A.FIF", "release", "unload"}));
  EXPECT_TRUE(r.sink.boxes.empty());
}

TEST(OptionalKinds, LoadingByNameUsesTheProvidersWhenTheirBitsAreSet) {
  TempDir dir;
  WriteBytes(dir.path() / "sky.fif", {1, 2, 3});
  WriteBytes(dir.path() / "img.pcd", {1, 2, 3});
  RecordingEnvironment r;
  RecordingFractal decoder;
  decoder.dib = SmallDib();
  RecordingPhotoCd toolkit;
  r.env.fractal = &decoder;
  r.env.photoCd = &toolkit;
  r.env.featureBits = FeatureBit::kFractal | FeatureBit::kPhotoCd;
  r.env.programDirectory = "C:\\TVN\\";

  CImage fractal;
  fractal.SetEnvironment(&r.env);
  fractal.fileName = Text(dir.path() / "sky.fif");
  EXPECT_TRUE(fractal.Load());
  EXPECT_EQ(fractal.kind, ImageKind::kFractal);
  EXPECT_EQ(decoder.calls.front(), "load C:\\TVN\\FIFDECO.DLL");

  CImage photo;
  photo.SetEnvironment(&r.env);
  photo.fileName = Text(dir.path() / "img.pcd");
  photo.pictureRect = CRect(0, 0, 64, 64);
  EXPECT_TRUE(photo.Load());
  EXPECT_EQ(photo.kind, ImageKind::kPhotoCd);
  EXPECT_EQ(*toolkit.region, (PhotoCdRegion{0, 0, 64, 64}));
  EXPECT_FALSE(photo.hBitmap.IsNull());
}
