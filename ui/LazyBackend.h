// A backend that is made on its first use. A setup program that runs without a window of its
// own (a silent or unattended run) then never pays for what the real backend sets up when it is
// made: under Wine, loading the common controls and the theme and making the fonts of its
// drawing cache, before the package is even opened. Every call passes through to the made
// backend, and so does its notice of the window in front (OnTopWindowChanged).
#pragma once

#include <functional>
#include <memory>

#include "ui/Backend.h"

namespace ui {

class LazyBackend : public Backend {
 public:
  explicit LazyBackend(std::function<std::unique_ptr<Backend>()> make);
  ~LazyBackend() override;

  // Each makes the backend first when it is not made yet.
  std::unique_ptr<Peer> CreatePeer(Control& control) override;
  int RunModal(Form& form) override;
  void ProcessMessages() override;
  int Dpi() const override;

  bool Made() const { return backend_ != nullptr; }

 private:
  Backend& Get() const;

  std::function<std::unique_ptr<Backend>()> make_;
  mutable std::unique_ptr<Backend> backend_;
};

}  // namespace ui
