// The registry of wizard page classes by class name. The program body registers the page
// classes it carries at start-up and unregisters them at the end; the wizard frame creates its
// pages from the names the page switches give. A name nobody registered creates no page, so
// the frame works with any subset of the pages.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "wizard/PageForm.h"

namespace ui {
class Backend;
}

namespace wizard {

using PageFactory = std::function<std::unique_ptr<PageForm>(ui::Backend& backend)>;

// Registering a name again replaces its factory.
void RegisterPageClass(const std::string& className, PageFactory factory);
void UnregisterPageClass(const std::string& className);
bool IsPageClassRegistered(const std::string& className);
// nullptr when the class is not registered. Names compare exactly, as class names do.
std::unique_ptr<PageForm> CreateRegisteredPage(const std::string& className, ui::Backend& backend);

// RegisterForm<TfrmReadyIns>(): the class's kClassName with a factory of its own.
template <class T>
void RegisterForm() {
  RegisterPageClass(T::kClassName, [](ui::Backend& backend) -> std::unique_ptr<PageForm> {
    return std::make_unique<T>(backend);
  });
}
template <class T>
void UnregisterForm() {
  UnregisterPageClass(T::kClassName);
}

}  // namespace wizard
