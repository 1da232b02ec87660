#pragma once
// The architecture configuration file of a processor: which modules it has, how they are grouped
// and named, and per-module facts such as register reset values. Reading it creates the modules
// through the document and builds the module tree.
//
// The file is a tree list followed by a module-info section:
//
//   .BEGIN_TREE_LIST
//   OCCS   OCCS  NONE  0  "!Clocks!On-chip clock synthesis"  manual.pdf#occs
//   ADC_A  ADC   OCCS  0  Converter
//   {
//     ...entries whose parent is ADC_A...
//   }
//   .END_TREE_LIST
//   .BEGIN_MODULE_INFO
//   OCCS { CTRL_RESET = 0x0051 }
//   .END_MODULE_INFO
//
// with comments "#", "//" (to the end of the line) and "/* */" anywhere.

#include <string>
#include <string_view>

#include "project/ModuleTree.h"

class CTextFileParser;

namespace hwc {
// Brace groups nested deeper than this are skipped whole; real files use two or three levels.
constexpr int kMaxArchitectureNesting = 32;
// More entries than this make the load fail with a message; real files list fewer than a hundred.
constexpr int kMaxArchitectureEntries = 2000;
} // namespace hwc

// Empties the tree, reads the architecture file at `path` (the caller gives the processor's file
// beside the executable) and creates one module and tree item per entry. The user is told when
// the file is missing or the processor is unknown; a malformed top-level entry makes the load
// fail without a message.
bool LoadArchitecture(const std::string& path, std::string_view processorName, CModuleTree& tree,
                      IModuleFactory& factory);

// Reads tree entries and brace groups into `parent` until the end of the level; false on an
// entry with fewer than four fields on its line, or (with a message) on more entries in all
// than kMaxArchitectureEntries.
bool ParseTreeList(CTextFileParser& parser, CModuleTreeItem& parent, int depth, CModuleTree& tree,
                   IModuleFactory& factory);

// Reads the module-info section and hands each block to the first module of that instance name.
bool ParseModuleInfo(CTextFileParser& parser, IModuleFactory& factory);
