#include "tiling/tableText.h"

#include "core/progress.h"
#include "tiling/textFormat.h"

namespace vellora {

namespace {

void writeLabelLine(std::string& text, const char* label, int value) {
    appendFormatted(text, "%-31s,%d\n", label, value);
}

void writeLabelPair(std::string& text, const char* label, int first, int second) {
    appendFormatted(text, "%-31s,%d * %d\n", label, first, second);
}

void writeColorFields(std::string& text, const std::uint8_t* bgr) {
    appendFormatted(text, ",%7d,%7d,%7d", bgr[2], bgr[1], bgr[0]);
}

} // namespace

std::vector<std::int64_t> paletteUseCounts(const TilingTable& table) {
    std::vector<std::int64_t> counts(std::size_t(table.paletteLength()), 0);
    const std::int64_t cells = table.geometry.tileCount();
    for (std::int64_t n = 0; n < cells; ++n) {
        const std::uint8_t index = *table.entry(n);
        if (index < counts.size()) ++counts[index];
    }
    return counts;
}

void writeTableHeaderText(std::string& text, const TilingTable& table,
                          std::string_view sourceFile) {
    const DibImage& h = table.header;
    const TileGeometry& g = table.geometry;
    appendFormatted(text, "source file : %.*s\n\n", int(sourceFile.size()), sourceFile.data());
    text += "basic info of tiling 'bitmap' file as follows:\n";
    writeLabelLine(text, "bitmap file size", int(h.fileSize));
    writeLabelPair(text, "image width * height", h.width, h.height);
    writeLabelLine(text, "bits per pixel", h.bitsPerPixel);
    writeLabelPair(text, "tile count width * height", g.tileColumns, g.tileRows);
    writeLabelPair(text, "tile pixel size width * height", g.tileWidth, g.tileHeight);
    writeLabelLine(text, "slit pixel size", g.slitWidth);
}

void writeIndexTableText(Session& session, std::string& text, const TilingTable& table) {
    const TileGeometry& g = table.geometry;
    const std::vector<std::int64_t> counts = paletteUseCounts(table);
    progressBegin(session, double(counts.size()));
    text += "\npalette colors as follows:\n";
    text += "index  ,red    ,green  ,blue   ,count\n";
    for (std::size_t i = 0; i < counts.size(); ++i) {
        appendFormatted(text, "%7d", int(i));
        writeColorFields(text, table.header.paletteEntry(int(i)));
        appendFormatted(text, ",%7lld\n", static_cast<long long>(counts[i]));
        progressAdvance(session);
    }
    if (g.slitWidth != 0) {
        text += "\nslit color index as follows:\n";
        appendFormatted(text, "%s,%7d\n", "horizon slit   ", *table.horizontalSlitEntry());
        appendFormatted(text, "%s,%7d\n", "vertical slit  ", *table.verticalSlitEntry());
    }
    progressBegin(session, g.tileRows);
    text += "\ntile color index as follows:\n";
    text += "       ";
    for (int c = 0; c < g.tileColumns; ++c)
        appendFormatted(text, ",horz%3d", c);
    text += "\n";
    for (int r = 0; r < g.tileRows; ++r) {
        appendFormatted(text, "vert%3d", r);
        for (int c = 0; c < g.tileColumns; ++c)
            appendFormatted(text, ",%7d", *table.gridEntry(r, c));
        text += "\n";
        progressAdvance(session);
    }
}

void writeColorTableText(Session& session, std::string& text, const TilingTable& table) {
    const TileGeometry& g = table.geometry;
    progressBegin(session, g.tileRows);
    if (g.slitWidth != 0) {
        text += "\nslit color index as follows:\n";
        text += "             ,red    ,green  ,blue\n";
        text += "horizon slit ";
        writeColorFields(text, table.horizontalSlitEntry());
        text += "\nvertical slit";
        writeColorFields(text, table.verticalSlitEntry());
        text += "\n";
    }
    text += "\ntile color as follows:\n";
    text += "vert  ,horz  ,red    ,green  ,blue\n";
    for (int r = 0; r < g.tileRows; ++r) {
        for (int c = 0; c < g.tileColumns; ++c) {
            appendFormatted(text, " %5d, %5d", r, c);
            writeColorFields(text, table.gridEntry(r, c));
            text += "\n";
        }
        progressAdvance(session);
    }
}

} // namespace vellora
