// The same project and files build the same bytes whatever the packaging machine's time zone;
// SOURCE_DATE_EPOCH clamps file times; an interrupted build leaves no partial file behind.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <optional>

#include "tests/tools/ToolFixture.h"

extern char** environ;

namespace tooltest {
namespace {

// Sets an environment variable for the scope of a test, with the C library's zone re-read.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Set(value);
  }
  ~ScopedEnv() { Set(old_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  void Set(const std::optional<std::string>& value) {
    if (value) {
      setenv(name_, value->c_str(), 1);
    } else {
      unsetenv(name_);
    }
    tzset();
  }
  const char* name_;
  std::optional<std::string> old_;
};

// 2024-05-01 01:30:00 UTC.
constexpr time_t kMay1 = 1714527000;

class ReproducibleBuildTest : public ToolTest {
 protected:
  void SetModified(const fs::path& file, time_t seconds) {
    struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
  }

  // A project whose file entries have no fileTime, so the times come from the files.
  Json TimelessProject() {
    Json project = SmallProject();
    for (Json& entry : project["files"]) entry.erase("fileTime");
    Write("dist/a.txt", "a");
    project["files"].push_back(Json{{"kind", "tree"}, {"content", "dist"},
                                    {"destFolder", U8(u8"目标计算机\\Program Files\\Tool\\")}});
    return project;
  }

  void StampContent(time_t seconds) {
    for (const auto& file : fs::recursive_directory_iterator(dir_)) {
      if (file.is_regular_file()) SetModified(file.path(), seconds);
    }
  }

  std::string BuildInZone(const Json& project, const char* zone, const std::string& name) {
    ScopedEnv tz("TZ", std::string(zone));
    fs::path json = WriteProject(project, name + ".json");
    StampContent(kMay1);
    fs::path setup = dir_ / (name + ".exe");
    ToolResult result = Run({"build", json.string(), "--stub", Stub().string(), "-o", setup.string()});
    EXPECT_EQ(result.code, 0) << result.err;
    return Read(setup);
  }

  Json Inspect(const fs::path& setup) { return Json::parse(Run({"inspect", setup.string()}).out); }
};

TEST_F(ReproducibleBuildTest, TwoTimeZonesBuildTheSameBytes) {
  Json project = TimelessProject();
  ScopedEnv epoch("SOURCE_DATE_EPOCH", std::nullopt);
  std::string shanghai = BuildInZone(project, "Asia/Shanghai", "east");
  std::string newYork = BuildInZone(project, "America/New_York", "west");
  ASSERT_FALSE(shanghai.empty());
  EXPECT_TRUE(shanghai == newYork) << "the packaging machine's zone changed the package";
  // The stored time is the wall clock of UTC+8 (docs/project-json.md).
  Json files = Inspect(dir_ / "west.exe")["files"];
  EXPECT_EQ(files[1]["fileTime"], "2024-05-01T09:30:00");
  EXPECT_EQ(files.back()["fileTime"], "2024-05-01T09:30:00") << "a tree's files alike";
}

TEST_F(ReproducibleBuildTest, SourceDateEpochClampsLaterTimesOnly) {
  struct Case {
    const char* name;
    std::optional<std::string> epoch;
    time_t modified;
    std::string stored;
  };
  const Case cases[] = {
      {"LaterIsClamped", "1714527000", kMay1 + 86400 * 30, "2024-05-01T09:30:00"},
      {"EarlierStays", "1714527000", kMay1 - 3600, "2024-05-01T08:30:00"},
      {"Unset", std::nullopt, kMay1 + 60, "2024-05-01T09:31:00"},
  };
  for (const Case& c : cases) {
    ScopedEnv epoch("SOURCE_DATE_EPOCH", c.epoch);
    fs::path json = WriteProject(TimelessProject());
    StampContent(c.modified);
    fs::path setup = dir_ / "setup.exe";
    ToolResult result = Run({"build", json.string(), "--stub", Stub().string(), "-o", setup.string()});
    ASSERT_EQ(result.code, 0) << c.name << ": " << result.err;
    EXPECT_EQ(Inspect(setup)["files"][1]["fileTime"], c.stored) << c.name;
  }
  ScopedEnv epoch("SOURCE_DATE_EPOCH", std::string("yesterday"));
  ToolResult result = Run({"build", WriteProject(TimelessProject()).string(), "--stub",
                           Stub().string(), "-o", (dir_ / "bad.exe").string()});
  EXPECT_EQ(result.code, 1);
  EXPECT_NE(result.err.find("SOURCE_DATE_EPOCH must be a whole number of seconds"),
            std::string::npos)
      << result.err;
}

// The real program, stopped by Ctrl+C while it writes.
TEST_F(ReproducibleBuildTest, AnInterruptedBuildRemovesItsPartialFile) {
  Json project = SmallProject();
  Write("content/tool.exe", PatternBytes(96 << 20));
  fs::path json = WriteProject(project);
  fs::path setup = dir_ / "setup.exe";
  fs::path partial = dir_ / "setup.exe.partial";
  std::string program = SETUP_BINARY_DIR "/setup-tool";
  std::vector<std::string> args = {program, "build", json.string(), "--stub", Stub().string(),
                                   "-o", setup.string()};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  ASSERT_EQ(posix_spawn(&child, program.c_str(), nullptr, nullptr, argv.data(), environ), 0);
  bool seen = false;
  for (int i = 0; i < 20000 && !seen; ++i) {
    seen = fs::exists(partial);
    if (!seen) usleep(1000);
  }
  ASSERT_TRUE(seen) << "the build never started writing";
  kill(child, SIGINT);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status)) << "the build ended before the interrupt; make it bigger";
  EXPECT_EQ(WTERMSIG(status), SIGINT) << "it dies of the signal, as interrupted programs do";
  EXPECT_FALSE(fs::exists(partial));
  EXPECT_FALSE(fs::exists(setup));
}

}  // namespace
}  // namespace tooltest
