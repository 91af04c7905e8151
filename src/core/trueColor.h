#pragma once
// Conversion of a picture of any depth to 24 bpp.
#include "core/session.h"

#include <string>

namespace vellora {

// A 24 bpp target of the source's size and colours-used value, no colour table. 0 or 16.
int makeTrueColorHeader(Frontend& frontend, DibImage& target, const DibImage& source);
// Copies every pixel's colour into a target makeTrueColorHeader made for it. Returns 0.
int copyAsTrueColor(DibImage& target, const DibImage& source);
// Writes the session's sourceImage (already read) as 24 bpp to destination, which may be the
// source's own file; releases both shared images. 0, or 1 after the failure's message.
int saveAsTrueColor(Session& session, const std::string& destination);

} // namespace vellora
