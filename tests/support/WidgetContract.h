// The widget contract suite: the rules of the portable controls (which changes fire handlers,
// when a person's action acts, range and layout rules, documents and folders) written against
// ui::Backend& only, and run on every backend, so the in-memory peers and the real windows are
// held to the same rules by one set of tests. A backend instantiates the suite with a factory
// that makes a fresh environment per test:
//   INSTANTIATE_TEST_SUITE_P(Headless, WidgetContract, testing::Values(&MakeHeadlessWidgetEnv));
// A form "TfrmTest" is shown before each test. Behaviour only one backend has (the headless
// clock, real windows and messages) is tested beside that backend's instantiation instead.
// This header stays free of anything backend-specific: the win32 build compiles it too.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <memory>
#include <string>

#include "system/Platform.h"
#include "ui/Backend.h"
#include "ui/Form.h"

struct WidgetEnv {
  std::unique_ptr<ui::Backend> backend;
  // The current platform during the test: documents and folders are read through it.
  std::unique_ptr<sys::Platform> platform;
  // A writable Windows folder for the test's files, without a trailing backslash; empty and
  // owned by this test.
  std::string scratch;
  // Removes what the test left; called after the backend and the platform go.
  std::function<void()> cleanup;
};

using WidgetFactory = WidgetEnv (*)();

class WidgetContract : public testing::TestWithParam<WidgetFactory> {
 protected:
  WidgetContract()
      : env_(GetParam()()),
        current_(*env_.platform),
        backend(*env_.backend),
        form(backend, "TfrmTest") {
    cleanup_.run = std::move(env_.cleanup);
    form.Show();
  }
  ~WidgetContract() override { ui::SetErrorReporter(nullptr); }

  sys::Platform& platform() { return *env_.platform; }
  const std::string& scratch() const { return env_.scratch; }
  // scratch + "\" + relative
  std::string At(const std::string& relative) const { return env_.scratch + "\\" + relative; }
  // Creates the file At(relative), with its folder, through the platform.
  void WriteFile(const std::string& relative, const std::string& bytes) {
    std::string path = At(relative);
    platform().ForceDirectories(path.substr(0, path.rfind('\\')));
    auto stream = platform().CreateForWrite(path);
    stream->Write(bytes.data(), bytes.size());
  }

 private:
  struct Cleanup {
    std::function<void()> run;
    ~Cleanup() {
      if (run) run();
    }
  };
  // Declared first, so it runs after everything below is gone.
  Cleanup cleanup_;
  WidgetEnv env_;
  sys::ScopedCurrentPlatform current_;

 protected:
  ui::Backend& backend;
  ui::Form form;
};
