#pragma once
// Opening a file for reading only when it is a regular file. A FIFO or a device would block the
// run or never end, and a folder has no bytes; every reader of the program opens through here.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace vellora {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using ReadFile = std::unique_ptr<std::FILE, FileCloser>;

enum class ReadOpen { ok, failed, notRegular };

// Opens `path` for reading ("rb") without ever waiting on it: the check and the read use the
// same open file, so nothing can be swapped in between.
ReadFile openRegularFile(const std::filesystem::path& path, ReadOpen* outcome = nullptr);

// The second line of a refusal caused by a file that is not a regular file.
inline constexpr std::string_view kNotRegularFileText = "it is not a regular file";

// Why openRegularFile failed, or why a read of the open file came up short; asked right after
// the failing call, while errno holds.
std::string openFailureText(ReadOpen outcome);
std::string shortReadText(std::FILE* file);

// The length of an open file, left positioned at its start; -1 when it cannot be told.
long fileLength(std::FILE* file);

// The same as the failure cause: 'cannot read "path": ' and the reason.
void noteOpenFailure(const std::filesystem::path& path, ReadOpen outcome);
void noteShortRead(const std::filesystem::path& path, std::FILE* file);

} // namespace vellora
