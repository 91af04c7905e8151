#include "shell/streamedInvert.h"

#include "color/invert.h"
#include "core/atomicFile.h"
#include "core/dibImage.h"
#include "core/regularFile.h"
#include "imageio/bmpAsIs.h"
#include "imageio/bmpHeader.h"
#include "shell/pictureConvert.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace vellora {

namespace {
// Rows per piece: about a megabyte, so that the buffer stays in the cache.
constexpr std::size_t kPieceBytes = std::size_t(1) << 20;

// Reads exactly `count` bytes from `offset` on, past the stdio buffer: the pieces are large. A
// regular file gives them all at once or has changed meanwhile, and the usual way tells why.
bool readAt(int fd, std::uint8_t* bytes, std::size_t count, std::uint64_t offset) {
    return ::pread(fd, bytes, count, off_t(offset)) == ssize_t(count);
}

// The input's geometry when it is a file the rows can stream from.
bool streamableShape(int fd, DibImage& shape) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) return false;
    const std::uint64_t length = std::uint64_t(status.st_size);
    std::vector<std::uint8_t> head(std::min<std::uint64_t>(length, imageio::kBmpHeadBytes));
    return readAt(fd, head.data(), head.size(), 0) &&
           imageio::plainBmpShape({head.data(), head.size()}, length, shape) &&
           shape.bitsPerPixel == 24 && shape.paletteEntries == 0;
}

// The output file piece by piece: the header a fresh picture of the shape has, then the rows
// inverted with their padding cleared, as inverting a picture in place leaves them. Every piece
// reads rows on from the last, so a piece past the file's end fails instead of going on.
class InvertedRows {
  public:
    InvertedRows(int fd, const DibImage& shape)
        : fd_(fd), shape_(shape), offset_(shape.bitsOffset), rowsLeft_(shape.height),
          rowsPerPiece_(std::min(std::max<std::size_t>(1, kPieceBytes / std::size_t(shape.stride)),
                                 rowsLeft_)),
          buffer_(kHeaderBytes + std::size_t(shape.stride) * rowsPerPiece_) {}

    bool next(std::span<const std::uint8_t>& piece) {
        const std::size_t stride = std::size_t(shape_.stride);
        const std::size_t rows = std::min(rowsPerPiece_, rowsLeft_);
        // The header goes before the first rows.
        const std::size_t lead = rowsLeft_ == std::size_t(shape_.height) ? kHeaderBytes : 0;
        if (lead != 0) writeDibHeader(shape_, buffer_.data());
        std::uint8_t* first = buffer_.data() + lead;
        if (!readAt(fd_, first, rows * stride, offset_)) return false;
        const std::size_t rowBytes = 3 * std::size_t(shape_.width);
        for (std::uint8_t* row = first; row < first + rows * stride; row += stride)
            invertRowInPlace(row, rowBytes, stride);
        offset_ += rows * stride;
        rowsLeft_ -= rows;
        piece = {buffer_.data(), lead + rows * stride};
        return true;
    }

  private:
    int fd_;
    const DibImage& shape_;
    std::uint64_t offset_;
    std::size_t rowsLeft_;
    const std::size_t rowsPerPiece_;
    std::vector<std::uint8_t> buffer_;
};
} // namespace

bool invertFileStreamed(const Session& session, const std::string& input,
                        const std::string& output) {
    const int depth = invertResultDepth(session.workingBlock.invertDepthIndex);
    if ((depth != 0 && depth != 24) || encoderMimeType(output) != "image/bmp") return false;
    const ReadFile file = openRegularFile(input);
    DibImage shape;
    const int fd = file ? ::fileno(file.get()) : -1;
    if (!file || !streamableShape(fd, shape)) return false;
    InvertedRows rows(fd, shape);
    const FilePieces pieces = [&](std::span<const std::uint8_t>& piece) {
        return rows.next(piece);
    };
    return writeFileAtomically(output, pieces, session.saveDurability) == AtomicFileFailure::none;
}

} // namespace vellora
