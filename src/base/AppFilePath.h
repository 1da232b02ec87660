#pragma once
// Where the program's companion files are found: relative to the folder of the executable.

#include <string>
#include <string_view>

// The folder of the executable, ending in one "/".
const std::string& AppFolder();
// Replaces the folder (tests, or a program that keeps its companion files elsewhere); an empty
// text goes back to the folder of the executable.
void SetAppFolder(std::string_view folder);

// The name unchanged when it is an absolute path; otherwise the application folder, then the
// subfolder and the name where they are not empty, joined by single "/".
std::string AppFilePath(std::string_view name, std::string_view subfolder = {});
