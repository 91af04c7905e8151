#include "core/session.h"

#include "core/intermediateFiles.h"

namespace vellora {

Session::Session(Frontend& frontendIn)
    : frontend(frontendIn), workingBlock(defaultParameterBlock()),
      savedBlock(defaultParameterBlock()) {
    dialogInfo = ImageInfo{};
    currentInfo = dialogInfo;
}

Session::~Session() { removeIntermediateDirectory(*this); }

} // namespace vellora
