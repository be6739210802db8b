// The comma text of the three folder lists (FileFolderList, RegFolderList, ShotCutFolderList).
//
// Writing: items joined by ","; an item holding a byte at or below the space, a comma or a
// double quote is enclosed in double quotes with inner quotes doubled; a list of one empty item
// is written as "" so that it reads back as one item.
// Reading: leading blanks are skipped; a quoted item ends at its closing quote (an unclosed one
// takes the rest of the text); an unquoted item ends at a comma or a byte at or below the space;
// blanks around the separating comma are skipped; a comma that ends the text adds one empty
// item; an empty text is an empty list. A NUL byte ends the text. Double-byte GBK characters
// are stepped over whole.
#pragma once

#include <string>
#include <vector>

namespace package {

std::string ToCommaText(const std::vector<std::string>& items);
std::vector<std::string> FromCommaText(const std::string& text);

}  // namespace package
