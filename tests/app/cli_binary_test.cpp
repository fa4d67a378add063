// The real korvelo program, started as a user starts it: exit statuses,
// what it prints, the files it writes and the settings it keeps.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/run_fixtures.h"
#include "support/test_support.h"

extern char** environ;

namespace korvelo {
namespace {

using ::korvelo::testing::CorpusPath;
using ::korvelo::testing::FileExists;
using ::korvelo::testing::NumberedCaches;
using ::korvelo::testing::PocketQuery;
using ::korvelo::testing::ReadFileOrFail;
using ::korvelo::testing::TempDir;
using ::korvelo::testing::WriteFileOrFail;
using Settings = std::map<std::string, std::string>;

struct Outcome {
  int status = -1;  // exit status, -1 when killed by a signal
  std::string out;
  std::string err;
};

// The environment of the program: ours without any display, with the
// settings folder given.
std::vector<std::string> ChildEnvironment(const std::string& config_home) {
  std::vector<std::string> env;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    const std::string name = text.substr(0, text.find('='));
    if (name == "DISPLAY" || name == "WAYLAND_DISPLAY" ||
        name == "QT_QPA_PLATFORM" || name == "XDG_CONFIG_HOME") {
      continue;
    }
    env.push_back(text);
  }
  env.push_back("XDG_CONFIG_HOME=" + config_home);
  return env;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> pointers;
  for (std::string& text : texts) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

// One program under test, with its settings folder and working folder.
class Korvelo {
 public:
  Korvelo() { std::filesystem::create_directories(config_ / "Brannoc"); }

  std::string config_file() const { return config_ / "Brannoc/Korvelo.conf"; }
  std::string dir(const std::string& name) const { return work_ / name; }

  // Writes the settings file: one quoted text per value.
  void Store(const Settings& values) const {
    std::string text = "[General]\n";
    for (const auto& [name, value] : values) {
      text += name + "=\"" + value + "\"\n";
    }
    WriteFileOrFail(config_file(), text);
  }

  // The values of the settings file, quotes removed.
  Settings Stored() const {
    Settings values;
    std::ifstream file(config_file());
    std::string line;
    while (std::getline(file, line)) {
      const size_t equals = line.find('=');
      if (equals == std::string::npos) continue;
      std::string value = line.substr(equals + 1);
      if (value.size() >= 2 && value.front() == '"') {
        value = value.substr(1, value.size() - 2);
      }
      values[line.substr(0, equals)] = value;
    }
    return values;
  }

  Outcome Run(const std::vector<std::string>& args) const {
    std::vector<std::string> argv_texts = {KORVELO_BINARY};
    argv_texts.insert(argv_texts.end(), args.begin(), args.end());
    std::vector<std::string> env_texts = ChildEnvironment(config_.path());
    std::vector<char*> argv = Pointers(argv_texts);
    std::vector<char*> envp = Pointers(env_texts);
    const std::string out_path = io_ / "out";
    const std::string err_path = io_ / "err";
    const std::string work = work_.path();

    const pid_t pid = fork();
    if (pid == 0) {
      const int out =
          open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      const int err =
          open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 ||
          chdir(work.c_str()) != 0) {
        _exit(126);
      }
      execve(argv[0], argv.data(), envp.data());
      _exit(127);
    }
    Outcome outcome;
    int wait_status = 0;
    if (pid > 0 && waitpid(pid, &wait_status, 0) == pid &&
        WIFEXITED(wait_status)) {
      outcome.status = WEXITSTATUS(wait_status);
    }
    outcome.out = ReadFileOrFail(out_path);
    outcome.err = ReadFileOrFail(err_path);
    return outcome;
  }

 private:
  TempDir config_;
  TempDir work_;
  TempDir io_;
};

// The usage text, line by line as the program has always written it.
std::string ExpectedUsage() {
  const char* lines[] = {
      "To use command-line options, supply one of the following parameters "
      "and a filename",
      "/all\tParse as complete file",
      "/found\tParse as my finds",
      "/mine\tParse as my own",
      "/disabled\tParse as tempoarily disabled",
      "/marked\tParse as marked file",
      "",
      "Example:",
      "Korvelo.exe /found \"c:\\gpx files\\123456.gpx\""};
  std::string text;
  for (const char* line : lines) text += std::string(line) + "\n";
  text.pop_back();  // no line end after the last line of the text
  return text;
}

TEST(KorveloProgram, ArgumentsWithoutOptionPrintTheUsageText) {
  Korvelo korvelo;
  const Outcome outcome = korvelo.Run({"x.gpx"});
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.out, ExpectedUsage());
  EXPECT_EQ(outcome.err, "");
}

TEST(KorveloProgram, NoArgumentsWithoutDisplayEndWithStatusTwo) {
  Korvelo korvelo;
  const Outcome outcome = korvelo.Run({});
  EXPECT_EQ(outcome.status, 2);
  EXPECT_EQ(outcome.out, "");
  EXPECT_EQ(outcome.err.rfind("korvelo: no display available", 0), 0u)
      << outcome.err;
  EXPECT_TRUE(outcome.err.ends_with("\n" + ExpectedUsage() + "\n"));
}

TEST(KorveloProgram, ConvertsAPocketQueryWithEachOption) {
  KORVELO_REQUIRE_CORPUS();
  const std::pair<std::vector<std::string>, std::string> rows[] = {
      {{"/all"}, "gc31j2h"},     {{"/FOUND"}, "My finds"},
      {{"--mine"}, "My caches"}, {{"/Disabled"}, "Disabled"},
      {{"--MARKED"}, "Marked"},  {{"/all", "/found"}, "My finds"},
  };
  for (const auto& [options, document] : rows) {
    Korvelo korvelo;
    korvelo.Store({{"bOutputKml", "1"}, {"OutputKmlDir", korvelo.dir("")}});
    std::vector<std::string> args = options;
    args.push_back(CorpusPath("cgeo/gc31j2h.gpx"));
    const Outcome outcome = korvelo.Run(args);
    EXPECT_EQ(outcome.status, 0) << options[0] << outcome.err;
    EXPECT_EQ(outcome.out + outcome.err, "") << options[0];
    const std::string kml = ReadFileOrFail(korvelo.dir("gc31j2h.kml"));
    EXPECT_NE(kml.find("<Document>\r\n<name>" + document + "</name>"),
              std::string::npos)
        << options[0];
    EXPECT_NE(kml.find(">GC31J2H</A>"), std::string::npos) << options[0];
  }
}

TEST(KorveloProgram, RunsEveryStageOnAPocketQuery) {
  KORVELO_REQUIRE_CORPUS();
  Korvelo korvelo;
  // renamed_waypoints.gpx holds 25 multi-caches; the exclusion "folder" is a
  // single file, which the loader takes like any input.
  WriteFileOrFail(korvelo.dir("owners.txt"), "nobody\n");
  WriteFileOrFail(korvelo.dir("moves.txt"),
                  "GC1RWQT;N48\xC2\xB0 12.345;E011\xC2\xB0 45.678 // solved\n");
  std::filesystem::create_directories(korvelo.dir("asc"));
  std::filesystem::create_directories(korvelo.dir("txt"));
  korvelo.Store({{"bOutputKml", "1"},
                 {"OutputKmlDir", korvelo.dir("")},
                 {"bExclude", "1"},
                 {"ExcludeDir", CorpusPath("cgeo/gc31j2h.gpx")},
                 {"bExcludePeople", "1"},
                 {"ExcludePeopleFile", korvelo.dir("owners.txt")},
                 {"bMoveCaches", "1"},
                 {"MoveCachesFile", korvelo.dir("moves.txt")},
                 {"bOutputAsc", "1"},
                 {"OutputAscDir", korvelo.dir("asc")},
                 {"bOutputTxt", "1"},
                 {"OutputTxtDir", korvelo.dir("txt")}});
  const Outcome outcome =
      korvelo.Run({"/all", CorpusPath("cgeo/renamed_waypoints.gpx")});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_TRUE(FileExists(korvelo.dir("renamed_waypoints.kml")));
  EXPECT_TRUE(FileExists(korvelo.dir("asc/renamed_waypoints_all_Multi.asc")));
  EXPECT_FALSE(std::filesystem::is_empty(korvelo.dir("txt")));
}

TEST(KorveloProgram, ConvertsEveryCorpusPocketQueryWithEveryStage) {
  KORVELO_REQUIRE_CORPUS();
  int converted = 0;
  for (const auto& entry :
       std::filesystem::recursive_directory_iterator(CorpusPath())) {
    const std::string path = entry.path().string();
    if (!path.ends_with(".gpx") && !path.ends_with(".zip")) continue;
    Korvelo korvelo;
    WriteFileOrFail(korvelo.dir("owners.txt"), "Groundspeak\n");
    WriteFileOrFail(korvelo.dir("moves.txt"), ";N1\xB0 1.000;E1\xB0 1.000\n");
    std::filesystem::create_directories(korvelo.dir("out"));
    korvelo.Store({{"bOutputKml", "1"},
                   {"OutputKmlDir", korvelo.dir("out")},
                   {"bExclude", "1"},
                   {"ExcludeDir", CorpusPath("cgeo/gc31j2h.gpx")},
                   {"bExcludePeople", "1"},
                   {"ExcludePeopleFile", korvelo.dir("owners.txt")},
                   {"bMoveCaches", "1"},
                   {"MoveCachesFile", korvelo.dir("moves.txt")},
                   {"bOutputAsc", "1"},
                   {"OutputAscDir", korvelo.dir("out")},
                   {"bOutputTxt", "1"},
                   {"OutputTxtDir", korvelo.dir("out")}});
    const Outcome outcome = korvelo.Run({"/all", path});
    EXPECT_EQ(outcome.status, 0) << path << "\n" << outcome.err;
    EXPECT_EQ(outcome.out + outcome.err, "") << path;
    ++converted;
  }
  EXPECT_GT(converted, 30);
}

TEST(KorveloProgram, MissingOutputFolderGivesTheInvalidHandleText) {
  KORVELO_REQUIRE_CORPUS();
  Korvelo korvelo;
  korvelo.Store({{"bOutputKml", "1"}, {"OutputKmlDir", korvelo.dir("gone")}});
  const Outcome outcome =
      korvelo.Run({"/found", CorpusPath("cgeo/gc31j2h.gpx")});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err, "Eine ung\xC3\xBCltige Dateikennung war mit " +
                             korvelo.dir("gone") + "/gc31j2h.kml verbunden.\n");
  EXPECT_EQ(outcome.out, "");
}

TEST(KorveloProgram, MissingPocketQueryGivesTheNotFoundText) {
  Korvelo korvelo;
  const Outcome outcome = korvelo.Run({"/all", korvelo.dir("nope.gpx")});
  EXPECT_EQ(outcome.status, 1);
  EXPECT_EQ(outcome.err, korvelo.dir("nope.gpx") + " wurde nicht gefunden.\n");
}

TEST(KorveloProgram, TakesFileNamesWithBlanksAndRelativePaths) {
  Korvelo korvelo;
  WriteFileOrFail(korvelo.dir("my pq/12 34.gpx"),
                  PocketQuery(NumberedCaches(1, 3)));
  // As the shell splits an unquoted name; relative to the working folder.
  const Outcome outcome = korvelo.Run({"--found", "./my", "pq/12", "34.gpx"});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_TRUE(FileExists(korvelo.dir("my pq/12 34.kml")));
}

TEST(KorveloProgram, WritesSettingsAtExitUnchangedByTheRun) {
  KORVELO_REQUIRE_CORPUS();
  Korvelo korvelo;
  const Settings stored = {
      {"Mode", "4"},
      {"bSmallIcons", "1"},
      {"bShowDisable", "0"},
      {"bExclude", "0"},
      {"ExcludeDir", korvelo.dir("ex")},
      {"bExcludePeople", "0"},
      {"ExcludePeopleFile", korvelo.dir("people.txt")},
      {"bMoveCaches", "0"},
      {"MoveCachesFile", korvelo.dir("moves.txt")},
      {"bOutputKml", "1"},
      {"OutputKmlDir", korvelo.dir("")},
      {"OutputKmlDirFileMode", "2"},
      {"bOutputAsc", "0"},
      {"OutputAscDir", korvelo.dir("asc")},
      {"bOutputTxt", "0"},
      {"OutputTxtDir", korvelo.dir("txt")},
  };
  korvelo.Store(stored);
  const Outcome outcome =
      korvelo.Run({"/mine", CorpusPath("cgeo/gc31j2h.gpx")});
  EXPECT_EQ(outcome.status, 0) << outcome.err;
  EXPECT_TRUE(FileExists(korvelo.dir("gc31j2h.kml")));
  EXPECT_EQ(korvelo.Stored(), stored);
}

TEST(KorveloProgram, WritesAllSixteenSettingsInEveryCase) {
  const std::vector<std::vector<std::string>> cases = {
      {"x.gpx"}, {"/all", "/missing/x.gpx"}, {}, {"/all"}};
  for (const auto& args : cases) {
    Korvelo korvelo;
    korvelo.Run(args);
    const Settings stored = korvelo.Stored();
    EXPECT_EQ(stored.size(), 16u) << ::testing::PrintToString(args);
    // Nothing stored yet: every flag off, numbers 0, texts empty.
    EXPECT_EQ(stored.at("Mode"), "0");
    EXPECT_EQ(stored.at("bOutputKml"), "0");
    EXPECT_EQ(stored.at("OutputKmlDir"), "");
  }
}

// Progress texts appear on standard error when that is a terminal.
TEST(KorveloProgram, ShowsProgressOnATerminal) {
  Korvelo korvelo;
  WriteFileOrFail(korvelo.dir("12345.gpx"), PocketQuery(NumberedCaches(1, 2)));
  std::vector<std::string> argv_texts = {KORVELO_BINARY, "/all",
                                         korvelo.dir("12345.gpx")};
  std::vector<std::string> env_texts = ChildEnvironment(korvelo.dir(""));
  std::vector<char*> argv = Pointers(argv_texts);
  std::vector<char*> envp = Pointers(env_texts);
  int master = -1;
  const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
  if (pid == 0) {
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  if (pid < 0) GTEST_SKIP() << "no pseudo-terminal available here";
  std::string screen;
  char buffer[512];
  ssize_t got;
  while ((got = read(master, buffer, sizeof buffer)) > 0) {
    screen.append(buffer, static_cast<size_t>(got));
  }
  close(master);
  int wait_status = 0;
  ASSERT_EQ(waitpid(pid, &wait_status, 0), pid);
  EXPECT_TRUE(WIFEXITED(wait_status) && WEXITSTATUS(wait_status) == 0);
  // The terminal turns each line end into CR LF.
  EXPECT_EQ(screen,
            "Loading caches...\r\nLoading 12345.gpx...\r\nCreating KML...\r\n");
}

}  // namespace
}  // namespace korvelo
