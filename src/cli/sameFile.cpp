#include "cli/sameFile.h"

#include <system_error>

namespace vellora::cli {

namespace fs = std::filesystem;

namespace {
// Links that lead on beyond this many steps are a loop, which no write can land through.
constexpr int kMaxLinkSteps = 40;

fs::path landingPath(const fs::path& path) {
    std::error_code error;
    fs::path at = fs::absolute(path, error);
    for (int step = 0; step < kMaxLinkSteps && fs::is_symlink(at, error); ++step) {
        const fs::path target = fs::read_symlink(at, error);
        if (error) break;
        at = target.is_absolute() ? target : at.parent_path() / target;
    }
    const fs::path resolved = fs::weakly_canonical(at, error);
    return (error ? at : resolved).lexically_normal();
}
} // namespace

bool namesSameFile(const fs::path& a, const fs::path& b) {
    std::error_code error;
    if (fs::exists(a, error) && fs::exists(b, error)) return fs::equivalent(a, b, error);
    return landingPath(a) == landingPath(b);
}

} // namespace vellora::cli
