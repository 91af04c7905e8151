#pragma once
// The intermediate files: the current picture and its undo steps, as bitmap files named
// "__VL_000.dib" … "__VL_999.dib" in a private folder (mode 0700) of this run inside the
// system temporary directory.
#include "core/session.h"

#include <filesystem>
#include <string>

namespace vellora {

// The name of intermediate file number n (0 … 999): "__VL_007.dib" for 7.
std::string intermediateFileName(int number);

// Stores in `path` the first name, by number, whose file does not exist. When all thousand
// exist, files that neither the current picture nor a live undo step refers to are deleted and
// the lowest such number is used, so a long run never overwrites a picture it still needs.
// 0, or 1 after "failed to get the intermediate path" with `path` unchanged.
int nextIntermediatePath(Session& session, std::string& path);

// Deletes the files numbered 000, 001, … in the folder of currentPath, stopping at the first
// number whose file does not exist.
void cleanIntermediateFiles(Session& session);

// At exit: removes every intermediate file of this run and its private folder.
void removeIntermediateDirectory(Session& session);

// Whether `path` is the current picture or a step undo can still return to.
bool isReferencedPath(const Session& session, const std::string& path);

} // namespace vellora
