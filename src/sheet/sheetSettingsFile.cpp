#include "sheet/sheetSettingsFile.h"

#include "core/atomicFile.h"
#include "sheet/sheetFields.h"

#include <fstream>
#include <sstream>

namespace vellora {

bool readSheetSettings(const std::filesystem::path& path, DesignSettings& settings,
                       std::string& error) {
    std::error_code failure;
    if (!std::filesystem::exists(path, failure)) return true;
    const std::string where = "sheet settings \"" + path.string() + "\": ";
    if (!std::filesystem::is_regular_file(path, failure)) {
        error = where + "is not a file";
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    DesignSettings read = settings;
    int number = 0;
    for (std::string line; std::getline(file, line);) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t equals = line.find('=');
        const SheetField* field =
            equals == std::string::npos ? nullptr : findSheetField(line.substr(0, equals));
        if (!field) continue; // a comment, a field of a later version, or none
        std::string why;
        if (!field->parse(std::string_view(line).substr(equals + 1), read, why)) {
            error = where + "line " + std::to_string(number) + ": " + std::string(field->name) +
                    " " + why;
            return false;
        }
    }
    if (!file.is_open() || file.bad()) { // a file there that cannot be opened is no empty one
        error = where + "cannot be read";
        return false;
    }
    settings = read;
    return true;
}

bool writeSheetSettings(const std::filesystem::path& path, const DesignSettings& settings) {
    std::string text = "# Vellora build sheet settings\n";
    for (const SheetField& field : sheetFields())
        text += std::string(field.name) + "=" + field.format(settings) + "\n";
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    return writeFileAtomically(path, {bytes, text.size()}) == AtomicFileFailure::none;
}

} // namespace vellora
