#pragma once
// The headless commands that put a configuration into words: describe one project, or compare
// two of them setting by setting.

#include <string>

// Prints the configuration of the project at `path` in words; exit 0, or 2 when it cannot be
// opened or the output cannot be written. The project is only read: never locked, never saved.
int RunDescribe(const std::string& path);
// Compares two projects (files or folders, the same one twice too); exit 0 when equal, 1 when
// they differ, 2 when either cannot be opened or the output cannot be written.
int RunDiff(const std::string& pathA, const std::string& pathB);
