// An uninstall log as JSON (UTF-8): the header and every item in recorded order, with the kind
// and the root spelled out beside the stored values.
#pragma once

#include <nlohmann/json.hpp>

class TUnInstall;

namespace tool {

nlohmann::ordered_json InsLogToJson(const TUnInstall& log);

}  // namespace tool
