#include "wizard/PageRegistry.h"

#include <map>

namespace wizard {

namespace {

std::map<std::string, PageFactory>& Registry() {
  static std::map<std::string, PageFactory> registry;
  return registry;
}

}  // namespace

void RegisterPageClass(const std::string& className, PageFactory factory) {
  Registry()[className] = std::move(factory);
}

void UnregisterPageClass(const std::string& className) { Registry().erase(className); }

bool IsPageClassRegistered(const std::string& className) {
  return Registry().count(className) != 0;
}

std::unique_ptr<PageForm> CreateRegisteredPage(const std::string& className,
                                               ui::Backend& backend) {
  auto found = Registry().find(className);
  if (found == Registry().end()) return nullptr;
  return found->second(backend);
}

}  // namespace wizard
