#pragma once
// An open project put into words: its processor and clock macros, then every module the header
// writes, in tree order, with its summary, its settings entry by entry and the values its
// section writes. The text form serves reviewers (and "git diff" as a text conversion); the
// comparison of two descriptions says what changed setting by setting and register by register.

#include <string>
#include <vector>

#include "model/Summary.h"

class CProjDocBase;

namespace hwc {

// One value a module's section writes: a define, or a line of an internal-parameter block.
struct tDescribedValue {
    std::string name;  // the define name, or the parameter's name
    std::string value; // as written: empty for a bare define, "#undef" for one written as absent
    // For a parameter: the module its block names (the module itself, or an unknown module whose
    // block the user definitions keep); empty for a define.
    std::string parameterBlock;
};

struct tModuleDescription {
    std::string instance;
    std::string typeKey;
    std::string title;
    // The summary as the header writes it with comments on: the title line, the dashes and the
    // entries; empty for the user definitions, which the header heads with its own caption.
    std::string summary;
    std::vector<tSettingText> settings;
    std::vector<tDescribedValue> values;
};

struct tProjectDescription {
    std::string processorName;   // "K7Q5110"; empty when unknown
    std::string processorDefine; // the macro naming it, "K7Q5110EVK"
    // The part macros and clock macros, name and value text as the header writes them (the
    // mask number as the project file had it).
    std::vector<tDescribedValue> macros;
    bool defaultsWritten = true; // registers at their defaults are written too
    std::vector<tModuleDescription> modules;
};

// Describes the open project. The document's comment option is forced on while the summaries
// are taken and restored afterwards; nothing else changes.
tProjectDescription DescribeProject(CProjDocBase& document);

// The description as text: a few lines for the processor and clocks, a blank line, then per
// module a heading "INSTANCE (TYPE): Title", its summary lines and "NAME = value" per written
// value, indented ("INSTANCE: NAME = value" for an internal parameter); a blank line between
// modules. Only the heading lines start in the first column, so "git diff" names the module of
// a change in its hunk headers.
std::string DescribeText(const tProjectDescription& description);

// What differs from `a` to `b`, one line each: "Processors differ: X / Y" first when they do,
// changed processor and clock macros, then per module (matched by instance name, in A's order,
// then B's own) "Only in A: INSTANCE (title)" (the title when it is not the instance name),
// "Only in B: ...", "INSTANCE: Label: old -> new" for settings (matched by label and occurrence,
// unlabelled ones by position; "(none)" where one side has no such setting) and
// "INSTANCE: NAME: old -> new" for values ("(not written)" where one side writes none). Empty
// when they are equal.
std::vector<std::string> DiffProjects(const tProjectDescription& a, const tProjectDescription& b);

} // namespace hwc
