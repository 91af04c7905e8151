#pragma once
// Each test program runs with HOME, XDG_CONFIG_HOME and XDG_DATA_HOME in its own folder (made at
// start, removed at exit), away from the user's real ones; under ctest each test case is a run.
#include <cstdlib>
#include <optional>
#include <string>

namespace vellora::test {

// Sets an environment variable (unsets it for an empty optional) for one scope, then restores it.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, std::optional<std::string> value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        value ? setenv(name, value->c_str(), 1) : unsetenv(name);
    }
    ~ScopedVariable() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

  private:
    const char* name_;
    std::optional<std::string> old_;
};

} // namespace vellora::test
