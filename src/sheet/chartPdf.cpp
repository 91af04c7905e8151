#include "sheet/chartPdf.h"

#include "core/userFolders.h"
#include "sheet/chartRender.h"

#include <dlfcn.h>

#include <filesystem>
#include <mutex>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELLORA_LEAK_CHECKED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(VELLORA_LEAK_CHECKED)
// Fontconfig keeps the configuration and font set it loads for pango for the whole process and
// frees them only on an explicit FcFini, which is unsafe while any font map lives; the leak
// checker is told so for every program that may load the chart module. The leak checker reads
// this hook from the program itself, so it lives here and not in the module.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
// Nor does it list the suppressions it used at exit: that list would end every message a
// checked program writes to its error stream.
extern "C" const char* __lsan_default_options() {
    return "print_suppressions=0";
}
#endif

namespace vellora {

namespace {

using ChartEntry = void (*)(const SheetDesign*, const DesignSettings*, std::string*, std::string*);

struct ChartModule {
    ChartEntry entry = nullptr;
    std::string failure; // why it could not be loaded
};

// Beside the program (the build tree), then where an installation puts it.
std::vector<std::filesystem::path> moduleCandidates() {
    const std::filesystem::path folder = executableFolder();
    return {folder / kChartModuleName, folder.parent_path() / "lib" / "vellora" / kChartModuleName};
}

ChartModule loadChartModule() {
    ChartModule module;
    for (const std::filesystem::path& candidate : moduleCandidates()) {
        void* handle = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            if (module.failure.empty() || std::filesystem::exists(candidate))
                module.failure = ::dlerror();
            continue;
        }
        module.entry = reinterpret_cast<ChartEntry>(::dlsym(handle, kChartModuleEntry));
        if (module.entry != nullptr) return module;
        module.failure = candidate.string() + " has no chart entry";
    }
    return module;
}

const ChartModule& chartModule() {
    static std::once_flag once;
    static ChartModule module;
    std::call_once(once, [] { module = loadChartModule(); });
    return module;
}

} // namespace

std::string chartPdf(const SheetDesign& design, const DesignSettings& settings,
                     std::string& error) {
    const ChartModule& module = chartModule();
    if (module.entry == nullptr) {
        error = "the PDF chart cannot be drawn: " + module.failure;
        return {};
    }
    std::string document;
    module.entry(&design, &settings, &document, &error);
    return document;
}

} // namespace vellora
