// The platform contract suite: one set of tests written against sys::Platform& only, run for
// every implementation. An implementation instantiates it with a factory that makes a fresh
// environment per test:
//   INSTANTIATE_TEST_SUITE_P(Sandbox, PlatformContract, testing::Values(&MakeSandboxContractEnv));
// This header stays free of anything implementation-specific: the win32 build compiles it too.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "system/Platform.h"

struct ContractEnv {
  std::unique_ptr<sys::Platform> platform;
  // A writable Windows folder for the test's files, without a trailing backslash; empty and
  // owned by this test.
  std::string scratch;
  // Reads a shell link file back by an independent route (the shell, or a file parser).
  std::function<sys::ShellLink(const std::string& lnkPath)> readShellLink;
  // A registry path below HKEY_CURRENT_USER owned by this test
  // ("Software\SetupRuntimeTests\<unique>"), removed by cleanup.
  std::string registryKey;
  // Makes link a folder link (a junction where the system has them) to the folder target, both
  // full Windows paths; false where the implementation cannot make one.
  std::function<bool(const std::string& link, const std::string& target)> makeFolderLink;
  // Whether files keep the owner and access list they are created with. Wine keeps neither: it
  // reports the user as every file's owner and an access list made from the Unix mode.
  bool keepsFileOwners = true;
  // Removes what the test left (scratch folder, registry key); called after the platform goes.
  std::function<void()> cleanup;
};

using ContractFactory = ContractEnv (*)();

class PlatformContract : public testing::TestWithParam<ContractFactory> {
 protected:
  void SetUp() override { env_ = GetParam()(); }
  void TearDown() override {
    auto cleanup = std::move(env_.cleanup);
    env_.platform.reset();
    if (cleanup) cleanup();
  }

  sys::Platform& platform() { return *env_.platform; }
  const std::string& scratch() const { return env_.scratch; }
  // scratch + "\" + relative
  std::string At(const std::string& relative) const { return env_.scratch + "\\" + relative; }
  const std::string& registryKey() const { return env_.registryKey; }
  sys::ShellLink ReadShellLink(const std::string& path) { return env_.readShellLink(path); }
  bool keepsFileOwners() const { return env_.keepsFileOwners; }
  bool MakeFolderLink(const std::string& link, const std::string& target) {
    return env_.makeFolderLink && env_.makeFolderLink(link, target);
  }

 private:
  ContractEnv env_;
};
