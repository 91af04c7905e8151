#pragma once
// The PDF chart's drawing, with cairo and pango. It is built into a module of its own that the
// programs load only when a chart is asked for, so that a run without one does not load the
// drawing libraries; chartPdf (sheet/chartPdf.h) loads the module and calls it.
#include "core/designSettings.h"
#include "sheet/sheetDesign.h"

#include <string>

namespace vellora {

// The document's bytes, or empty with `error` set.
std::string renderChartPdf(const SheetDesign& design, const DesignSettings& settings,
                           std::string& error);

// The module's file name, and the name of its entry: void (const SheetDesign*, const
// DesignSettings*, std::string* document, std::string* error).
inline constexpr const char* kChartModuleName = "libvellora-chart.so";
inline constexpr const char* kChartModuleEntry = "vellora_render_chart_pdf";

} // namespace vellora
