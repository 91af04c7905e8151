#include "support/privateHome.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace vellora::test {

namespace fs = std::filesystem;

namespace {
class PrivateHome {
  public:
    PrivateHome() {
        std::error_code error;
        std::string pattern = (fs::temp_directory_path(error) / "vellora-home-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            std::perror("cannot make the tests' private home folder");
            std::abort(); // running on would write into the real home
        }
        folder_ = pattern;
        setenv("HOME", folder_.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (folder_ / ".config").c_str(), 1);
        setenv("XDG_DATA_HOME", (folder_ / ".local" / "share").c_str(), 1);
    }
    ~PrivateHome() {
        std::error_code error;
        fs::remove_all(folder_, error);
    }

  private:
    fs::path folder_;
};

const PrivateHome privateHome;
} // namespace

EnvironmentGuard::EnvironmentGuard(std::vector<std::string> names) {
    for (std::string& name : names) {
        const char* value = std::getenv(name.c_str());
        saved_.emplace_back(std::move(name),
                            value ? std::optional<std::string>(value) : std::nullopt);
    }
}

EnvironmentGuard::~EnvironmentGuard() {
    for (const auto& [name, value] : saved_) {
        if (value)
            setenv(name.c_str(), value->c_str(), 1);
        else
            unsetenv(name.c_str());
    }
}

} // namespace vellora::test
