#pragma once
// Every test program runs with HOME, XDG_CONFIG_HOME and XDG_DATA_HOME in a folder of its own
// (made at start, removed at exit), so nothing a test does reaches the user's real folders.
// Under ctest each test case is a program run of its own.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vellora::test {

// Puts the named environment variables back as they were when it goes.
class EnvironmentGuard {
  public:
    explicit EnvironmentGuard(std::vector<std::string> names);
    ~EnvironmentGuard();
    EnvironmentGuard(const EnvironmentGuard&) = delete;
    EnvironmentGuard& operator=(const EnvironmentGuard&) = delete;

  private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

} // namespace vellora::test
