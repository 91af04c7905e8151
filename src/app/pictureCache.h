#pragma once
// The pixels of the current intermediate file for drawing. Every paint asks for the file; the
// decoded picture is kept only while the file's path, size and modification time stay the
// same, so what is drawn is always the file as it is now.
#include "shell/viewPaint.h"

#include <QImage>

#include <filesystem>
#include <optional>
#include <string>

namespace vellora::app {

class PictureCache {
  public:
    // The picture in `path`, or null when there is none or it cannot be read.
    const QImage* load(const std::string& path, LoadedPicture& picture);

  private:
    struct Stamp {
        std::string path;
        std::uintmax_t size = 0;
        std::filesystem::file_time_type modified;
        bool operator==(const Stamp&) const = default;
    };
    std::optional<Stamp> stamp_;
    QImage image_;
    LoadedPicture picture_;
};

} // namespace vellora::app
