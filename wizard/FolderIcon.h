// The 32 x 32 folder icon that the start-menu and install-folder pages show beside their
// folder: a PNG of our own (wizard/FolderIcon.png), compiled into the program.
#pragma once

#include <string>

namespace wizard {

std::string FolderIconPng();

}  // namespace wizard
