#include "app/ErrorReporter.h"

#include "system/Error.h"
#include "ui/Backend.h"
#include "wizard/SetupErrors.h"

namespace app {

ScopedErrorReporter::ScopedErrorReporter() {
  ui::SetErrorReporter([this](const std::exception& error) {
    if (dynamic_cast<const sys::Abort*>(&error)) return;
    ++reported_;
    wizard::ReportSetupError(error);
  });
}

ScopedErrorReporter::~ScopedErrorReporter() { ui::SetErrorReporter(nullptr); }

}  // namespace app
