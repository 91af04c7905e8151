#include "filter/userFilter.h"

#include "core/errors.h"
#include "core/operationFrame.h"
#include "filter/convolve.h"

namespace vellora {

bool makeUserMask(FilterMask& mask, const std::int32_t* cells, int sizeIndex, std::int32_t value) {
    if (sizeIndex != 0 && sizeIndex != 1) return false;
    const int size = 2 * sizeIndex + 3;
    const int half = size / 2;
    double coefficients[25] = {};
    for (int j = 0; j < size; ++j)
        for (int i = 0; i < size; ++i)
            coefficients[j * size + i] = double(cells[5 * (2 - half + j) + (2 - half + i)]);
    setMaskCoefficients(mask, size, double(value), coefficients);
    return true;
}

int userFilterImage(Session& session, const ParameterBlock& settings) {
    FilterMask mask;
    if (!makeUserMask(mask, settings.userFilterMask, int(settings.userFilterSizeIndex),
                      settings.userFilterValue))
        return kFailed;
    if (readSourceImage(session) != 0) return kFailed;
    return convolveSourceToNext(session, mask);
}

int userFilterHandler(Session& session) {
    const ParameterBlock settings = session.workingBlock;
    return runOperationFrame(session, Operation::UserFilter,
                             [&settings](Session& s) { return userFilterImage(s, settings); });
}

} // namespace vellora
