#include "tools/reading/InertPlatform.h"

#include "tools/host/ToolText.h"

namespace tool {

void InertPlatform::Refuse() { throw Failure("internal: a read-only command asked the platform"); }

}  // namespace tool
