#include "cli/cliRun.h"
#include "core/simdLevel.h"

#include <algorithm>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (!vellora::simdEnvironmentAccepted(stderr)) return 2;
    const std::vector<std::string> arguments(argv + std::min(argc, 1), argv + argc);
    return vellora::cli::runCli(arguments, stdout, stderr);
}
