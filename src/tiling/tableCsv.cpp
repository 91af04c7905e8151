#include "tiling/tableCsv.h"

#include "core/atomicFile.h"
#include "core/progress.h"
#include "tiling/tableText.h"
#include "tiling/textFormat.h"

#include <cstdio>
#include <cstdlib>

namespace vellora {

namespace {

void writeColorFields(std::string& csv, const std::uint8_t* bgr) {
    appendFormatted(csv, ",%d,%d,%d", bgr[2], bgr[1], bgr[0]);
}

} // namespace

void writeCsvHeader(std::string& csv, const TilingTable& table, std::string_view sourceFile) {
    const DibImage& h = table.header;
    const TileGeometry& g = table.geometry;
    appendFormatted(csv, "source file :%.*s\n\n", int(sourceFile.size()), sourceFile.data());
    csv += "basic info of tiling 'bitmap' file as follows:\n";
    appendFormatted(csv, "%s,,%d\n", "bitmap file size", int(h.fileSize));
    appendFormatted(csv, "%s,,%d,%d\n", "image width * height", h.width, h.height);
    appendFormatted(csv, "%s,,%d\n", "bits per pixel", h.bitsPerPixel);
    appendFormatted(csv, "%s,,%d,%d\n", "tile count width * height", g.tileColumns, g.tileRows);
    appendFormatted(csv, "%s,,%d,%d\n", "tile pixel size width * height", g.tileWidth,
                    g.tileHeight);
    appendFormatted(csv, "%s,,%d\n", "slit pixel size", g.slitWidth);
}

void writeIndexTableCsv(Session& session, std::string& csv, const TilingTable& table) {
    const TileGeometry& g = table.geometry;
    const std::vector<std::int64_t> counts = paletteUseCounts(table);
    progressBegin(session, double(counts.size()));
    csv += "\npalette colors as follows:\n";
    csv += "index,red,green,blue,count\n";
    for (std::size_t i = 0; i < counts.size(); ++i) {
        appendFormatted(csv, "%d", int(i));
        writeColorFields(csv, table.header.paletteEntry(int(i)));
        appendFormatted(csv, ",%lld\n", static_cast<long long>(counts[i]));
        progressAdvance(session);
    }
    if (g.slitWidth != 0) {
        csv += "\nslit color index as follows:\n";
        appendFormatted(csv, "%s,%d\n", "horizon slit", *table.horizontalSlitEntry());
        appendFormatted(csv, "%s,%d\n", "vertical slit", *table.verticalSlitEntry());
    }
    progressBegin(session, g.tileRows);
    csv += "\ntile color index as follows:\n";
    for (int c = 0; c < g.tileColumns; ++c)
        appendFormatted(csv, ",horz %d", c);
    csv += "\n";
    for (int r = 0; r < g.tileRows; ++r) {
        appendFormatted(csv, "vert %d", r);
        for (int c = 0; c < g.tileColumns; ++c)
            appendFormatted(csv, ",%d", *table.gridEntry(r, c));
        csv += "\n";
        progressAdvance(session);
    }
}

void writeColorTableCsv(Session& session, std::string& csv, const TilingTable& table) {
    const TileGeometry& g = table.geometry;
    progressBegin(session, g.tileRows);
    if (g.slitWidth != 0) {
        csv += "\nslit color data as follows:\n";
        csv += ",,red,green,blue\n";
        csv += "horizon slit,";
        writeColorFields(csv, table.horizontalSlitEntry());
        csv += "\nvertical slit,";
        writeColorFields(csv, table.verticalSlitEntry());
        csv += "\n";
    }
    csv += "\ntile color data as follows:\n";
    csv += "vert,horz,red,green,blue\n";
    for (int r = 0; r < g.tileRows; ++r) {
        for (int c = 0; c < g.tileColumns; ++c) {
            appendFormatted(csv, "%d,%d", r, c);
            writeColorFields(csv, table.gridEntry(r, c));
            csv += "\n";
        }
        progressAdvance(session);
    }
}

bool replaceFileContents(const std::filesystem::path& path, std::string_view contents) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(contents.data());
    return writeFileAtomically(path, {bytes, contents.size()}) == AtomicFileFailure::none;
}

} // namespace vellora
