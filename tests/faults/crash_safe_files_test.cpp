// The data files survive a sudden end and damaged contents: a writer killed
// at any moment leaves each file whole (its old contents or its new, never
// missing or partial), and junk, huge lines, stray line ends and bytes that
// are no UTF-8 load without a crash and survive the next save.
//
// The kill trials run 200 times; set QUEXA_CRASH_TRIALS (for example
// QUEXA_CRASH_TRIALS=1000) for a longer run by hand.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/settings.h"
#include "data/index_file.h"
#include "data/text_file.h"
#include "data/word_list.h"
#include "support/scratch_dir.h"

namespace quexa {
namespace {

using quexa::testing::ScratchDir;
using Lines = std::vector<std::string>;

int crashTrials() {
  const char* text = std::getenv("QUEXA_CRASH_TRIALS");
  const int n = text != nullptr ? std::atoi(text) : 0;
  return n > 0 ? n : 200;
}

// Lists long enough that a write takes a while, so kills land inside one.
Lines numbered(const std::string& stem, int count) {
  Lines lines;
  for (int i = 0; i < count; ++i) lines.push_back(stem + " " + std::to_string(i));
  return lines;
}

Settings settingsVersion(int version) {
  Settings s;
  s.proxyText = version == 0 ? "old.proxy.example:8080" : "new.proxy.example:3128";
  s.hitsText = version == 0 ? "3000" : "450";
  s.optCase = version == 1;
  s.savedFormWidth = version == 0 ? 9375 : 12000;
  return s;
}

// The other sections every version keeps around the rewritten one.
void seedDataFiles(const ScratchDir& dir) {
  dir.write(kWordFileName, "[Before]\r\nfirst text\r\n[Mine]\r\nseed\r\n[After]\r\nlast text\r\n");
  dir.write(kIndexFileName,
            "[Before]\r\nhttp://before.example/\r\n[Mine]\r\nhttp://seed.example/\r\n"
            "[After]\r\nhttp://after.example/\r\n");
}

// One version of all three files, written the way the window saves them.
void writeVersion(const std::string& dataDir, int version) {
  const std::string stem = version == 0 ? "old" : "new";
  saveWordList(dataDir, false, "Mine", numbered(stem + " search text", version == 0 ? 300 : 700));
  replaceIndexSection(dataDir, "Mine",
                      numbered("http://" + stem + ".example/page", version == 0 ? 700 : 300));
  saveSettings(dataDir, settingsVersion(version));
}

struct FileVersions {
  std::string name;
  std::string oldBytes;
  std::string newBytes;
};

std::vector<FileVersions> referenceVersions() {
  ScratchDir ref;
  seedDataFiles(ref);
  const std::vector<std::string> names{kWordFileName, kIndexFileName, kSettingsFileName};
  std::vector<FileVersions> versions;
  writeVersion(ref.path(), 0);
  for (const auto& name : names) versions.push_back({name, ref.read(name), ""});
  writeVersion(ref.path(), 1);
  for (auto& v : versions) v.newBytes = ref.read(v.name);
  writeVersion(ref.path(), 0);
  for (auto& v : versions) EXPECT_EQ(ref.read(v.name), v.oldBytes) << v.name << " is not stable";
  return versions;
}

// Rewrites the files back and forth until it is killed; tells the parent
// through `ready` once it runs. Only the save functions and _exit are called.
[[noreturn]] void rewriteForever(const std::string& dataDir, int ready) {
  const char byte = 1;
  if (::write(ready, &byte, 1) != 1) ::_exit(3);
  try {
    for (int i = 1;; ++i) writeVersion(dataDir, i % 2);
  } catch (...) {
    ::_exit(2);
  }
}

TEST(CrashSafeFiles, AWriterKilledAtAnyMomentLeavesEachFileOldOrNewAndWhole) {
  const std::vector<FileVersions> versions = referenceVersions();
  ASSERT_EQ(versions.size(), 3u);
  ScratchDir dir;
  seedDataFiles(dir);
  writeVersion(dir.path(), 0);

  const unsigned seed = std::random_device{}();
  SCOPED_TRACE("random seed " + std::to_string(seed));
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> killAfterMicroseconds(2'000, 40'000);
  const int trials = crashTrials();
  int newVersionsSeen = 0;

  for (int trial = 0; trial < trials; ++trial) {
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(ready[0]);
      rewriteForever(dir.path(), ready[1]);
    }
    ::close(ready[1]);
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ::close(ready[0]);
    std::this_thread::sleep_for(std::chrono::microseconds(killAfterMicroseconds(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended by itself with " << WEXITSTATUS(status);

    for (const auto& v : versions) {
      ASSERT_TRUE(dir.exists(v.name)) << v.name << " missing after trial " << trial;
      const std::string bytes = dir.read(v.name);
      const bool isOld = bytes == v.oldBytes;
      const bool isNew = bytes == v.newBytes;
      ASSERT_TRUE(isOld || isNew) << v.name << " partial after trial " << trial << " ("
                                  << bytes.size() << " bytes)";
      if (isNew) ++newVersionsSeen;
    }
  }
  // The writer really got through whole saves between the kills.
  EXPECT_GT(newVersionsSeen, 0);
  // The next writer removes the temporary files the killed ones left.
  writeVersion(dir.path(), 0);
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    EXPECT_EQ(entry.path().filename().string().find("~."), std::string::npos) << entry.path();
}

// --- Damaged contents ---

std::string junk(size_t n, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(n, '\0');
  for (auto& b : bytes) b = static_cast<char>(random() % 256);
  return bytes;
}

const std::string kLongLine(10u * 1024u * 1024u, 'L');

// CR-only line ends, a line that is no UTF-8, a 10 MB line, then junk.
std::string damagedSections() {
  return "[Plain]\rone\rtwo\r[Latin]\r\ncaf\xE9 cr\xE8me\r\n[Long]\n" + kLongLine + "\n[Mine]\r\n" +
         "old entry\r\n[Tail]\r\n" + junk(64 * 1024, 11);
}

TEST(DamagedDataFiles, ListsAndIndexesLoadAndARewrittenSectionKeepsTheOthers) {
  ScratchDir dir;
  dir.write(kWordFileName, damagedSections());
  dir.write(kIndexFileName, damagedSections());
  const std::function<Lines(const std::string&)> words = [&](const std::string& name) {
    return loadWordList(dir.path(), name);
  };
  const std::function<Lines(const std::string&)> urls = [&](const std::string& name) {
    return loadIndexUrls(dir.path(), name);
  };
  const Lines wordTail = words("Tail");
  const Lines urlTail = urls("Tail");
  const Lines names = loadIndexNames(dir.path());
  ASSERT_GE(names.size(), 5u);
  EXPECT_EQ(Lines(names.begin(), names.begin() + 5),
            (Lines{"Plain", "Latin", "Long", "Mine", "Tail"}));
  const Lines before = readLines(dir.file(kWordFileName));
  auto expectTheOthers = [&] {
    for (const auto& load : {words, urls}) {
      EXPECT_EQ(load("Plain"), (Lines{"one", "two"}));
      EXPECT_EQ(load("Latin"), (Lines{"caf\xC3\xA9 cr\xC3\xA8me"}));
      EXPECT_EQ(load("Long"), (Lines{kLongLine}));
    }
    EXPECT_EQ(words("Tail"), wordTail);
    EXPECT_EQ(urls("Tail"), urlTail);
  };
  expectTheOthers();
  EXPECT_EQ(words("Mine"), (Lines{"old entry"}));

  saveWordList(dir.path(), false, "Mine", {"new entry"});
  replaceIndexSection(dir.path(), "Mine", {"http://new.example/"});

  expectTheOthers();
  EXPECT_EQ(words("Mine"), (Lines{"new entry"}));
  EXPECT_EQ(urls("Mine"), (Lines{"http://new.example/"}));
  EXPECT_EQ(loadIndexNames(dir.path()), names);
  // Line for line the list is the same except for the one entry.
  Lines expected = before;
  std::replace(expected.begin(), expected.end(), std::string("old entry"),
               std::string("new entry"));
  EXPECT_EQ(readLines(dir.file(kWordFileName)), expected);
}

// A new section appended after a last line without a line end starts on a
// line of its own, so neither that line nor the new section is lost.
TEST(DamagedDataFiles, ANewSectionAfterALastLineWithoutLineEndKeepsBoth) {
  ScratchDir dir;
  dir.write(kWordFileName, "[Other]\r\nalpha ] beta");
  dir.write(kIndexFileName, "[Other]\r\nhttp://other.example/");

  saveWordList(dir.path(), false, "Mine", {"kept"});
  appendIndexSection(dir.path(), "Mine", {"http://mine.example/"});

  EXPECT_EQ(loadWordList(dir.path(), "Other"), (Lines{"alpha ] beta"}));
  EXPECT_EQ(loadWordList(dir.path(), "Mine"), (Lines{"kept"}));
  EXPECT_EQ(loadIndexUrls(dir.path(), "Other"), (Lines{"http://other.example/"}));
  EXPECT_EQ(loadIndexUrls(dir.path(), "Mine"), (Lines{"http://mine.example/"}));
}

TEST(DamagedDataFiles, SettingsRecordsOfAnyLengthLoadAndSaveBackWhole) {
  for (size_t size : {size_t{0}, size_t{1}, size_t{299}, size_t{301}, size_t{10000}}) {
    SCOPED_TRACE("record of " + std::to_string(size) + " bytes");
    ScratchDir dir;
    // Junk after a zero proxy length, so the texts stay short.
    std::string record = junk(size, static_cast<unsigned>(size));
    if (size > 7) record[7] = '\0';
    dir.write(kSettingsFileName, record);

    const Settings loaded = loadSettings(dir.path());
    EXPECT_EQ(loaded.mineMode + loaded.engineMode, 1);
    if (size == 0) {
      EXPECT_EQ(loaded, Settings{});
    }
    // What came from junk can be written again and reads back the same.
    // Texts from junk stay within the boxes' limits (a timeout length byte
    // may point past byte 300), so the record can be written back.
    ASSERT_FALSE(settingsFitProblem(loaded)) << *settingsFitProblem(loaded);
    saveSettings(dir.path(), loaded);
    EXPECT_EQ(dir.read(kSettingsFileName).size(), kSettingsRecordSize);
    EXPECT_EQ(loadSettings(dir.path()), loaded);
  }
}

}  // namespace
}  // namespace quexa
