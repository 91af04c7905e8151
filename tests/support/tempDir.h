#pragma once
// A folder of its own under the system temporary folder, for the files of one test.
#include <filesystem>
#include <string>

namespace vellora::test {

// Made with a unique name (vellora-`label`-XXXXXX), removed with its contents at the end unless
// VELLORA_KEEP_TEST_FILES is set: then kept, path printed, to look at what a test wrote.
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
