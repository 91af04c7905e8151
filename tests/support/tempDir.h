#pragma once
// A folder of its own under the system temporary folder, for the files of one test.
#include <filesystem>
#include <string>

namespace vellora::test {

// Made with a unique name (vellora-`label`-XXXXXX) and removed with everything in it at the end,
// unless VELLORA_KEEP_TEST_FILES is set: then it stays, and its path is printed, so that what a
// test wrote (screenshots of dialogs, say) can be looked at.
class TempDir {
  public:
    explicit TempDir(const std::string& label = "test");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

} // namespace vellora::test
