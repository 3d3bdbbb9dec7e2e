// The pre-load cache: the budget, eviction, entries in use, failures, workers, look-ups and the look-ahead.
#include "page/preload_cache.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <future>
#include <mutex>

#include "model/data_file.h"
#include "model/data_mem_file.h"
#include "model/file_error_report.h"
#include "model/task.h"
#include "platform/base/host_path.h"
#include "tests/support/packed_file_builder.h"
#include "tests/support/recording_message_sink.h"
#include "tests/support/temp_dir.h"

using tvn::testing::PackedFileBuilder;
using tvn::testing::TempDir;

namespace {

CString Text(const std::filesystem::path& p) { return tvn::path::HostPathToText(p); }

// A picture of a given size, as a decoder makes it from the file's first byte.
class CSizedImage final : public IPreloadImage {
 public:
  explicit CSizedImage(std::size_t size) : m_size(size) {}
  std::size_t GetMemorySize() const override { return m_size; }
  bool HasData() const override { return m_size > 0; }

 private:
  std::size_t m_size;
};

class CByteDecoder final : public IPreloadImageDecoder {
 public:
  std::unique_ptr<IPreloadImage> Decode(CFile& file, const CString&) override {
    BYTE b = 0;
    if (file.Read(&b, 1) != 1) return nullptr;
    return std::make_unique<CSizedImage>(static_cast<std::size_t>(b) * 1000);
  }
};

class PreloadCacheTest : public ::testing::Test {
 protected:
  CString MakeFile(const std::string& name, std::size_t size, BYTE fill = 'x') {
    tvn::testing::WriteBytes(dir / name, std::vector<std::uint8_t>(size, fill));
    return Text(dir / name);
  }

  TempDir dir;
  tvn::testing::RecordingMessageSink sink;
  tvn::testing::RecordingErrorVariables vars;
  CMessageService messages{sink, "Tvnrun"};
  CFileErrorReporter reporter{vars, messages};
  CPreloadCache cache{nullptr, &reporter};
};

// A response that leads to the task it names.
class CBranch : public CIconObject {
 public:
  explicit CBranch(CTask* target) : target(target) {}
  CTask* target;
};

class CFileUser : public CIconObject {
 public:
  explicit CFileUser(std::vector<CString> names) : names(std::move(names)) {}
  BOOL CollectFiles(CStringArray* files, int) override {
    for (const CString& n : names) files->Add(n);
    return TRUE;
  }
  std::vector<CString> names;
};

class CFakeCourse final : public IPreloadCourse {
 public:
  CTask* GetCurrentTask() override { return current; }
  CTask* TaskAfter(CIconObject* response) override { return static_cast<CBranch*>(response)->target; }
  CString FindMediaFile(const CString& name) override { return Text(folder / name.str()); }
  CTask* current = nullptr;
  std::filesystem::path folder;
};

}  // namespace

TEST_F(PreloadCacheTest, ANewFileEvictsTheOldestWhenTheBudgetIsShort) {
  const CString half = MakeFile("half.wav", 1500000), twoThirds = MakeFile("two.wav", 2000000);
  EXPECT_TRUE(cache.AddObject(half, TRUE));
  EXPECT_EQ(cache.GetUsed(), 1500000);
  EXPECT_TRUE(cache.AddObject(twoThirds, TRUE));
  EXPECT_EQ(cache.GetUsed(), 2000000);
  ASSERT_EQ(cache.GetEntryCount(), 1);
  CString upper = twoThirds;
  EXPECT_EQ(cache.Describe()[0].first, upper.MakeUpper());
}

TEST_F(PreloadCacheTest, OneNameIsLoadedOnceWhateverItsCaseAndWhoeverLoadsIt) {
  const CString name = MakeFile("clip.wav", 1000);
  CString lower = name;
  lower.MakeLower();
  cache.AddObject(name, FALSE);
  cache.AddObject(name, FALSE);
  cache.WaitForWorkers();
  cache.AddObject(lower, TRUE);
  EXPECT_EQ(cache.GetEntryCount(), 1);
  EXPECT_EQ(cache.GetUsed(), 1000);
  EXPECT_TRUE(cache.Describe()[0].second);
}

TEST_F(PreloadCacheTest, EntriesInUseAreNeverEvictedAndTheNewcomerGivesWay) {
  const CString first = MakeFile("first.wav", 1500000, 'a'), second = MakeFile("second.wav", 2000000);
  cache.AddObject(first, TRUE);
  {
    CDataMemFile reader(nullptr, &cache);
    ASSERT_TRUE(reader.Open(first, CFile::modeRead));
    ASSERT_TRUE(reader.IsFromCache());
    BYTE b = 0;
    EXPECT_EQ(reader.Read(&b, 1), 1u);
    EXPECT_EQ(b, 'a');
    EXPECT_EQ(reader.GetLength(), 1500000u);
    cache.AddObject(second, TRUE);  // the first is being read: the second is not kept
    EXPECT_EQ(cache.GetUsed(), 1500000);
  }
  // Read and released: now it can go for the next newcomer.
  const CString third = MakeFile("third.wav", 2000000);
  cache.AddObject(third, TRUE);
  EXPECT_EQ(cache.GetUsed(), 2000000);
}

TEST_F(PreloadCacheTest, AFileLargerThanTheWholeBudgetIsNotKeptAndEvictsNothing) {
  cache.SetBudget(5000);
  const CString small = MakeFile("small.wav", 1000), huge = MakeFile("huge.wav", 6000);
  cache.AddObject(small, TRUE);
  cache.AddObject(huge, TRUE);
  EXPECT_EQ(cache.GetUsed(), 1000);
  EXPECT_EQ(cache.GetEntryCount(), 2);
  EXPECT_FALSE(cache.Describe()[1].second);
}

TEST_F(PreloadCacheTest, FilesAreReadOutsideTheLockAndOneLargerThanTheBudgetIsNeverRead) {
  const CString small = MakeFile("small.wav", 1000), clip = MakeFile("clip.wav", 2000);
  // 1.5 GB that take no room on the disk: a film far past the budget.
  const auto film = dir / "film.avi";
  tvn::testing::WriteBytes(film, {});
  std::filesystem::resize_file(film, 1500000000);
  // While a file is being read, the page opens the small file on another
  // thread: it gets its answer while the read waits for it. (The bound only
  // keeps a cache that holds its lock across the read from hanging the test.)
  std::vector<std::string> read;
  std::vector<bool> answered;
  std::vector<std::future<bool>> lookUps;  // each taken up once the reads are done
  cache.SetReadHook([&](const CString& name) {
    read.push_back(name.str());
    lookUps.push_back(std::async(std::launch::async, [&] {
      CDataMemFile reader(nullptr, &cache);
      return reader.Open(small, CFile::modeRead) && reader.IsFromCache();
    }));
    answered.push_back(lookUps.back().wait_for(std::chrono::seconds(10)) == std::future_status::ready);
  });
  cache.AddObject(small, TRUE);
  cache.AddObject(Text(film), FALSE);
  cache.AddObject(clip, FALSE);
  cache.WaitForWorkers();
  std::vector<bool> fromCache;
  for (auto& lookUp : lookUps) fromCache.push_back(lookUp.get());

  CString smallName = small, clipName = clip;
  EXPECT_EQ(read, (std::vector<std::string>{smallName.MakeUpper().str(), clipName.MakeUpper().str()}))
      << "the film is never read";
  EXPECT_EQ(answered, (std::vector<bool>{true, true}));
  EXPECT_EQ(fromCache, (std::vector<bool>{false, true})) << "the small file was in the cache for the second read";
  EXPECT_EQ(cache.GetUsed(), 3000);
  const auto entries = cache.Describe();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_FALSE(entries[1].second) << "the film is not loaded";
  EXPECT_EQ(vars.calls, 0) << "a file that cannot fit is no error";
}

TEST_F(PreloadCacheTest, TheCoursesBudgetVariableTakesEffectOnTheNextLoad) {
  std::optional<LONG> variable;
  cache.SetBudgetSource([&] { return variable; });
  const CString a = MakeFile("a.wav", 3000), b = MakeFile("b.wav", 3000);
  cache.AddObject(a, TRUE);
  variable = 4000;
  cache.AddObject(b, TRUE);
  EXPECT_EQ(cache.GetEntryCount(), 1);
  EXPECT_EQ(cache.GetUsed(), 3000);
}

TEST_F(PreloadCacheTest, AMissingFileSetsTheErrorVariablesAndStaysUnloaded) {
  const CString missing = Text(dir / "nothere.wav");
  cache.AddObject(missing, TRUE);
  EXPECT_EQ(vars.calls, 1);
  EXPECT_EQ(vars.errorNumber, CFileException::fileNotFound);
  cache.AddObject(missing, TRUE);  // known already: nothing more happens
  EXPECT_EQ(vars.calls, 1);
  EXPECT_EQ(cache.FindImage(missing), nullptr);
  EXPECT_EQ(cache.GetUsed(), 0);
}

TEST_F(PreloadCacheTest, ExtensionsDecideWhatIsLoadedAndHow) {
  EXPECT_EQ(CPreloadCache::ExtensionOf("C:\\A.B\\CLIP.Tar.WAV"), CString(".tar.wav"));
  EXPECT_EQ(CPreloadCache::ExtensionOf("C:\\A.B\\README"), CString(""));
  const CString plain = MakeFile("README", 10), unknown = MakeFile("data.xyz", 10);
  cache.AddObject(plain, TRUE);
  cache.AddObject(unknown, TRUE);
  EXPECT_EQ(cache.GetUsed(), 10);  // no dot: raw bytes; an unknown extension: not loaded
  EXPECT_NE(cache.FindImage(plain), nullptr);
  EXPECT_EQ(cache.FindImage(unknown), nullptr);
}

TEST_F(PreloadCacheTest, PicturesAreFoundByExactNameAndBytesIgnoringCase) {
  CByteDecoder decoder;
  cache.SetImageDecoder(&decoder);
  const CString picture = MakeFile("pic.bmp", 4, 3), sound = MakeFile("snd.wav", 7);
  cache.AddObject(picture, TRUE);
  cache.AddObject(sound, TRUE);
  EXPECT_EQ(cache.GetUsed(), 3007);
  CString upper = picture, lower = picture;
  upper.MakeUpper();
  lower.MakeLower();
  ASSERT_NE(cache.FindObject(upper), nullptr);
  EXPECT_EQ(cache.FindObject(lower), nullptr);
  EXPECT_EQ(cache.FindImage(picture), nullptr);  // no bytes to read as a file
  CString soundLower = sound;
  IPreloadBlock* block = cache.FindImage(soundLower.MakeLower());
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block->GetDataSize(), 7u);
  block->SetInUse(true);
  block->SetInUse(false);
}

TEST_F(PreloadCacheTest, EntriesOfThePackedDataFileAreTakenFromIt) {
  PackedFileBuilder b;
  b.Add("INTRO.WAV", "packed bytes");
  b.WriteTo(dir / "pack.dat");
  CDataFile data(&reporter);
  ASSERT_TRUE(data.Open(Text(dir / "pack.dat")));
  CPreloadCache packed(&data, &reporter);
  packed.AddObject("intro.wav", TRUE);
  EXPECT_EQ(packed.GetUsed(), 12);
  CDataMemFile reader(nullptr, &packed);
  ASSERT_TRUE(reader.Open("INTRO.WAV", CFile::modeRead));
  char text[13] = {};
  EXPECT_EQ(reader.Read(text, 12), 12u);
  EXPECT_STREQ(text, "packed bytes");
}

TEST_F(PreloadCacheTest, AReadThatFailsPartWayKeepsNothingAndThePageReadsTheFileItself) {
  std::vector<std::uint8_t> sound(60000);
  for (std::size_t i = 0; i < sound.size(); ++i) sound[i] = static_cast<std::uint8_t>(i % 253 + 1);
  PackedFileBuilder b;
  b.Add("INTRO.WAV", sound);
  const auto pack = dir / "pack.dat";
  b.WriteTo(pack);
  CDataFile data(&reporter);
  ASSERT_TRUE(data.Open(Text(pack)));
  // The packed file loses its tail after it was opened (a disc taken out,
  // a share gone): reading the entry stops half-way.
  std::filesystem::resize_file(pack, std::filesystem::file_size(pack) - sound.size() / 2);
  CPreloadCache packed(&data, &reporter);
  packed.AddObject("intro.wav", TRUE);
  EXPECT_EQ(vars.calls, 1);
  EXPECT_EQ(vars.errorNumber, CFileException::endOfFile);
  EXPECT_NE(vars.errorMessage.find("INTRO.WAV"), std::string::npos) << vars.errorMessage;
  EXPECT_EQ(packed.GetUsed(), 0);
  ASSERT_EQ(packed.Describe().size(), 1u);
  EXPECT_FALSE(packed.Describe()[0].second);
  EXPECT_EQ(packed.FindImage("INTRO.WAV"), nullptr);

  // With the file whole again the page reads it from the packed file, not a half copy.
  b.WriteTo(pack);
  CDataMemFile reader(&data, &packed);
  ASSERT_TRUE(reader.Open("INTRO.WAV", CFile::modeRead));
  EXPECT_FALSE(reader.IsFromCache());
  std::vector<std::uint8_t> read(sound.size() + 1);
  EXPECT_EQ(reader.Read(read.data(), static_cast<UINT>(read.size())), sound.size());
  read.pop_back();
  EXPECT_EQ(read, sound);
}

// The workers stop before the packed file they read closes, or opens another
// (the program's end, a course replaced): the read under way is awaited and
// kept whole, and work not begun is dropped without an error. Under
// ThreadSanitizer a worker left running races the close on the directory.
TEST_F(PreloadCacheTest, WorkersStopBeforeThePackedFileClosesOrOpensAnother) {
  constexpr int kEntries = 16;
  const auto bytesOf = [](char pack, int i) {
    return std::vector<std::uint8_t>(65536, static_cast<std::uint8_t>(pack + i));
  };
  const auto nameOf = [](const char* stem, int i) { return std::string(stem) + std::to_string(i) + ".WAV"; };
  PackedFileBuilder first, second;
  for (int i = 0; i < kEntries; ++i) {
    first.Add(nameOf("CLIP", i), bytesOf('A', i));
    first.Add(nameOf("MORE", i), bytesOf('Q', i));
    second.Add(nameOf("NEXT", i), bytesOf('a', i));
  }
  first.WriteTo(dir / "first.dat");
  second.WriteTo(dir / "second.dat");
  CDataFile data(&reporter);
  ASSERT_TRUE(data.Open(Text(dir / "first.dat")));
  CPreloadCache packed(&data, &reporter);
  packed.SetBudget(100 << 20);

  // The first read after the adds waits until the test lets it go on.
  std::mutex lock;
  std::condition_variable changed;
  bool reading = false, go = false;
  packed.SetReadHook([&](const CString&) {
    std::unique_lock held(lock);
    if (reading) return;
    reading = true;
    changed.notify_all();
    changed.wait(held, [&] { return go; });
  });
  const auto addWhileOneReads = [&](const char* stem) {
    {
      std::lock_guard held(lock);
      reading = go = false;
    }
    for (int i = 0; i < kEntries; ++i) packed.AddObject(CString(nameOf(stem, i)), FALSE);
    std::unique_lock held(lock);
    const bool began = changed.wait_for(held, std::chrono::seconds(60), [&] { return reading; });
    go = true;
    changed.notify_all();
    EXPECT_TRUE(began);
  };
  // Every entry left is loaded with its packed file's bytes; those of the stem are counted.
  const auto loadedWhole = [&](const char* stem, char pack) {
    int loaded = 0;
    for (const auto& [name, isLoaded] : packed.Describe()) {
      EXPECT_TRUE(isLoaded) << name.str();
      if (!isLoaded || !name.view().starts_with(stem)) continue;
      CDataMemFile reader(nullptr, &packed);
      EXPECT_TRUE(reader.Open(name, CFile::modeRead) && reader.IsFromCache()) << name.str();
      std::vector<std::uint8_t> read(65537);
      read.resize(reader.Read(read.data(), static_cast<UINT>(read.size())));
      EXPECT_EQ(read, bytesOf(pack, std::stoi(name.str().substr(std::strlen(stem))))) << name.str();
      ++loaded;
    }
    EXPECT_EQ(vars.calls, 0) << "a worker read on after the packed file changed";
    return loaded;
  };

  addWhileOneReads("CLIP");
  data.Close();
  EXPECT_GE(loadedWhole("CLIP", 'A'), 1);

  ASSERT_TRUE(data.Open(Text(dir / "first.dat")));
  addWhileOneReads("MORE");
  ASSERT_TRUE(data.Open(Text(dir / "second.dat")));
  EXPECT_GE(loadedWhole("MORE", 'Q'), 1);

  for (int i = 0; i < kEntries; ++i) packed.AddObject(CString(nameOf("NEXT", i)), FALSE);
  packed.WaitForWorkers();
  EXPECT_EQ(loadedWhole("NEXT", 'a'), kEntries);
}

TEST_F(PreloadCacheTest, TheLookAheadAddsTheFilesOfTheTasksTheResponsesLeadTo) {
  MakeFile("next.wav", 100);
  MakeFile("also.wav", 50);
  MakeFile("skipped.wav", 70);
  CTask current, next, other;
  next.GetActions()->AddChild(std::make_unique<CFileUser>(std::vector<CString>{"next.wav", "{Var}.wav"}));
  auto disabled = std::make_unique<CFileUser>(std::vector<CString>{"skipped.wav"});
  disabled->SetFlags(kIconFlagDisabled);
  next.GetActions()->AddChild(std::move(disabled));
  other.GetEvents()->AddChild(std::make_unique<CFileUser>(std::vector<CString>{"also.wav"}));
  current.GetResponses()->AddChild(std::make_unique<CBranch>(&next));
  current.GetResponses()->AddChild(std::make_unique<CBranch>(&other));
  current.GetResponses()->AddChild(std::make_unique<CBranch>(nullptr));

  CFakeCourse course;
  course.current = &current;
  course.folder = dir.path();
  cache.PreloadNextTasks(course);
  cache.WaitForWorkers();
  EXPECT_EQ(cache.GetEntryCount(), 2);
  EXPECT_EQ(cache.GetUsed(), 150);
}
