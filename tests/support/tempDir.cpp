#include "support/tempDir.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <system_error>

namespace vellora::test {

namespace fs = std::filesystem;

// Throws rather than go on with a fixed name that another run could share.
TempDir::TempDir(const std::string& label) {
    std::string pattern = (fs::temp_directory_path() / ("vellora-" + label + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data()))
        throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
    path_ = pattern;
}

TempDir::~TempDir() {
    const char* keep = std::getenv("VELLORA_KEEP_TEST_FILES");
    if (keep && *keep && std::string(keep) != "0") {
        std::fprintf(stderr, "kept %s\n", path_.c_str());
        return;
    }
    std::error_code error;
    fs::remove_all(path_, error);
}

} // namespace vellora::test
