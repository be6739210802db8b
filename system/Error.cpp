#include "system/Error.h"

namespace sys {

std::string Format(const char* messageTemplate, const std::string& argument) {
  std::string text = messageTemplate;
  size_t at = text.find("%s");
  if (at != std::string::npos) text.replace(at, 2, argument);
  return text;
}

}  // namespace sys
