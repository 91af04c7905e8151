#pragma once
// What the command line asks for, and its parsing. Options may stand anywhere; the first other
// word is the input picture and every later one a step; "--" ends the options.
#include "cli/designOptions.h"
#include "cli/fieldShorthands.h"
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

// A run, or one of the texts that answer instead of a run.
enum class Asked { run, help, helpFields, version };

struct CliRequest {
    Asked asked = Asked::run;
    bool quiet = false;                 // --quiet: no progress or summary even on a terminal
    std::string parameterFile;          // --par; empty for the fresh block's defaults
    std::vector<FieldSetting> settings; // --set and the shorthands, in the order given
    std::string input;
    std::vector<const CommandSpec*> steps; // rows of the command registry
    std::vector<OutputRequest> outputs;    // in the order of the outputs table
    SheetRequest sheet;
    DesignOptions design; // read by the tiling step
};

// False with the reason in `error` for a usage error. `arguments` excludes the program name.
bool parseCommandLine(std::span<const std::string> arguments, CliRequest& request,
                      std::string& error);

// Whether the request writes any file at all.
bool writesAnything(const CliRequest& request);

// Every option the parser takes, as "--tile W[xH]" with its line of help, in the order of
// --help.
std::vector<std::pair<std::string, std::string>> optionRows();
// The options' names alone ("--tile"), in the same order.
std::vector<std::string_view> optionNames();

// "usage: vellora-cli [--par FILE] [--set NAME=VALUE]... INPUT [STEP]... [-o OUTPUT] ..."
std::string usageLine();

} // namespace vellora::cli
