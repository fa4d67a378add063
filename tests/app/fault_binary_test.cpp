// Faults met by the real program: full disks, missing rights, kills, stop
// signals, broken settings. Each checks the exit status, the message and
// that no good file is lost.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "app/program_run.h"
#include "app/run_fixtures.h"
#include "support/test_support.h"
#include "support/zip_builder.h"

namespace korvelo::testing {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

class FaultRun : public ProgramRun {
 protected:
  // Folders the user nobody may walk into and write (the build tree above
  // them is readable for everyone).
  void SetUp() override {
    for (const TempDir* dir : {&config_, &work_, &tmp_})
      fs::permissions(dir->path(), fs::perms::all);
  }

  // Starts the program on `args` without waiting for it.
  pid_t Start(const std::string& args) {
    const pid_t child = fork();
    if (child == 0) {
      execl("/bin/sh", "sh", "-c", Command(args, "exec").c_str(), nullptr);
      _exit(127);
    }
    return child;
  }

  // The program's temporary folders in tmp_ (Qt may keep its own there).
  int TempFolders() const {
    int count = 0;
    for (const std::string& name : Names(tmp_.path()))
      count += name.starts_with("tmp_") ? 1 : 0;
    return count;
  }

  bool ErrorSays(const std::string& text) const {
    return err_.find(text) != std::string::npos;
  }
};

const char kNobody[] = "runuser -u nobody --";

// As another user: a read-only KML of someone else is not replaced, and an
// unreadable input in a folder is an access error.
TEST_F(FaultRun, ReadOnlyKmlOrUnreadableInputIsRefusedAndNothingChanges) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to act as the user nobody";
  WriteFileOrFail(work_ / "pq.gpx", PocketQuery(1, 3));
  WriteFileOrFail(work_ / "pq.kml", "old");
  fs::permissions(work_ / "pq.kml", fs::perms(0444));
  EXPECT_EQ(Run("/all pq.gpx", kNobody), 1);
  EXPECT_TRUE(
      ErrorSays("Zugriff auf " + work_.path() + "/pq.kml wurde verwehrt."))
      << err_;
  EXPECT_EQ(ReadFileOrFail(work_ / "pq.kml"), "old");
  EXPECT_EQ(Names(work_.path()), (Texts{"pq.gpx", "pq.kml"}));

  WriteFileOrFail(work_ / "d/a.gpx", PocketQuery(1, 1));
  WriteFileOrFail(work_ / "d/b.gpx", PocketQuery(2, 1));
  fs::permissions(work_ / "d", fs::perms::all);
  fs::permissions(work_ / "d/b.gpx", fs::perms::none);
  EXPECT_EQ(Run("/all d", kNobody), 1);
  EXPECT_TRUE(
      ErrorSays("Zugriff auf " + work_.path() + "/d/b.gpx wurde verwehrt."))
      << err_;
}

// Files may not grow beyond 4 or 8 KiB: the KML keeps its old version, a
// sheet file its old length, and no temporary file stays.
TEST_F(FaultRun, FileSizeLimitKeepsOldKmlAndCutsTheSheetBack) {
  WriteFileOrFail(work_ / "pq.gpx", PocketQuery(1, 60));
  WriteFileOrFail(work_ / "pq.kml", "old kml");
  EXPECT_EQ(Run("/all pq.gpx", "prlimit --fsize=4096 --"), 1);
  EXPECT_TRUE(ErrorSays("Beim Zugriff auf " + work_.path() +
                        "/pq.kml wurde ein voller Datenträger gemeldet."))
      << err_;
  EXPECT_EQ(Names(work_.path()), (Texts{"pq.gpx", "pq.kml"}));
  EXPECT_EQ(ReadFileOrFail(work_ / "pq.kml"), "old kml");

  const std::string sheet = work_ / "txt/C/A/C/H_caches001.txt";
  WriteFileOrFail(sheet, std::string(8000, 'o'));
  Store("bOutputTxt=1\nOutputTxtDir=" + work_ / "txt" + "\n");
  WriteFileOrFail(work_ / "one.gpx", PocketQuery(1, 1));
  EXPECT_EQ(Run("/all one.gpx", "prlimit --fsize=8192 --"), 1);
  EXPECT_TRUE(ErrorSays("Beim Zugriff auf " + sheet)) << err_;
  EXPECT_EQ(ReadFileOrFail(sheet), std::string(8000, 'o'));
}

// Killed outright while the KML is written: the target is either the old
// file or the whole new one, never a torn mixture.
TEST_F(FaultRun, KillWhileWritingLeavesOldOrWholeNewKml) {
  WriteFileOrFail(work_ / "big.gpx", PocketQuery(1, 40000));
  ASSERT_EQ(Run("/all big.gpx"), 0);
  const std::string whole = ReadFileOrFail(work_ / "big.kml");
  for (int delay_ms : {30, 100, 200, 350}) {
    WriteFileOrFail(work_ / "big.kml", "old");
    const pid_t child = Start("/all big.gpx");
    std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    const std::string now = ReadFileOrFail(work_ / "big.kml");
    EXPECT_TRUE(now == "old" || now == whole) << delay_ms << " ms";
  }
}

// A 300 MB entry takes a while to unpack; the stop signal ends the program
// with 128 + its number and the temporary folder is gone.
TEST_F(FaultRun, StopSignalDuringExtractionLeavesNothingBehind) {
  WriteFileOrFail(
      work_ / "pq.zip",
      BuildZip({{.name = "pq.gpx",
                 .data = std::string(4096, '\0'),
                 .payload = Deflate(std::string(1 << 20, '\0'), 300),
                 .uncompressed_size = 300u << 20}}));
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    const pid_t child = Start("/all pq.zip");
    // Waits until the unpacking has begun.
    for (int i = 0; i < 500 && TempFolders() == 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(TempFolders(), 1);
    kill(child, signal);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << signal << " " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
    EXPECT_EQ(TempFolders(), 0) << signal;
  }
}

// Settings that cannot be read give the defaults: the conversion runs, the
// program does not crash. An empty text stands for a folder in its place.
TEST_F(FaultRun, BrokenSettingsFilesGiveDefaults) {
  std::string binary(4096, '\0');
  for (size_t i = 0; i < binary.size(); ++i) binary[i] = char(i * 37 % 256);
  WriteFileOrFail(work_ / "pq.gpx", PocketQuery(1, 2));
  for (const std::string& bytes :
       {std::string("[General]\nbSmallIcons=1\nMode=2\nOutputTxtDir=\"/no"),
        binary, "[General]\nExcludeDir=" + std::string(10 << 20, 'x') + "\n",
        std::string()}) {
    SCOPED_TRACE(bytes.size());
    fs::remove_all(config_ / "Brannoc");
    if (bytes.empty()) fs::create_directories(conf());
    if (!bytes.empty()) WriteFileOrFail(conf(), bytes);
    fs::remove(work_ / "pq.kml");
    EXPECT_EQ(Run("/all pq.gpx"), 0) << err_;
    EXPECT_TRUE(FileExists(work_ / "pq.kml"));
  }
}

}  // namespace
}  // namespace korvelo::testing
