#include "ui/Backend.h"

#include <utility>

namespace ui {

namespace {

std::function<void(const std::exception&)>& Reporter() {
  static std::function<void(const std::exception&)> reporter;
  return reporter;
}

}  // namespace

Backend::~Backend() = default;

int Backend::Dpi() const { return 96; }

void SetErrorReporter(std::function<void(const std::exception&)> reporter) {
  Reporter() = std::move(reporter);
}

void Dispatch(const std::function<void()>& fn) {
  if (!Reporter()) {
    fn();
    return;
  }
  try {
    fn();
  } catch (const std::exception& e) {
    Reporter()(e);
  }
}

}  // namespace ui
