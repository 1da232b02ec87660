#pragma once
// The output options a project carries: how its header is written.

struct tProjectOptions {
    bool generateComments = true;
    bool generateDefaults = false;
    bool keepUserComments = true; // the user's comments on defines survive a save
    bool briefView = false;

    bool operator==(const tProjectOptions&) const = default;
};
