// "Did you mean ...?" for a misspelt name: the known name nearest to it by edit distance over
// characters (UTF-8 code points, so one Chinese character counts once).
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace tool {

// Empty when no known name is close enough (at most 2 edits, and fewer than half the name).
std::string ClosestName(std::string_view name, std::initializer_list<std::string_view> known);
std::string ClosestName(std::string_view name, const std::vector<std::string>& known);

}  // namespace tool
