#include "filter/sharpen.h"

#include "core/errors.h"
#include "core/operationFrame.h"
#include "filter/convolve.h"

namespace vellora {

int sharpenImage(Session& session, int index) {
    return filterSourceWithMask(session, kSharpeningFamily, index);
}

int sharpenHandler(Session& session) {
    const int index = int(session.workingBlock.sharpeningIndex);
    return runOperationFrame(session, Operation::Sharpening, [index](Session& s) {
        return readSourceImage(s) != 0 ? kFailed : sharpenImage(s, index);
    });
}

} // namespace vellora
