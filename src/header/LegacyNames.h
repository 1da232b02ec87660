#pragma once
// The register names of old configuration headers, paired with the macro names used now.

#include <vector>

#include "header/AppcfgFile.h"

// Every (legacy name, current name) pair; built once on first use.
const std::vector<tNamePair>& LegacyRegisterNames();
