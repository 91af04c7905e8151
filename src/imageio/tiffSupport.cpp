#include "imageio/tiffSupport.h"

#include "imageio/pictureLimits.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>

namespace vellora::imageio {

namespace {

TiffStream& streamOf(thandle_t handle) {
    return *static_cast<TiffStream*>(handle);
}

tmsize_t readProc(thandle_t handle, void* buffer, tmsize_t count) {
    TiffStream& stream = streamOf(handle);
    if (!stream.input || count <= 0 || stream.position >= stream.size) return 0;
    const std::uint64_t n =
        std::min<std::uint64_t>(std::uint64_t(count), stream.size - stream.position);
    std::memcpy(buffer, stream.input + stream.position, std::size_t(n));
    stream.position += n;
    return tmsize_t(n);
}

tmsize_t writeProc(thandle_t handle, void* buffer, tmsize_t count) {
    TiffStream& stream = streamOf(handle);
    if (!stream.output || count < 0) return 0;
    const std::uint64_t end = stream.position + std::uint64_t(count);
    try {
        if (end > stream.output->size()) stream.output->resize(std::size_t(end));
    } catch (const std::bad_alloc&) {
        return 0;
    }
    std::memcpy(stream.output->data() + stream.position, buffer, std::size_t(count));
    stream.position = end;
    stream.size = std::max(stream.size, end);
    return count;
}

toff_t seekProc(thandle_t handle, toff_t offset, int whence) {
    TiffStream& stream = streamOf(handle);
    std::uint64_t base = 0;
    if (whence == SEEK_CUR)
        base = stream.position;
    else if (whence == SEEK_END)
        base = stream.size;
    const std::uint64_t target = base + offset;
    // Writers may seek past the end (the gap is filled on the next write); readers may not.
    if (stream.input && target > stream.size) return toff_t(-1);
    stream.position = target;
    return target;
}

int closeProc(thandle_t) {
    return 0;
}
toff_t sizeProc(thandle_t handle) {
    return streamOf(handle).size;
}

int errorHandler(TIFF*, void* data, const char*, const char* format, va_list arguments) {
    char text[256];
    std::vsnprintf(text, sizeof text, format, arguments);
    auto* stream = static_cast<TiffStream*>(data);
    if (stream->message.empty()) stream->message = text;
    return 1;
}

int warningHandler(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

} // namespace

TIFF* openTiffStream(TiffStream& stream, const char* mode) {
    // Messages raised where no handle's own handlers apply would go to stderr otherwise.
    static std::once_flag silenced;
    std::call_once(silenced, [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
    });
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options) {
        stream.message = kOutOfMemoryText;
        return nullptr;
    }
    TIFFOpenOptionsSetMaxSingleMemAlloc(
        options, tmsize_t(std::min<std::uint64_t>(memoryBudget(), 1ull << 62)));
    TIFFOpenOptionsSetErrorHandlerExtR(options, errorHandler, &stream);
    TIFFOpenOptionsSetWarningHandlerExtR(options, warningHandler, &stream);
    TIFF* tif = TIFFClientOpenExt("memory", mode, &stream, readProc, writeProc, seekProc, closeProc,
                                  sizeProc, nullptr, nullptr, options); // no mapping
    TIFFOpenOptionsFree(options);
    if (!tif && stream.message.empty()) stream.message = "cannot open";
    return tif;
}

} // namespace vellora::imageio
