#pragma once
// Turns a page's layout tree into Qt layouts: columns stack, rows line up, group boxes frame
// their nodes, and a row that starts with a label and goes on with fields becomes a form row
// so that the fields of neighbouring rows line up.

#include <functional>

#include "model/Page.h"

class QWidget;

namespace hwc::ui::page {

class CControlView;

// The view of a control, made the first time it is asked for; the builder places its widget.
using tViewMaker = std::function<CControlView&(CPageControl&)>;

// Fills the empty container with the page's controls. A sub-page's rows are table rows: their
// controls get one common width so that rows and heading rows stacked in separate sub-pages
// form columns.
void BuildPageLayout(CPage& page, QWidget* container, const tViewMaker& makeView);

// The page's controls in dialog order, each inserted sub-page's controls after its placeholder.
std::vector<CPageControl*> ControlsInDialogOrder(const CPage& page);

} // namespace hwc::ui::page
