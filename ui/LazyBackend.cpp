#include "ui/LazyBackend.h"

#include <utility>

#include "ui/Peer.h"

namespace ui {

LazyBackend::LazyBackend(std::function<std::unique_ptr<Backend>()> make) : make_(std::move(make)) {}

LazyBackend::~LazyBackend() = default;

Backend& LazyBackend::Get() const {
  if (!backend_) {
    backend_ = make_();
    // Whoever listens to this backend listens to the one it passes on to.
    backend_->OnTopWindowChanged = [this](uintptr_t window) {
      if (OnTopWindowChanged) OnTopWindowChanged(window);
    };
  }
  return *backend_;
}

std::unique_ptr<Peer> LazyBackend::CreatePeer(Control& control) { return Get().CreatePeer(control); }

int LazyBackend::RunModal(Form& form) { return Get().RunModal(form); }

void LazyBackend::ProcessMessages() { Get().ProcessMessages(); }

int LazyBackend::Dpi() const { return Get().Dpi(); }

}  // namespace ui
