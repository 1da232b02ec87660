#include "modules/communication/CpmYCAN_Graph.h"

#include <algorithm>

#include "model/Page.h"

hwc::tBitGraph CpmYCAN_Graph_Base::Describe(const hwc::tCanTiming& timing) {
    const int prop = std::max(timing.propSeg, 0);
    const int pseg1 = std::max(timing.phaseSeg1, 0);
    const int pseg2 = std::max(timing.phaseSeg2, 0);
    hwc::tBitGraph graph;
    graph.segments = {{"sync", 1}, {"prop", prop}, {"pseg1", pseg1}, {"pseg2", pseg2}};
    graph.quanta = 1 + prop + pseg1 + pseg2;
    graph.sampleAfter = 1 + prop + pseg1;
    graph.jumpWidth = std::max(timing.rjw, 0);
    return graph;
}

void CpmYCAN_Graph_Base::Show(CPage& page, const hwc::tCanTiming& timing) const {
    page.SetControlText(m_controlId, hwc::FormatBitGraph(Describe(timing)));
}
