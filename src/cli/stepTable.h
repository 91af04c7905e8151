#pragma once
// The steps the command line can run on a picture, one per menu command, in the order the
// menu lists them.
#include "core/operationFrame.h"

#include <span>
#include <string_view>

namespace vellora::cli {

struct CliStep {
    std::string_view name; // as typed: "rotate-right"
    Handler handler;       // run through runCommandHandler, parameters from the working block
    std::string_view help; // one line for --help
};

std::span<const CliStep> cliSteps();
const CliStep* findCliStep(std::string_view name);

} // namespace vellora::cli
