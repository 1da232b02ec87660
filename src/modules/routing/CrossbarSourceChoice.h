#pragma once
// The list that chooses which crossbar input drives a crossbar output, on the crossbar's own
// page and on the pages of the modules the output feeds.

#include <memory>
#include <string>
#include <vector>

#include "bindings/SetMode.h"

// Bound to the crossbar's own register field, whatever its width. A stored value beyond the
// inputs is kept and shown as "(input n)" until another is chosen, so opening and saving a
// project never changes it.
class CSetCrossbarSource : public CSetMode {
public:
    // The crossbar's input names, the entries of the list; every output's list holds the same
    // names once.
    void SetInputNames(std::shared_ptr<const std::vector<std::string>> names);
    void Refresh() override;

private:
    void MatchEntries();

    std::shared_ptr<const std::vector<std::string>> m_names;
    int m_extra = -1; // the kept value beyond the names, or -1
};

