// The administrator's switches: what each word means, in any case and place, the folder of
// /D= taking the rest of the line, and every malformed line refused with its reason.
#include <gtest/gtest.h>

#include "app/CommandLine.h"
#include "system/sandbox/Encoding.h"

namespace {

struct Line {
  const char* arguments;
  bool given, silent, help, noRestart, elevatedCopy;
  const char* installDir;  // nullptr: none
  const char* answers;
  const char* log;
};

// Each case is named by its command line, so a failure reads as the line that broke.
void PrintTo(const Line& line, std::ostream* os) {
  *os << (*line.arguments ? sys::sandbox::GbkToUtf8(line.arguments) : "(no parameters)");
}

class SwitchLines : public testing::TestWithParam<Line> {};

TEST_P(SwitchLines, ParseAsTheAdministratorMeantThem) {
  const Line& line = GetParam();
  app::SetupSwitches s = app::ParseSetupSwitches(line.arguments);
  EXPECT_EQ(s.error, "");
  EXPECT_EQ(s.given, line.given);
  EXPECT_EQ(s.silent, line.silent);
  EXPECT_EQ(s.help, line.help);
  EXPECT_EQ(s.noRestart, line.noRestart);
  EXPECT_EQ(s.elevatedCopy, line.elevatedCopy);
  EXPECT_EQ(s.installDir.value_or("-"), line.installDir ? line.installDir : "-");
  EXPECT_EQ(s.answersFile.value_or("-"), line.answers ? line.answers : "-");
  EXPECT_EQ(s.logFile.value_or("-"), line.log ? line.log : "-");
}

INSTANTIATE_TEST_SUITE_P(
    Table, SwitchLines,
    testing::Values(
        // Without one of ours the line is the old one: any parameter only stops the relaunch.
        Line{"", false, false, false, false, false, nullptr, nullptr, nullptr},
        Line{"-1", false, false, false, false, true, nullptr, nullptr, nullptr},
        Line{"/quiet whatever", false, false, false, false, false, nullptr, nullptr, nullptr},
        Line{"/S", true, true, false, false, false, nullptr, nullptr, nullptr},
        Line{"/s /norestart", true, true, false, true, false, nullptr, nullptr, nullptr},
        Line{"-1 /S /LOG=C:\\l.txt", true, true, false, false, true, nullptr, nullptr, "C:\\l.txt"},
        Line{"/log=\"C:\\my logs\\l.txt\" /S", true, true, false, false, false, nullptr, nullptr,
             "C:\\my logs\\l.txt"},
        Line{"/S /Answers=a.json", true, true, false, false, false, nullptr, "a.json", nullptr},
        Line{"/?", true, false, true, false, false, nullptr, nullptr, nullptr},
        // /D= takes the rest of the line: blanks, Chinese and what looks like a switch.
        Line{"/S /D=C:\\Program Files\\演示 软件", true, true, false, false, false,
             "C:\\Program Files\\演示 软件", nullptr, nullptr},
        Line{"/d=D:\\A /S  ", true, false, false, false, false, "D:\\A /S", nullptr, nullptr},
        Line{"-1 /S \"/D=C:\\My Apps\"", true, true, false, false, true, "C:\\My Apps", nullptr,
             nullptr}));

struct Bad {
  const char* arguments;
  const char* reason;  // part of the error
};

void PrintTo(const Bad& bad, std::ostream* os) { *os << bad.arguments; }

class MalformedLines : public testing::TestWithParam<Bad> {};

TEST_P(MalformedLines, AreRefusedWithTheirReason) {
  app::SetupSwitches s = app::ParseSetupSwitches(GetParam().arguments);
  EXPECT_TRUE(s.given);
  EXPECT_NE(s.error.find(GetParam().reason), std::string::npos) << s.error;
}

INSTANTIATE_TEST_SUITE_P(
    Table, MalformedLines,
    testing::Values(Bad{"/S /QUIET", "/QUIET"}, Bad{"/S extra", "extra"},
                    Bad{"/LOG=x.txt /X /S", "/X"}, Bad{"/S /D=", "/D="}, Bad{"/S /D=   ", "/D="},
                    Bad{"/S /D=relative\\dir", "relative\\dir"}, Bad{"/S /ANSWERS=", "/ANSWERS="},
                    Bad{"/S /LOG=", "/LOG="}, Bad{"/ANSWERS=a.json", "/S"}));

TEST(SwitchLines, TheElevatedCopyGetsTheMarkerFirstSoTheFolderStaysLast) {
  EXPECT_EQ(app::ElevatedCopyArguments("", "/S /D=C:\\A B"), "-1 /S /D=C:\\A B");
  EXPECT_EQ(app::ElevatedCopyArguments("/HANDBACK=9:8", ""), "-1 /HANDBACK=9:8");
  const app::SetupSwitches copy =
      app::ParseSetupSwitches(app::ElevatedCopyArguments("/HANDBACK=9:8", "/S /D=C:\\A B"));
  EXPECT_TRUE(copy.elevatedCopy);
  EXPECT_TRUE(copy.error.empty()) << copy.error;
  EXPECT_EQ(copy.installDir, "C:\\A B");
}

}  // namespace
