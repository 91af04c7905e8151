#pragma once
// A PDF document drawn with cairo in millimetres, with text laid out by pango. The document is
// collected in memory so that the caller decides when a file is written.
#include "sheet/sectionLayout.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
typedef struct _PangoLayout PangoLayout;

namespace vellora {

using RgbColor = std::array<std::uint8_t, 3>;

enum class TextAlign { left, centre, right };

struct TextStyle {
    double sizeMm = 3.5; // the font's em size
    bool bold = false;
    TextAlign align = TextAlign::left;
    double maxWidthMm = 0; // a longer text ends in an ellipsis; 0 for no limit
};

// A text laid out once and shown many times (a chart symbol in every cell of its colour).
class ShapedText {
  public:
    ShapedText() = default;
    ShapedText(cairo_t* cr, std::string_view text, const TextStyle& style);
    ShapedText(ShapedText&& other) noexcept;
    ShapedText& operator=(ShapedText&& other) noexcept;
    ~ShapedText();
    // Draws the text centred on (x, y) in the current source colour.
    void showCentredAt(cairo_t* cr, double x, double y) const;

  private:
    PangoLayout* layout_ = nullptr;
    double halfWidth_ = 0;
    double halfHeight_ = 0;
};

class PdfCanvas {
  public:
    PdfCanvas(PaperSize page, std::string_view title);
    ~PdfCanvas();
    PdfCanvas(const PdfCanvas&) = delete;
    PdfCanvas& operator=(const PdfCanvas&) = delete;

    cairo_t* cr() const { return cr_; }
    // The colour the next fill or stroke of cr() takes.
    void setColor(const RgbColor& rgb);
    PaperSize page() const { return page_; }
    // Text with its top at y; x is its left edge, centre or right edge by the alignment.
    // Returns the height it took.
    double text(std::string_view text, double x, double y, const TextStyle& style);
    void fillRect(double x, double y, double width, double height, const RgbColor& rgb);
    void strokeRect(double x, double y, double width, double height, double lineMm,
                    const RgbColor& rgb);
    // Ends the page under its footer (the title and the page number) and starts the next one.
    void nextPage();
    // Ends the last page and the document; its bytes, or empty with `error` set when cairo failed.
    std::string finish(std::string& error);

  private:
    void drawFooter();

    PaperSize page_;
    std::string title_;
    int pageNumber_ = 1;
    std::string bytes_;
    cairo_surface_t* surface_ = nullptr;
    cairo_t* cr_ = nullptr;
};

} // namespace vellora
