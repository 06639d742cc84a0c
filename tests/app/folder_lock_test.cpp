#include "app/folder_lock.h"

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <climits>
#include <fstream>
#include <string>

#include "temp_folder.h"

namespace vorlink {
namespace {

namespace fs = std::filesystem;
using testing::ReadText;
using testing::TempFolder;

std::string ThisHost() {
  char name[HOST_NAME_MAX + 1] = {};
  gethostname(name, sizeof name - 1);
  return name;
}

std::string OurLock() { return std::to_string(getpid()) + "\nvorlink\n" + ThisHost() + "\n"; }

// A process number nobody has: a child that has ended and been reaped.
pid_t EndedProcess() {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);
  return child;
}

// What a lock file holds; nothing for anything but a file.
std::string Content(const fs::path& file) { return fs::is_regular_file(file) ? ReadText(file) : ""; }

void Write(const fs::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

struct StaleCase {
  const char* name;
  // Puts the stale lock in place; gives the line that taking it over leaves.
  std::string (*place)(const fs::path& lock);
};

void PrintTo(const StaleCase& c, std::ostream* os) { *os << c.name; }

class StaleLockTest : public ::testing::TestWithParam<StaleCase> {};

TEST_P(StaleLockTest, IsTakenOverWithALine) {
  TempFolder folder;
  const fs::path lock = folder.path() / kLockFileName;
  const std::string line = lock.string() + GetParam().place(lock);
  {
    const FolderLock taken({folder.path()});
    EXPECT_EQ(taken.Refusal(), "");
    EXPECT_EQ(taken.TakenOver(), std::vector<std::string>{line});
    EXPECT_EQ(ReadText(lock), OurLock());
  }
  EXPECT_FALSE(fs::exists(fs::symlink_status(lock)));
}

INSTANTIATE_TEST_SUITE_P(
    Locks, StaleLockTest,
    ::testing::Values(
        // What a power cut leaves.
        StaleCase{"Empty", [](const fs::path& lock) {
                    Write(lock, "");
                    return std::string(" was empty: taken over");
                  }},
        StaleCase{"Garbage", [](const fs::path& lock) {
                    Write(lock, "\x01\xFFnot a lock at all");
                    return std::string(" named no process: taken over");
                  }},
        StaleCase{"Directory", [](const fs::path& lock) {
                    fs::create_directory(lock);
                    return std::string(" was not a file: taken over");
                  }},
        StaleCase{"DanglingLink", [](const fs::path& lock) {
                    fs::create_symlink("nowhere", lock);
                    return std::string(" was not a file: taken over");
                  }},
        StaleCase{"EndedProcess", [](const fs::path& lock) {
                    const pid_t ended = EndedProcess();
                    Write(lock, std::to_string(ended) + "\nvorlink\n" + ThisHost() + "\n");
                    return " was left by process " + std::to_string(ended) + ", which has ended: taken over";
                  }},
        // A live process that holds nothing is one that got the number later.
        StaleCase{"NumberOfALiveProcessThatHoldsNothing", [](const fs::path& lock) {
                    Write(lock, OurLock());
                    return " was left by process " + std::to_string(getpid()) +
                           ", which has ended: taken over";
                  }}),
    [](const auto& info) { return std::string(info.param.name); });

struct RefusedCase {
  const char* name;
  // Puts what is in the way; gives the refusal expected.
  std::string (*place)(const fs::path& folder);
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

class RefusedLockTest : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedLockTest, RefusesAndLeavesTheFolderAsItWas) {
  TempFolder folder;
  TempFolder other;
  const std::string refusal = GetParam().place(folder.path());
  const std::string before = Content(folder.path() / kLockFileName);
  // The folder taken first is given back.
  const FolderLock refused({other.path(), folder.path()});
  EXPECT_EQ(refused.Refusal(), refusal);
  EXPECT_TRUE(refused.TakenOver().empty());
  EXPECT_FALSE(fs::exists(other.path() / kLockFileName));
  EXPECT_EQ(Content(folder.path() / kLockFileName), before);
}

INSTANTIATE_TEST_SUITE_P(
    Locks, RefusedLockTest,
    ::testing::Values(
        RefusedCase{"OtherHost", [](const fs::path& folder) {
                      Write(folder / kLockFileName, "4242\nvorlink\nfaraway\n");
                      return std::string(
                          "VORLINK is already running in this folder on host faraway (process 4242).");
                    }},
        RefusedCase{"FolderMissing", [](const fs::path& folder) {
                      fs::remove(folder);
                      return "cannot make " + (folder / kLockFileName).string() +
                             ": No such file or directory";
                    }},
        RefusedCase{"DirectoryWithSomethingInIt", [](const fs::path& folder) {
                      fs::create_directories(folder / kLockFileName / "notes");
                      return "cannot take over " + (folder / kLockFileName).string() +
                             ", which is not a file: Directory not empty";
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FolderLockTest, HeldLockRefusesWithItsProcessUntilReleased) {
  TempFolder folder;
  {
    const FolderLock first({folder.path(), folder.path() / "." });
    ASSERT_EQ(first.Refusal(), "");
    const FolderLock second({folder.path()});
    EXPECT_EQ(second.Refusal(), AlreadyRunningText(getpid()));
    EXPECT_EQ(ReadText(folder.path() / kLockFileName), OurLock());
  }
  const FolderLock third({folder.path()});
  EXPECT_EQ(third.Refusal(), "");
  EXPECT_TRUE(third.TakenOver().empty());
}

}  // namespace
}  // namespace vorlink
