#pragma once
// Where the document reports its progress while it loads modules: the splash window of the
// desktop program, the import dialog, or nothing in a headless run.

class ISplashProgress {
public:
    virtual ~ISplashProgress() = default;
    virtual void Show() = 0;
    virtual void SetProgress(int position, int range) = 0;
};
