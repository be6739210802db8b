#include <cassert>

#include "system/Platform.h"

namespace sys {
namespace {

Platform* current = nullptr;

}  // namespace

Platform& CurrentPlatform() {
  assert(current && "the program body or the test fixture sets the platform first");
  return *current;
}

void SetCurrentPlatform(Platform* platform) { current = platform; }

ScopedCurrentPlatform::ScopedCurrentPlatform(Platform& platform) : previous_(current) {
  current = &platform;
}

ScopedCurrentPlatform::~ScopedCurrentPlatform() { current = previous_; }

}  // namespace sys
