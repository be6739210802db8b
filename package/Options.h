// Reading of setting values that are not plain text. TCompile::ApplyOptions (Options.cpp)
// derives the run's options from the settings.
#pragma once

#include <string>

class TCompile;
struct TCompileData;

namespace package {

// "Patch" and the like: a number (non-zero is true) or True/False ignoring ASCII case, blanks
// around it allowed. Anything else throws sys::Error("'<text>' is not a valid boolean value").
bool ReadBoolean(const std::string& text);

}  // namespace package

// The first basic setting (group 0) whose caption equals caption ignoring ASCII case; nullptr
// when there is none. Settings of other groups are never returned, whatever their caption.
const TCompileData* FindBasicSetting(const TCompile& compile, const std::string& caption);
