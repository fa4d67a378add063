// The real korvelo program, started through the shell as a user starts it:
// exit statuses, what it prints, the files it writes, the settings it keeps;
// and the faults it meets: full disks, missing rights, stop signals, broken
// settings. No good file is lost.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "app/run_fixtures.h"
#include "support/zip_builder.h"

namespace korvelo::testing {
namespace {

namespace fs = std::filesystem;
using Texts = std::vector<std::string>;

// On a pipe exactly as written: no line end after the example line.
const std::string kUsage =
    "To use command-line options, supply one of the following parameters and "
    "a filename\n/all\tParse as complete file\n/found\tParse as my finds\n"
    "/mine\tParse as my own\n/disabled\tParse as tempoarily disabled\n"
    "/marked\tParse as marked file\n\nExample:\n"
    "Korvelo.exe /found \"c:\\gpx files\\123456.gpx\"";

// Each way the program ends: status 0 is silent, 1 gives the German text and
// the system's reason, 2 the usage on stderr, 3 one line saying nothing was
// written, and no file is made. Every run saves all nineteen settings, the
// loaded ones unchanged. With `every` each stage runs: the owners and moves
// files are missing, and the list the exclusions empty is still written.
TEST_F(ProgramRun, EndsWithItsStatusAndWritesTheSettingsItLoaded) {
  const std::string every =
      "Mode=4\nbSmallIcons=1\nbShowDisable=1\nbExclude=1\nExcludeDir=12345."
      "gpx\nbExcludePeople=1\nExcludePeopleFile=p.txt\nbMoveCaches=1\n"
      "MoveCachesFile=m.txt\nbOutputKml=1\nOutputKmlDir=.\n"
      "OutputKmlDirFileMode=2\nbOutputAsc=1\nOutputAscDir=.\nbOutputTxt=1\n"
      "OutputTxtDir=.\n";
  const std::tuple<std::string, std::string, int, std::string, std::string>
      rows[] = {
          {"--help", "", 0, kUsage, ""},
          {"x.gpx", "", 2, "", kUsage + "\n"},
          {"/all empty", "", 3, "",
           "korvelo: no caches found in @/empty; nothing written.\n"},
          {"/all nope.gpx", "", 1, "",
           "nope.gpx wurde nicht gefunden.\nkorvelo: nope.gpx: No such file "
           "or directory\n"},
          {"/found 12345.gpx",
           "bOutputKml=1\nOutputKmlDir=gone\nbOutputAsc=1\n", 1, "",
           "Eine ung\xC3\xBCltige Dateikennung war mit gone/12345.kml "
           "verbunden.\nkorvelo: gone/12345.kml: No such file or directory\n"},
          {"", "", 2, "", "\n" + kUsage + "\n"},  // no display, no window
          {"/mine 12345.gpx", every, 0, "", ""}};
  WriteFileOrFail(work_ / "12345.gpx", PocketQuery(1, 2));
  WriteFileOrFail(work_ / "empty/e.gpx", "<gpx></gpx>");
  const auto tree = [this] {  // every path below work_
    return std::set<fs::directory_entry>(
        fs::recursive_directory_iterator(work_.path()), {});
  };
  const auto inputs = tree();
  for (const auto& [args, stored, status, out, err] : rows) {
    Store(stored);
    EXPECT_EQ(Run(args), status) << args;
    EXPECT_EQ(out_, out) << args;
    EXPECT_TRUE(args.empty() ? err_.ends_with(err) &&
                                   err_.starts_with("korvelo: no display")
                             : err_ == ReplaceAll(err, "@", work_.path()))
        << args << ": " << err_;
    const std::string saved = ReadFileOrFail(conf());
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '='), 19) << args;
    std::istringstream lines(stored);
    for (std::string line; std::getline(lines, line);)
      EXPECT_NE(saved.find(line + "\n"), std::string::npos) << args << line;
    if (status != 0 || !args.ends_with(".gpx")) {
      EXPECT_TRUE(tree() == inputs) << args;
    }
  }
  EXPECT_TRUE(FileExists(work_ / "12345.kml"));
}

// "--kmz" makes one run write the map as .kmz (and no .kml) and leaves the
// stored flag as it was; the stored flag does the same for every run. Nothing
// else is written: the GPX and the other outputs are off by default.
TEST_F(ProgramRun, KmzOptionPacksOneRunAndTheSettingEveryRun) {
  WriteFileOrFail(work_ / "12345.gpx", PocketQuery(1, 2));
  const std::tuple<std::string, std::string, bool> rows[] = {
      {"/all --kmz 12345.gpx", "bOutputKmz=0\n", true},
      {"--KMZ /found 12345.gpx", "", true},
      {"/all 12345.gpx", "bOutputKmz=1\n", true},
      {"/all 12345.gpx", "bOutputKmz=0\n", false},
  };
  for (const auto& [args, stored, kmz] : rows) {
    fs::remove(work_ / "12345.kml");
    fs::remove(work_ / "12345.kmz");
    Store(stored);
    EXPECT_EQ(Run(args), 0) << args << err_;
    EXPECT_EQ(Names(work_.path()),
              (Texts{"12345.gpx", kmz ? "12345.kmz" : "12345.kml"}))
        << args;
    const std::string saved = ReadFileOrFail(conf());
    const std::string flag = stored.empty() ? "bOutputKmz=0\n" : stored;
    EXPECT_NE(saved.find(flag), std::string::npos) << args << saved;
  }
}

// "--gpx" writes the GPX for this run only: the stored flag stays clear. A
// folder run whose GPX would replace one of the folder's files fails with
// status 1 and the access-denied text, and the file stays.
TEST_F(ProgramRun, WritesTheGpxForOneRunAndNeverOverAnInput) {
  WriteFileOrFail(work_ / "12345.gpx", PocketQuery(1, 2));
  Store("bOutputGpx=0\n");
  EXPECT_EQ(Run("/found --GPX 12345.gpx"), 0) << err_;
  const std::string gpx = ReadFileOrFail(work_ / "12345_gps.gpx");
  EXPECT_NE(gpx.find("<name>GC2</name>"), std::string::npos);
  EXPECT_NE(ReadFileOrFail(conf()).find("bOutputGpx=0\n"), std::string::npos);
  EXPECT_EQ(Run("--gpx 12345.gpx"), 2);
  WriteFileOrFail(work_ / "pq/12345.gpx", PocketQuery(3, 1));
  WriteFileOrFail(work_ / "pq/12345_gps.gpx", gpx);
  EXPECT_EQ(Run("/all --gpx pq"), 1);
  EXPECT_EQ(err_,
            "Zugriff auf " + work_ / "pq/12345_gps.gpx" + " wurde verwehrt.\n");
  EXPECT_EQ(ReadFileOrFail(work_ / "pq/12345_gps.gpx"), gpx);
}

// Progress texts go to standard error only when that is a terminal, which
// turns each line end into CR LF; control bytes of a file name arrive
// escaped, so that a name cannot retitle or clear the terminal. Qt's
// offscreen and minimal platforms show nothing, so a conversion there
// reports on the terminal like one without a display, and no QApplication
// leaves its runtime folder in TMPDIR.
TEST_F(ProgramRun, ShowsProgressOnATerminalWithoutADisplayAndNamesMadeSafe) {
  const struct {
    std::string name, platform, shown;
  } rows[] = {{"x\x1b]0;owned\x07.gpx", "", "x\\x1B]0;owned\\x07.gpx"},
              {"pq.gpx", "offscreen", "pq.gpx"},
              {"pq.gpx", "minimal", "pq.gpx"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.platform);
    WriteFileOrFail(work_ / row.name, PocketQuery(1, 2));
    if (!row.platform.empty())
      env_ = "-u XDG_RUNTIME_DIR QT_QPA_PLATFORM=" + row.platform;
    const int status = Run("/all " + ShellWord(row.name), "", true);
    if (status == 127) GTEST_SKIP() << "no script(1) here";
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out_, "Loading caches...\r\nLoading " + row.shown +
                        "...\r\nCreating KML...\r\n");
    EXPECT_EQ(Names(tmp_.path()), std::vector<std::string>());
  }
}

class FaultRun : public ProgramRun {
 protected:
  using ProgramRun::ProgramRun;

  // Starts the program on `args` without waiting for it.
  pid_t Start(const std::string& args) {
    const pid_t child = fork();
    if (child == 0) {
      execl("/bin/sh", "sh", "-c", Command(args, "exec").c_str(), nullptr);
      _exit(127);
    }
    return child;
  }

  // Folders in $TMPDIR that the program could have made (Qt may keep its
  // own there under another name).
  int TempFolders() const {
    const Texts names = Names(tmp_.path());
    return std::ranges::count_if(names,
                                 [](auto& n) { return n.starts_with("tmp_"); });
  }

  // Whether `child` has its stop handlers in place and a second thread, the
  // worker that inflates an archive entry ahead of the parser.
  static bool Inflating(pid_t child) {
    constexpr uint64_t kStopSignals =
        1u << (SIGHUP - 1) | 1u << (SIGINT - 1) | 1u << (SIGTERM - 1);
    std::ifstream status("/proc/" + std::to_string(child) + "/status");
    bool caught = false;
    int threads = 0;
    for (std::string line; std::getline(status, line);) {
      if (line.starts_with("SigCgt:"))
        caught = (std::stoull(line.substr(7), nullptr, 16) & kStopSignals) ==
                 kStopSignals;
      if (line.starts_with("Threads:")) threads = std::stoi(line.substr(8));
    }
    return caught && threads >= 2;
  }

  // Starts the program on `args` and returns it once it is inflating, or -1
  // after a minute. On a busy machine a run may end before this process
  // gets to look at it; such a run is started again.
  pid_t StartInflating(const std::string& args) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::minutes(1);
    while (Clock::now() < deadline) {
      const pid_t child = Start(args);
      bool ended = false;
      while (!ended && Clock::now() < deadline) {
        if (Inflating(child)) return child;
        ended = waitpid(child, nullptr, WNOHANG) == child;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
      }
      if (!ended) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
      }
    }
    return -1;
  }
};

// The program run as the user nobody, who may not enter the build tree (a
// checkout in a private home is the usual case): its folders and a copy of
// the program lie in the shared temporary folder instead.
class ForeignUserRun : public FaultRun {
 protected:
  ForeignUserRun() : FaultRun(kShared) {}

  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act as the user nobody";
    for (const TempDir* dir : {&config_, &work_, &tmp_, &bin_})
      fs::permissions(dir->path(), fs::perms::all);
    binary_ = bin_ / "korvelo";
    fs::copy_file(KORVELO_BINARY, binary_);
    fs::permissions(binary_, fs::perms(0755));
    const std::string probe = "runuser -u nobody -- " + ShellWord(binary_) +
                              " --version >/dev/null 2>&1";
    if (std::system(probe.c_str()) != 0)
      GTEST_SKIP() << "the user nobody cannot run a program from " << kShared;
  }

  static constexpr const char* kShared = "/tmp";
  TempDir bin_{kShared};
};

// As another user, in folders anyone may write: a read-only KML of someone
// else is not replaced.
TEST_F(ForeignUserRun, ReadOnlyKmlIsRefusedAndNothingChanges) {
  WriteFileOrFail(work_ / "pq.gpx", PocketQuery(1, 3));
  WriteFileOrFail(work_ / "pq.kml", "old");
  fs::permissions(work_ / "pq.kml", fs::perms(0444));
  EXPECT_EQ(Run("/all pq.gpx", "runuser -u nobody --"), 1);
  const std::string kml = work_ / "pq.kml";
  EXPECT_EQ(err_, "Zugriff auf " + kml + " wurde verwehrt.\nkorvelo: " + kml +
                      ": Permission denied\n");
  EXPECT_EQ(ReadFileOrFail(work_ / "pq.kml"), "old");
  EXPECT_EQ(Names(work_.path()), (Texts{"pq.gpx", "pq.kml"}));
}

// Files may not grow beyond 4 or 8 KiB: the KML keeps its old version, a
// sheet file its old length, and no temporary file stays.
TEST_F(FaultRun, FileSizeLimitKeepsOldKmlAndCutsTheSheetBack) {
  WriteFileOrFail(work_ / "pq.gpx", PocketQuery(1, 60));
  WriteFileOrFail(work_ / "pq.kml", "old kml");
  EXPECT_EQ(Run("/all pq.gpx", "prlimit --fsize=4096 --"), 1);
  EXPECT_TRUE(err_.starts_with("Beim Zugriff auf " + work_ / "pq.kml" +
                               " wurde ein voller Datenträger gemeldet."))
      << err_;
  EXPECT_EQ(Names(work_.path()), (Texts{"pq.gpx", "pq.kml"}));
  EXPECT_EQ(ReadFileOrFail(work_ / "pq.kml"), "old kml");

  const std::string sheet = work_ / "txt/C/A/C/H_caches001.txt";
  WriteFileOrFail(sheet, std::string(8000, 'o'));
  Store("bOutputTxt=1\nOutputTxtDir=" + work_ / "txt" + "\n");
  WriteFileOrFail(work_ / "one.gpx", PocketQuery(1, 1));
  EXPECT_EQ(Run("/all one.gpx", "prlimit --fsize=8192 --"), 1);
  EXPECT_TRUE(err_.starts_with("Beim Zugriff auf " + sheet)) << err_;
  EXPECT_EQ(ReadFileOrFail(sheet), std::string(8000, 'o'));
}

// Two 1 GiB entries take a while to inflate and search, even of zeros;
// the stop signal ends the program with 128 + its number, and nothing of the
// load was ever on disk.
TEST_F(FaultRun, StopSignalDuringArchiveLoadEndsWithNothingOnDisk) {
  std::vector<ZipTestEntry> entries;
  for (const char* name : {"a.gpx", "b.gpx"})
    entries.push_back({.name = name,
                       .data = std::string(4096, '\0'),
                       .payload = Deflate(std::string(1 << 20, '\0'), 1024),
                       .uncompressed_size = 1u << 30});
  WriteFileOrFail(work_ / "pq.zip", BuildZip(entries));
  for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
    const pid_t child = StartInflating("/all pq.zip");
    ASSERT_GT(child, 0) << signal;
    EXPECT_EQ(TempFolders(), 0) << signal;
    kill(child, signal);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << signal << " " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 128 + signal);
    EXPECT_EQ(TempFolders(), 0) << signal;
    EXPECT_EQ(Names(work_.path()), (Texts{"pq.zip"})) << signal;
  }
}

// A small archive that unpacks into two million empty waypoints: with the
// address space it needs it converts, with less it ends with the memory
// message, and the old KML stays. The sanitizer build reserves far more
// address space than either limit, so it cannot take part.
TEST_F(FaultRun, MillionsOfEmptyWaypointsConvertOrEndWithTheMemoryMessage) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer needs more address space";
#endif
  std::string block;
  while (block.size() + 11 <= 1 << 20) block += "<wpt></wpt>";
  const int copies = 20;  // 20 MB, 1.9 million waypoints
  uLong crc = crc32(0, nullptr, 0);
  for (int i = 0; i < copies; ++i)
    crc = crc32(crc, reinterpret_cast<const Bytef*>(block.data()),
                static_cast<uInt>(block.size()));
  WriteFileOrFail(work_ / "pq.zip",
                  BuildZip({{.name = "pq.gpx",
                             .data = std::string(4096, '\0'),
                             .payload = Deflate(block, copies),
                             .crc = static_cast<uint32_t>(crc),
                             .uncompressed_size = static_cast<uint32_t>(
                                 block.size() * copies)}}));
  WriteFileOrFail(work_ / "pq.kml", "old kml");
  EXPECT_EQ(Run("/all pq.zip", "prlimit --as=250000000 --"), 1);
  EXPECT_EQ(err_, "Nicht genügend Speicher.\n");
  EXPECT_EQ(ReadFileOrFail(work_ / "pq.kml"), "old kml");
  EXPECT_EQ(Names(work_.path()), (Texts{"pq.kml", "pq.zip"}));

  EXPECT_EQ(Run("/all pq.zip", "prlimit --as=1000000000 --"), 0) << err_;
  EXPECT_NE(ReadFileOrFail(work_ / "pq.kml"), "old kml");
}

// Settings that cannot be read give the defaults and the conversion runs:
// a quote left open, bytes of every value, a folder in place of the file.
TEST_F(FaultRun, BrokenSettingsFilesGiveDefaults) {
  std::string binary(4096, '\0');
  for (size_t i = 0; i < binary.size(); ++i) binary[i] = char(i * 37 % 256);
  WriteFileOrFail(work_ / "pq.gpx", PocketQuery(1, 2));
  for (const std::string& bytes :
       {std::string("[General]\nMode=2\nOutputTxtDir=\"/no"), binary,
        std::string()}) {
    fs::remove_all(config_ / "Brannoc");
    if (bytes.empty()) fs::create_directories(conf());
    if (!bytes.empty()) WriteFileOrFail(conf(), bytes);
    fs::remove(work_ / "pq.kml");
    EXPECT_EQ(Run("/all pq.gpx"), 0) << bytes.size() << err_;
    EXPECT_TRUE(FileExists(work_ / "pq.kml")) << bytes.size();
  }
}
}  // namespace
}  // namespace korvelo::testing
