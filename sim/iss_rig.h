// The adapter with everything the tool expects behind it: the LED driver chip
// on its pins; the range finder, the text panel and the plot device on its
// I2C bus at their usual addresses.
#pragma once

#include "iss/adapter_interface.h"
#include "sim/adapter_model.h"
#include "sim/max7219_model.h"
#include "sim/plot_model.h"
#include "sim/srf08_model.h"
#include "sim/text_panel_model.h"

namespace bc::sim {

struct IssRig {
    IssRig() {
        adapter.attachPins(&display);
        adapter.attach(iss::kSrf08Write, &ranger);
        adapter.attach(iss::kPanelWrite, &panel);
        adapter.attach(iss::kPlotWrite, &plot);
    }
    IssRig(const IssRig&) = delete;
    IssRig& operator=(const IssRig&) = delete;

    AdapterModel adapter;
    Max7219Model display;
    Srf08Model ranger;
    TextPanelModel panel;
    PlotModel plot;
};

}  // namespace bc::sim
