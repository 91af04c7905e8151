#pragma once
// Helpers shared by the core tests: hand-built bitmap files and scoped environment variables.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace vellora::test {

// The 54 header bytes of a bitmap file, written field by field so that they do not depend on
// the code under test, followed by `body` (colour table and rows as the test wants them).
struct BitmapHeader {
    std::int32_t width = 1, height = 1;
    std::uint16_t bitsPerPixel = 24;
    std::uint32_t compression = 0, colorsUsed = 0, fileSizeField = 0, bitsOffsetField = 0;
    std::uint16_t signature = 19778; // "BM"
};

inline std::vector<std::uint8_t> bitmapBytes(const BitmapHeader& h,
                                             const std::vector<std::uint8_t>& body) {
    std::vector<std::uint8_t> bytes(54 + body.size(), 0);
    const auto put = [&](std::size_t offset, std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes[offset + std::size_t(i)] = std::uint8_t(value >> (8 * i));
    };
    put(0, h.signature, 2), put(2, h.fileSizeField, 4), put(10, h.bitsOffsetField, 4);
    put(14, 40, 4), put(18, std::uint32_t(h.width), 4), put(22, std::uint32_t(h.height), 4);
    put(26, 1, 2), put(28, h.bitsPerPixel, 2), put(30, h.compression, 4), put(46, h.colorsUsed, 4);
    std::copy(body.begin(), body.end(), bytes.begin() + 54);
    return bytes;
}

// Sets an environment variable for one scope (unsets it for an empty optional).
class ScopedVariable {
  public:
    ScopedVariable(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    }
    ~ScopedVariable() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    const char* name_;
    std::optional<std::string> old_;
};

} // namespace vellora::test
