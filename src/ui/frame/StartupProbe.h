#pragma once
// Measuring and picturing the program without a person at the screen: with HWC_EXIT_WHEN_SHOWN
// set, the program ends once the first page is on screen (the benchmark times start-up this
// way); HWC_SHOW_MODULE names the module to show first, HWC_FIND_QUERY a query to open the Find
// window with, and HWC_SCREENSHOT a PNG file that receives a picture of the main window (with
// the Find window over it) before the program ends.

class CMainFrame;
class CProjDocBase;

namespace hwc::ui {

// True when one of the variables asks for a probe run.
bool StartupProbeRequested();
// Called after the first idle pass: shows the requested module, takes the picture and quits.
void RunStartupProbe(CMainFrame& frame, CProjDocBase& document);

} // namespace hwc::ui
