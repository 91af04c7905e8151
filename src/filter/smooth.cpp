#include "filter/smooth.h"

#include "core/errors.h"
#include "core/operationFrame.h"
#include "filter/convolve.h"

namespace vellora {

int smoothImage(Session& session, int index) {
    return filterSourceWithMask(session, kSmoothingFamily, index);
}

int smoothHandler(Session& session) {
    const int index = int(session.workingBlock.smoothingIndex);
    return runOperationFrame(session, Operation::Smoothing, [index](Session& s) {
        return readSourceImage(s) != 0 ? kFailed : smoothImage(s, index);
    });
}

} // namespace vellora
