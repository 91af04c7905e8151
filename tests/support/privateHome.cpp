#include "support/privateHome.h"
#include "support/tempDir.h"

namespace vellora::test {

namespace {
class PrivateHome {
  public:
    PrivateHome() {
        setenv("HOME", folder_.path().c_str(), 1);
        setenv("XDG_CONFIG_HOME", (folder_ / ".config").c_str(), 1);
        setenv("XDG_DATA_HOME", (folder_ / ".local" / "share").c_str(), 1);
    }

  private:
    // A folder that cannot be made ends the program: running on would write into the real home.
    const TempDir folder_{"home"};
};

const PrivateHome privateHome;
} // namespace
} // namespace vellora::test
