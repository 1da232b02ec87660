#pragma once
// The timing graphs of the CAN controller page: one bit of a timing set cut into its time
// quanta, with the sync, propagation and two phase segments, the sample point and how far
// resynchronisation may move it. The graph control of the page carries the description as text.

#include "model/BitGraph.h"
#include "modules/communication/CanBitTiming.h"

class CPage;

class CpmYCAN_Graph_Base {
public:
    explicit CpmYCAN_Graph_Base(int controlId) : m_controlId(controlId) {}
    virtual ~CpmYCAN_Graph_Base() = default;

    int ControlId() const { return m_controlId; }
    // The bit of the set: sync 1, prop, pseg1, pseg2; sample after 1 + PROP_SEG + PHASE_SEG1;
    // the jump width is RJW. Segments that are not positive are drawn with no quanta.
    static hwc::tBitGraph Describe(const hwc::tCanTiming& timing);
    // Writes the description of the set into the graph control, when the page has it.
    void Show(CPage& page, const hwc::tCanTiming& timing) const;

private:
    int m_controlId;
};

// The nominal bit (the basic or the extended set, whichever is in use).
class CpmYCAN_Graph : public CpmYCAN_Graph_Base {
public:
    using CpmYCAN_Graph_Base::CpmYCAN_Graph_Base;
};

// The data-phase bit of flexible data rate.
class CpmYCAN_GraphFd : public CpmYCAN_Graph_Base {
public:
    using CpmYCAN_Graph_Base::CpmYCAN_Graph_Base;
};
