// The command line from uninst.exe to its temporary copy: what the original writes the copy
// reads back, and anything else (a user's own arguments, a damaged or forged line) is no
// handoff, so the copy never waits on or deletes something the original did not name.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "uninstaller/Handoff.h"

namespace {

using uninst::Handoff;

// Splits as CommandLineToArgvW does for lines without escaped quotes.
std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> args;
  std::string current;
  bool quoted = false, any = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if (c == ' ' && !quoted) {
      if (any) args.push_back(current);
      current.clear();
      any = false;
    } else {
      current += c;
      any = true;
    }
  }
  if (any) args.push_back(current);
  return args;
}

TEST(Handoff, WhatTheOriginalWritesTheCopyReadsBack) {
  const Handoff sent{"C:\\Program Files\\演示 软件\\uninst.exe", 0x2A4, 0x1F0};
  std::optional<Handoff> got = uninst::ParseHandoff(Split(uninst::HandoffArguments(sent)));
  ASSERT_TRUE(got.has_value());
  EXPECT_EQ(got->original, sent.original);
  EXPECT_EQ(got->originalProcess, sent.originalProcess);
  EXPECT_EQ(got->logHold, sent.logHold);
  // A run without a hold to pass (0) is still a handoff.
  got = uninst::ParseHandoff(Split(uninst::HandoffArguments({"D:\\a\\uninst.exe", 8, 0})));
  ASSERT_TRUE(got.has_value());
  EXPECT_EQ(got->logHold, 0u);
}

TEST(Handoff, AnythingElseIsNoHandoff) {
  const std::vector<std::vector<std::string>> lines = {
      {},
      {"/S"},
      {"/handoff"},
      {"/handoff", "12", "0"},
      {"/handoff", "12", "0", "C:\\A\\uninst.exe", "extra"},
      {"/HANDOFF", "12", "0", "C:\\A\\uninst.exe"},
      {"/handoff", "0", "0", "C:\\A\\uninst.exe"},        // no process to wait on
      {"/handoff", "-1", "0", "C:\\A\\uninst.exe"},
      {"/handoff", "12x", "0", "C:\\A\\uninst.exe"},
      {"/handoff", "12", "", "C:\\A\\uninst.exe"},
      {"/handoff", "99999999999999999999999", "0", "C:\\A\\uninst.exe"},  // beyond 64 bits
      {"/handoff", "12", "0", "uninst.exe"},              // relative: resolves anywhere
      {"/handoff", "12", "0", "C:\\"},                    // a drive itself
      {"/handoff", "12", "0", "C:\\A\\un\"inst.exe"},
      {"/handoff", "12", "0", "\\\\srv\\share\\a\\uninst.exe"},  // its log would be read from a server
      {"/handoff", "12", "0", "\\\\?\\C:\\A\\uninst.exe"},
      {"/handoff", "12", "0", "C:\\A\\CON\\uninst.exe"},
  };
  for (const auto& args : lines) {
    std::ostringstream shown;
    for (const auto& arg : args) shown << '[' << arg << ']';
    EXPECT_FALSE(uninst::ParseHandoff(args).has_value()) << shown.str();
  }
}

TEST(Handoff, TheLogIsBesideTheOriginalNotBesideTheCopy) {
  const std::string copy = "C:\\Users\\u\\AppData\\Local\\Temp\\~uninst-77\\uninst.exe";
  EXPECT_EQ(uninst::LogPathFor(copy, Handoff{"D:\\Apps\\Tool\\uninst.exe", 4, 0}),
            "D:\\Apps\\Tool\\Ins.log");
  EXPECT_EQ(uninst::LogPathFor("D:\\Apps\\Tool\\uninst.exe", std::nullopt), "D:\\Apps\\Tool\\Ins.log");
}

TEST(Handoff, EachTryNamesAnotherFolder) {
  EXPECT_EQ(uninst::CopyFolderName(4000000), "~uninst-4000000");
  EXPECT_NE(uninst::CopyFolderName(1), uninst::CopyFolderName(2));
}

TEST(Handoff, OnlyACopyFolderUnderTheTemporaryFolderIsRemovedAtTheEnd) {
  const std::string temp = "C:\\Users\\u\\AppData\\Local\\Temp\\";
  EXPECT_TRUE(uninst::IsInCopyFolder(temp + "~uninst-4184121\\uninst.exe", temp));
  EXPECT_TRUE(uninst::IsInCopyFolder("c:\\users\\U\\appdata\\local\\temp\\~UNINST-7\\x.exe", temp));
  EXPECT_FALSE(uninst::IsInCopyFolder("C:\\Program Files\\Tool\\uninst.exe", temp));
  EXPECT_FALSE(uninst::IsInCopyFolder(temp + "uninst.exe", temp));
  EXPECT_FALSE(uninst::IsInCopyFolder(temp + "~uninst-\\uninst.exe", temp));
  EXPECT_FALSE(uninst::IsInCopyFolder(temp + "~uninst-12a\\uninst.exe", temp));
  EXPECT_FALSE(uninst::IsInCopyFolder(temp + "~uninst-12\\Sub\\uninst.exe", temp));
  EXPECT_FALSE(uninst::IsInCopyFolder(temp + "Other\\~uninst-12\\uninst.exe", temp));
  EXPECT_FALSE(uninst::IsInCopyFolder("C:\\~uninst-12\\uninst.exe", ""));
}

}  // namespace
