#include "cli/cliRun.h"

#include "cli/cliFrontend.h"
#include "cli/commandLine.h"
#include "cli/helpText.h"
#include "cli/parameterSetup.h"
#include "cli/runSummary.h"
#include "cli/sameFile.h"
#include "cli/signalCleanup.h"
#include "core/errors.h"
#include "core/intermediateFiles.h"
#include "core/session.h"
#include "shell/pictureConvert.h"
#include "shell/pictureImport.h"
#include "shell/shellSetup.h"
#include "shell/streamedInvert.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

namespace vellora::cli {

namespace fs = std::filesystem;

namespace {
std::string inQuotes(const std::string& text) {
    return "\"" + text + "\"";
}

std::string answerText(Asked asked) {
    constexpr auto kAnswers =
        std::to_array<std::pair<Asked, std::string (*)()>>({{Asked::help, helpText},
                                                            {Asked::helpFields, helpFieldsText},
                                                            {Asked::version, versionText}});
    for (const auto& [which, text] : kAnswers)
        if (which == asked) return text();
    return {};
}

int usageError(std::FILE* err, const std::string& reason) {
    std::fprintf(err, "alert: %s\n%s\n", reason.c_str(), usageLine().c_str());
    return kExitUsage;
}

std::string inputRefusal(const std::string& input) {
    std::error_code error;
    if (!fs::exists(input, error)) return "the input file " + inQuotes(input) + " does not exist";
    if (!fs::is_regular_file(input, error))
        return "the input " + inQuotes(input) + " is not a file";
    if (!isUsablePicturePath(input)) return "the input file path is longer than 259 characters";
    return {};
}

std::string outputRefusal(const OutputRequest& request, const std::string& input) {
    const std::string option(request.output->option);
    const fs::path path(request.path);
    std::error_code error;
    if (!isUsablePicturePath(request.path))
        return "the file path of " + option + " is longer than 259 characters";
    const fs::path folder = path.parent_path().empty() ? fs::path(".") : path.parent_path();
    if (!fs::is_directory(folder, error))
        return "the output folder " + inQuotes(folder.string()) + " does not exist";
    if (fs::is_directory(path, error))
        return "the output " + inQuotes(request.path) + " is a folder";
    if (fs::equivalent(path, input, error))
        return "the output " + inQuotes(request.path) + " is the input file";
    return request.output->refusal ? request.output->refusal(request.path) : std::string{};
}

// Two outputs written to one file would leave only the last of them.
std::string sharedOutputRefusal(std::span<const OutputRequest> outputs) {
    for (std::size_t later = 1; later < outputs.size(); ++later)
        for (std::size_t earlier = 0; earlier < later; ++earlier)
            if (namesSameFile(outputs[earlier].path, outputs[later].path))
                return std::string(outputs[earlier].output->option) + " and " +
                       std::string(outputs[later].output->option) + " name the same file " +
                       inQuotes(outputs[later].path);
    return {};
}

std::string requestRefusal(const CliRequest& request) {
    std::string reason = inputRefusal(request.input);
    for (const OutputRequest& output : request.outputs)
        if (reason.empty()) reason = outputRefusal(output, request.input);
    if (reason.empty()) reason = sheetOutputRefusal(request.sheet, request.input);
    return reason.empty() ? sharedOutputRefusal(request.outputs) : reason;
}

// The private folder is made and the clean-up armed with the signals held back, so an
// interruption cannot fall between the two.
bool prepareIntermediateFolder(Session& session) {
    const SignalHold hold;
    std::string firstName;
    const bool made = nextIntermediatePath(session, firstName) == 0;
    if (made) armSignalCleanup(session.intermediateDirectory);
    return made;
}

int openInput(Session& session, const std::string& input) {
    const OpenOutcome outcome = openPicture(session, input);
    if (!outcome.reason.empty()) showError(session.frontend, kOpenConversionFailedText);
    if (outcome.result != 0) return kExitFailed;
    refreshPictureInfo(session);
    return kExitSuccess;
}

int runSteps(Session& session, CliFrontend& frontend, const CliRequest& request) {
    for (const CommandSpec* step : request.steps) {
        frontend.setLabel(std::string(step->step));
        session.dialogInfo = session.currentInfo;
        if (step->nothingToDo && step->nothingToDo(session.workingBlock)) continue;
        if (runCommandHandler(session, step->handler) != 0) return kExitFailed;
        refreshPictureInfo(session);
    }
    frontend.setLabel({});
    return kExitSuccess;
}

// Every file the run wrote, in the order written.
std::vector<std::string> writtenFiles(const CliRequest& request) {
    std::vector<std::string> files = request.sheet.charts;
    if (!request.sheet.shopping.empty()) files.push_back(request.sheet.shopping);
    for (const OutputRequest& output : request.outputs)
        files.push_back(output.path);
    return files;
}

void showSummary(Session& session, const CliRequest& request, std::FILE* err) {
    const bool tiled = std::ranges::any_of(
        request.steps, [](const CommandSpec* step) { return step->id == kCmdTiling; });
    const std::string line = runSummary(session, tiled, writtenFiles(request)) + "\n";
    std::fputs(line.c_str(), err);
}

// A run that only inverts one picture into one picture file, with nothing else to tell, may let
// the rows stream from file to file; whatever cannot stream goes the usual way.
bool streamedThrough(const Session& session, const CliRequest& request, bool onTerminal) {
    const bool onlyInvert = request.steps.size() == 1 && request.steps[0]->id == kCmdInvert;
    const bool onlyPicture = request.outputs.size() == 1 && request.sheet.charts.empty() &&
                             request.sheet.shopping.empty() &&
                             request.outputs[0].output->option == "-o";
    if (!onlyInvert || !onlyPicture || onTerminal) return false;
    const SignalHold hold; // as for every output: the file lands whole or not at all
    return invertFileStreamed(session, request.input, request.outputs[0].path);
}

int writeOutputs(Session& session, const CliRequest& request) {
    for (const OutputRequest& output : request.outputs) {
        session.dialogInfo = session.currentInfo;
        // An interruption waits until the file has landed whole, so none is left half written.
        const SignalHold hold;
        if (output.output->write(session, output.path) != 0) return kExitFailed;
    }
    return kExitSuccess;
}

int runSession(const CliRequest& request, std::FILE* err) {
    const bool onTerminal = isTerminal(err) && !request.quiet;
    CliFrontend frontend(err, onTerminal);
    Session session(frontend);
    session.scratch.switchOn(); // no undo here: intermediate pictures need not be files
    session.saveDurability = FileDurability::unflushed;
    std::string reason;
    if (!prepareParameterBlock(session, request, reason)) return usageError(err, reason);
    // After the block, whose faults are the more particular news.
    if (!writesAnything(request))
        return usageError(err, "nothing to write: give -o, --table, --csv, --chart or --shopping");
    applyDesignOptions(request.design, session.design);
    if (!prepareIntermediateFolder(session)) return kExitFailed;
    if (prepareSheet(session, request.sheet) != 0) return kExitFailed;
    if (streamedThrough(session, request, onTerminal)) return kExitSuccess;
    int status = openInput(session, request.input);
    if (status == kExitSuccess) status = runSteps(session, frontend, request);
    // Before the outputs: Save As renames the picture the sheet is titled by.
    if (status == kExitSuccess) status = writeSheetOutputs(session, request.sheet);
    if (status == kExitSuccess) status = writeOutputs(session, request);
    if (status == kExitSuccess && onTerminal) showSummary(session, request, err);
    return status;
}
} // namespace

int runCli(std::span<const std::string> arguments, std::FILE* out, std::FILE* err) {
    startSignalWatcher(); // before any other thread, so that all of them inherit the block
    CliRequest request;
    std::string reason;
    if (!parseCommandLine(arguments, request, reason)) return usageError(err, reason);
    if (request.asked != Asked::run) {
        std::fputs(answerText(request.asked).c_str(), out);
        return kExitSuccess;
    }
    reason = requestRefusal(request);
    if (!reason.empty()) return usageError(err, reason);
    setUpShell();
    const int status = runSession(request, err);
    disarmSignalCleanup(); // the session has removed its folder on the way out
    return status;
}

} // namespace vellora::cli
