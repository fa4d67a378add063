// Faults met by the real program: odd inputs, full disks, missing rights,
// planted links, stop signals, broken settings. Each row checks the exit
// status, the message and that no good file is lost.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/run_fixtures.h"
#include "input/text.h"
#include "support/test_support.h"
#include "support/zip_builder.h"

namespace korvelo::testing {
namespace {

namespace fs = std::filesystem;

std::string Quote(const std::string& text) {
  return "'" + ReplaceAll(text, "'", "'\\''") + "'";
}

bool IsRoot() { return geteuid() == 0; }

// The names in `dir`, sorted; subfolders are not entered.
std::vector<std::string> Names(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) {
    names.push_back(entry.path().filename());
  }
  std::sort(names.begin(), names.end());
  return names;
}

// Folders the unprivileged user may walk into and write (the build tree
// above them is readable for everyone).
void OpenToEveryone(const TempDir& dir) {
  fs::permissions(dir.path(), fs::perms::all);
}

class FaultRun : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const TempDir* dir : {&config_, &work_, &tmp_}) OpenToEveryone(*dir);
  }

  // The shell command that starts the program on `args` in work_, with its
  // own settings and temporary folders, behind `prefix` (runuser, prlimit).
  std::string Command(const std::string& args, const std::string& prefix = "") {
    return "cd " + Quote(work_.path()) + " && " + prefix +
           " env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "
           "XDG_CONFIG_HOME=" +
           Quote(config_.path()) + " TMPDIR=" + Quote(tmp_.path()) + " " +
           Quote(KORVELO_BINARY) + " " + args + " </dev/null >" +
           Quote(config_ / "out") + " 2>" + Quote(config_ / "err");
  }

  // Runs to the end (at most a minute: a hang fails the row); the status.
  int Run(const std::string& args, const std::string& prefix = "") {
    const int status =
        std::system(Command(args, "timeout 60 " + prefix).c_str());
    err_ = ReadFileOrFail(config_ / "err");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  void Store(const std::string& lines) {
    WriteFileOrFail(config_ / "Brannoc/Korvelo.conf", "[General]\n" + lines);
  }

  // The program's temporary folders in tmp_ (Qt may keep its own there).
  int TempFolders() const {
    int count = 0;
    for (const std::string& name : Names(tmp_.path())) {
      count += name.starts_with("tmp_") ? 1 : 0;
    }
    return count;
  }

  bool ErrorSays(const std::string& text) const {
    return err_.find(text) != std::string::npos;
  }

  TempDir config_, work_, tmp_;
  std::string err_;
};

const char kNobody[] = "runuser -u nobody --";

// As another user: the KML cannot be made in a read-only folder, and a
// read-only KML of someone else is not replaced.
TEST_F(FaultRun, ReadOnlyFolderOrFileIsRefusedAndNothingChanges) {
  if (!IsRoot()) GTEST_SKIP() << "needs root to act as the user nobody";
  WriteFileOrFail(work_ / "ro/pq.gpx", PocketQuery(1, 3));
  fs::permissions(work_ / "ro", fs::perms::owner_all | fs::perms::group_read |
                                    fs::perms::group_exec |
                                    fs::perms::others_read |
                                    fs::perms::others_exec);
  EXPECT_EQ(Run("/all ro/pq.gpx", kNobody), 1);
  EXPECT_TRUE(ErrorSays("Eine ungültige Dateikennung war mit " + work_.path() +
                        "/ro/pq.kml verbunden."))
      << err_;
  EXPECT_EQ(Names(work_ / "ro"), std::vector<std::string>{"pq.gpx"});

  WriteFileOrFail(work_ / "pq.gpx", PocketQuery(1, 3));
  WriteFileOrFail(work_ / "pq.kml", "old");
  fs::permissions(work_ / "pq.kml", fs::perms::owner_read |
                                        fs::perms::group_read |
                                        fs::perms::others_read);
  EXPECT_EQ(Run("/all pq.gpx", kNobody), 1);
  EXPECT_TRUE(
      ErrorSays("Zugriff auf " + work_.path() + "/pq.kml wurde verwehrt."))
      << err_;
  EXPECT_EQ(ReadFileOrFail(work_ / "pq.kml"), "old");
  EXPECT_EQ(Names(work_.path()),
            (std::vector<std::string>{"pq.gpx", "pq.kml", "ro"}));
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
  EXPECT_EQ(Names(work_.path()),
            (std::vector<std::string>{"pq.gpx", "pq.kml"}));
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
    const pid_t child = fork();
    if (child == 0) {
      execl("/bin/sh", "sh", "-c", Command("/all big.gpx", "exec").c_str(),
            nullptr);
      _exit(127);
    }
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
  const std::string zeros(1 << 20, '\0');
  const std::string archive = BuildZip({{"pq.gpx",
                                         std::string(4096, '\0'),
                                         8,
                                         0,
                                         Deflate(zeros, 300),
                                         {},
                                         {},
                                         300u << 20}});
  WriteFileOrFail(work_ / "pq.zip", archive);
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    const pid_t child = fork();
    if (child == 0) {
      const std::string command = "cd " + Quote(work_.path()) +
                                  " && exec env TMPDIR=" + Quote(tmp_.path()) +
                                  " XDG_CONFIG_HOME=" + Quote(config_.path()) +
                                  " " + Quote(KORVELO_BINARY) + " /all pq.zip";
      execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
      _exit(127);
    }
    // Waits until the unpacking has begun.
    for (int i = 0; i < 500 && TempFolders() == 0; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
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
// program does not crash.
TEST_F(FaultRun, BrokenSettingsFilesGiveDefaults) {
  std::string binary(4096, '\0');
  for (size_t i = 0; i < binary.size(); ++i) binary[i] = char(i * 37 % 256);
  const std::pair<const char*, std::string> rows[] = {
      {"truncated", "[General]\nbSmallIcons=1\nMode=2\nOutputTxtDir=\"/no"},
      {"binary", binary},
      {"10 MB", "[General]\nExcludeDir=" + std::string(10 << 20, 'x') + "\n"},
      {"a folder", ""}};
  WriteFileOrFail(work_ / "pq.gpx", PocketQuery(1, 2));
  for (const auto& [what, bytes] : rows) {
    SCOPED_TRACE(what);
    fs::remove_all(config_ / "Brannoc");
    if (std::string(what) == "a folder") {
      fs::create_directories(config_ / "Brannoc/Korvelo.conf");
    } else {
      WriteFileOrFail(config_ / "Brannoc/Korvelo.conf", bytes);
    }
    fs::remove(work_ / "pq.kml");
    EXPECT_EQ(Run("/all pq.gpx"), 0) << err_;
    EXPECT_TRUE(FileExists(work_ / "pq.kml"));
  }
}

struct InputRow {
  const char* what;
  std::function<void(const TempDir&)> plant;
  const char* args;
  int status;
  const char* message;  // expected in the error text after the folder
};

// Inputs that are no regular files, vanish or lose their rights between
// the folder listing and the load: a file error, never a hang.
TEST_F(FaultRun, OddInputsEndWithAFileErrorAtOnce) {
  const auto fifo = [](const std::string& path) {
    ASSERT_EQ(mkfifo(path.c_str(), 0666), 0);
  };
  const InputRow rows[] = {
      {"FIFO", [&](const TempDir& w) { fifo(w / "f.gpx"); }, "/all f.gpx", 1,
       "/f.gpx wurde verwehrt."},
      {"/dev/zero",
       [](const TempDir& w) { fs::create_symlink("/dev/zero", w / "z.gpx"); },
       "/all z.gpx", 1, "/z.gpx wurde verwehrt."},
      {"symlink loop",
       [](const TempDir& w) { fs::create_symlink(w / "l.gpx", w / "l.gpx"); },
       "/all l.gpx", 1, "l.gpx wurde nicht gefunden."},
      {"FIFO in a folder",
       [&](const TempDir& w) {
         WriteFileOrFail(w / "d/a.gpx", PocketQuery(1, 1));
         fifo(w / "d/b.gpx");
       },
       "/all d", 1, "/d/b.gpx wurde verwehrt."},
      {"gone after the listing",
       [](const TempDir& w) {
         WriteFileOrFail(w / "d/a.gpx", PocketQuery(1, 1));
         fs::create_symlink(w / "d/gone.gpx", w / "d/b.gpx");
       },
       "/all d", 1, "/d/b.gpx wurde nicht gefunden."},
      {"archives that are no files load nothing",
       [&](const TempDir& w) {
         WriteFileOrFail(w / "d/a.gpx", PocketQuery(1, 1));
         fifo(w / "d/b.zip");
         fs::create_symlink("/dev/urandom", w / "d/c.zip");
       },
       "/all d", 0, ""}};
  for (const InputRow& row : rows) {
    SCOPED_TRACE(row.what);
    fs::remove_all(work_ / "d");
    row.plant(work_);
    EXPECT_EQ(Run(row.args), row.status) << err_;
    EXPECT_TRUE(ErrorSays(row.message)) << err_;
  }
}

TEST_F(FaultRun, UnreadableInputInAFolderIsAnAccessError) {
  if (!IsRoot()) GTEST_SKIP() << "needs root to act as the user nobody";
  WriteFileOrFail(work_ / "d/a.gpx", PocketQuery(1, 1));
  WriteFileOrFail(work_ / "d/b.gpx", PocketQuery(2, 1));
  fs::permissions(work_ / "d", fs::perms::all);
  fs::permissions(work_ / "d/b.gpx", fs::perms::none);
  EXPECT_EQ(Run("/all d", kNobody), 1);
  EXPECT_TRUE(
      ErrorSays("Zugriff auf " + work_.path() + "/d/b.gpx wurde verwehrt."))
      << err_;
}

// Links planted in a shared text folder are refused; what they point at
// keeps its bytes.
TEST_F(FaultRun, PlantedLinksInTheSheetTreeAreNotFollowed) {
  WriteFileOrFail(work_ / "victim/.bashrc", "precious");
  WriteFileOrFail(work_ / "pq.gpx", PocketQuery(1, 1));  // title Cache GC1
  fs::create_directories(work_ / "txt/C/A");
  fs::create_symlink(work_ / "victim", work_ / "txt/C/A/C");
  Store("bOutputTxt=1\nOutputTxtDir=" + work_ / "txt" + "\n");
  EXPECT_EQ(Run("/all pq.gpx"), 1);
  EXPECT_TRUE(ErrorSays("/txt/C/A/C/H_caches001.txt")) << err_;
  fs::remove(work_ / "txt/C/A/C");
  fs::create_directories(work_ / "txt/C/A/C");
  fs::create_symlink(work_ / "victim/.bashrc",
                     work_ / "txt/C/A/C/H_caches001.txt");
  EXPECT_EQ(Run("/all pq.gpx"), 1);
  EXPECT_EQ(Names(work_ / "victim"), std::vector<std::string>{".bashrc"});
  EXPECT_EQ(ReadFileOrFail(work_ / "victim/.bashrc"), "precious");
}

// A backslash is part of the name: that very file is converted, beside it,
// and a folder "odd" with a "name.gpx" is left alone.
TEST_F(FaultRun, BackslashInAFileNameIsAnOrdinaryByte) {
  WriteFileOrFail(work_ / "odd\\name.gpx", PocketQuery(1, 1));
  WriteFileOrFail(work_ / "odd/name.gpx", PocketQuery(2, 1));
  EXPECT_EQ(Run("/all 'odd\\name.gpx'"), 0) << err_;
  EXPECT_TRUE(FileExists(work_ / "odd\\name.kml"));
  EXPECT_NE(ReadFileOrFail(work_ / "odd\\name.kml").find("GC1"),
            std::string::npos);
  EXPECT_EQ(Names(work_ / "odd"), std::vector<std::string>{"name.gpx"});
}

}  // namespace
}  // namespace korvelo::testing
