#include "tools/InertPlatform.h"

#include "tools/ToolText.h"

namespace tool {

void InertPlatform::Refuse() { throw Failure("internal: a read-only command asked the platform"); }

}  // namespace tool
