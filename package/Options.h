// Reading of setting values that are not plain text. TCompile::ApplyOptions (Options.cpp)
// derives the run's options from the settings.
#pragma once

#include <string>

// "Patch" and the like: a number (non-zero is true) or True/False ignoring ASCII case, blanks
// around it allowed. Anything else throws sys::Error("'<text>' is not a valid boolean value").
bool ReadBoolean(const std::string& text);
