#pragma once
// Which header file a project path names: a header file itself, or a firmware project folder.

#include <string>

// An empty path means the current folder. For a folder, its "ApplicationConfig/appconfig.h" when
// that file exists, else its "appconfig.h"; any other path is taken as the header file itself.
std::string ResolveProjectFile(const std::string& path);
