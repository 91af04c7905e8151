#pragma once
// What the command line asks for, and its parsing. Options may stand anywhere; the first other
// word is the input picture and every later one a step; "--" ends the options.
#include "cli/designOptions.h"
#include "cli/outputTable.h"
#include "cli/sheetOptions.h"
#include "shell/commandTable.h"

#include <span>
#include <string>
#include <utility>
#include <vector>

namespace vellora::cli {

struct OutputRequest {
    const CliOutput* output;
    std::string path;
};

struct CliRequest {
    bool help = false;
    std::string parameterFile;         // --par; empty for the fresh block's defaults
    std::vector<std::string> settings; // --set NAME=VALUE, in the order given
    std::string input;
    std::vector<const CommandSpec*> steps; // rows of the command registry
    std::vector<OutputRequest> outputs;    // in the order of the outputs table
    SheetRequest sheet;
    DesignOptions design; // read by the tiling step
};

// False with the reason in `error` for a usage error. `arguments` excludes the program name.
bool parseCommandLine(std::span<const std::string> arguments, CliRequest& request,
                      std::string& error);

// "usage: vellora-cli [--par FILE] [--set NAME=VALUE]... INPUT [STEP]... [-o OUTPUT] ..."
std::string usageLine();
// The whole --help text: usage, options, steps, and every field with its range and default.
std::string helpText();

} // namespace vellora::cli
