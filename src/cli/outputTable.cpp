#include "cli/outputTable.h"

#include "shell/pictureConvert.h"
#include "shell/pictureExport.h"
#include "shell/tableFiles.h"

#include <array>

namespace vellora::cli {

namespace {
std::string pictureRefusal(const std::string& path) {
    if (!encoderMimeType(path).empty()) return {};
    return "no picture format for \"" + path +
           "\": the name must end in .bmp, .dib, .jpg, .jpeg, .gif, .png or .tiff";
}

// As Save As does: encoder by extension, quality and depth choice from the working block.
int writePicture(Session& session, const std::string& path) {
    session.saveAsPath = path;
    return savePictureAsHandler(session);
}

// Tables take any file name; the folder is checked for every row already.
std::string anyTableName(const std::string&) {
    return {};
}

constexpr auto kOutputs = std::to_array<CliOutput>({
    // The tables come before -o: Save As renames the picture, and a table names the picture
    // it was made from.
    {"--table", "FILE", "write the tiling table as the Express Table text", anyTableName,
     writeTilingTableText},
    {"--csv", "FILE", "write the tiling table as a CSV file", anyTableName, writeTilingTableCsv},
    {"-o", "OUTPUT", "save the result as Save As does, the format named by the extension",
     pictureRefusal, writePicture},
});
} // namespace

std::span<const CliOutput> cliOutputs() {
    return kOutputs;
}

const CliOutput* findCliOutput(std::string_view option) {
    for (const CliOutput& output : kOutputs)
        if (output.option == option) return &output;
    return nullptr;
}

} // namespace vellora::cli
