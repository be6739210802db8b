// Splitting text into lines as the edit control shows them: at CR LF, lone LF or lone CR.
#pragma once

#include <string>
#include <vector>

namespace ui {

// "a\r\n" is {"a", ""}; an empty text is one empty line.
std::vector<std::string> SplitLines(const std::string& text);

}  // namespace ui
