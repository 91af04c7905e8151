#include "sheet/pdfCanvas.h"

#include <cairo-pdf.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <utility>

namespace vellora {

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;
constexpr const char* kFontFamily = "DejaVu Sans";

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length) {
    static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
    return CAIRO_STATUS_SUCCESS;
}

// Outlines exactly as designed: a chart is read at its real proportions, never hinted to pixels.
void unhinted(PangoContext* context) {
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
    pango_context_set_round_glyph_positions(context, FALSE); // a unit is a millimetre here
}

PangoLayout* makeLayout(cairo_t* cr, std::string_view text, const TextStyle& style) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    unhinted(pango_layout_get_context(layout));
    pango_layout_context_changed(layout);
    PangoFontDescription* font = pango_font_description_new();
    pango_font_description_set_family(font, kFontFamily);
    pango_font_description_set_weight(font, style.bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_absolute_size(font, style.sizeMm * PANGO_SCALE);
    pango_layout_set_font_description(layout, font);
    pango_font_description_free(font);
    pango_layout_set_text(layout, text.data(), int(text.size()));
    if (style.maxWidthMm > 0) {
        pango_layout_set_width(layout, int(style.maxWidthMm * PANGO_SCALE));
        pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
    }
    return layout;
}

struct LayoutBox {
    double width;
    double height;
};

LayoutBox logicalBox(PangoLayout* layout) {
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    return {double(logical.width) / PANGO_SCALE, double(logical.height) / PANGO_SCALE};
}

} // namespace

ShapedText::ShapedText(cairo_t* cr, std::string_view text, const TextStyle& style)
    : layout_(makeLayout(cr, text, style)) {
    const LayoutBox box = logicalBox(layout_);
    halfWidth_ = box.width / 2;
    halfHeight_ = box.height / 2;
}

ShapedText::ShapedText(ShapedText&& other) noexcept
    : layout_(std::exchange(other.layout_, nullptr)), halfWidth_(other.halfWidth_),
      halfHeight_(other.halfHeight_) {}

ShapedText& ShapedText::operator=(ShapedText&& other) noexcept {
    std::swap(layout_, other.layout_);
    halfWidth_ = other.halfWidth_;
    halfHeight_ = other.halfHeight_;
    return *this;
}

ShapedText::~ShapedText() {
    if (layout_) g_object_unref(layout_);
}

void ShapedText::showCentredAt(cairo_t* cr, double x, double y) const {
    cairo_move_to(cr, x - halfWidth_, y - halfHeight_);
    pango_cairo_show_layout(cr, layout_);
}

PdfCanvas::PdfCanvas(PaperSize page, std::string_view title) : page_(page), title_(title) {
    surface_ = cairo_pdf_surface_create_for_stream(
        appendBytes, &bytes_, page.widthMm * kPointsPerMm, page.heightMm * kPointsPerMm);
    cairo_pdf_surface_set_metadata(surface_, CAIRO_PDF_METADATA_TITLE, title_.c_str());
    cairo_pdf_surface_set_metadata(surface_, CAIRO_PDF_METADATA_CREATOR, "Vellora");
    cr_ = cairo_create(surface_);
    cairo_scale(cr_, kPointsPerMm, kPointsPerMm);
}

PdfCanvas::~PdfCanvas() {
    if (cr_) cairo_destroy(cr_);
    if (surface_) cairo_surface_destroy(surface_);
}

double PdfCanvas::text(std::string_view text, double x, double y, const TextStyle& style) {
    PangoLayout* layout = makeLayout(cr_, text, style);
    const LayoutBox box = logicalBox(layout);
    const double shift = style.align == TextAlign::left     ? 0
                         : style.align == TextAlign::centre ? box.width / 2
                                                            : box.width;
    cairo_set_source_rgb(cr_, 0, 0, 0);
    cairo_move_to(cr_, x - shift, y);
    pango_cairo_show_layout(cr_, layout);
    g_object_unref(layout);
    return box.height;
}

void PdfCanvas::setColor(const RgbColor& rgb) {
    cairo_set_source_rgb(cr_, rgb[0] / 255.0, rgb[1] / 255.0, rgb[2] / 255.0);
}

void PdfCanvas::fillRect(double x, double y, double width, double height, const RgbColor& rgb) {
    setColor(rgb);
    cairo_rectangle(cr_, x, y, width, height);
    cairo_fill(cr_);
}

void PdfCanvas::strokeRect(double x, double y, double width, double height, double lineMm,
                           const RgbColor& rgb) {
    setColor(rgb);
    cairo_set_line_width(cr_, lineMm);
    cairo_rectangle(cr_, x, y, width, height);
    cairo_stroke(cr_);
}

void PdfCanvas::drawFooter() {
    const std::string footer = title_ + " · page " + std::to_string(pageNumber_);
    text(footer, page_.widthMm / 2, page_.heightMm - kPageMarginMm + 3,
         {2.6, false, TextAlign::centre});
}

void PdfCanvas::nextPage() {
    drawFooter();
    cairo_show_page(cr_);
    ++pageNumber_;
}

std::string PdfCanvas::finish(std::string& error) {
    drawFooter();
    cairo_show_page(cr_);
    cairo_destroy(cr_);
    cr_ = nullptr;
    cairo_surface_finish(surface_);
    const cairo_status_t status = cairo_surface_status(surface_);
    cairo_surface_destroy(surface_);
    surface_ = nullptr;
    if (status == CAIRO_STATUS_SUCCESS) return std::move(bytes_);
    error = std::string("the chart could not be drawn: ") + cairo_status_to_string(status);
    return {};
}

} // namespace vellora
