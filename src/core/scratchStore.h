#pragma once
// Intermediate pictures kept in memory instead of files, for a run without undo (the command
// line): writing an intermediate file hands its block to the store, reading one lends the block
// to the reader, and the block comes back to the store when the reader frees it. Nothing is
// copied on the way, and no file is written. A run switches its store on before the private
// folder is made; a run that leaves it off (the desktop program, whose undo and view read the
// files) keeps real files. The bytes a reader gets are exactly those a file would have held.
#include "core/pictureBytes.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <span>
#include <string>

namespace vellora {

class ScratchStore {
  public:
    ScratchStore() = default;
    ~ScratchStore();
    ScratchStore(const ScratchStore&) = delete;
    ScratchStore& operator=(const ScratchStore&) = delete;

    // From the next serve() on, intermediate pictures live here.
    void switchOn() { switchedOn_ = true; }
    // Holds the pictures written into `folder` (the run's private folder) when switched on.
    void serve(const std::filesystem::path& folder);
    // Forgets every picture and serves no folder any more.
    void close();

    struct Entry {
        PictureBytes block;              // empty while lent out
        std::size_t length = 0;          // the file's length; the block may be longer
        const void* lentBlock = nullptr; // the block a reader holds, or null
    };

  private:
    friend struct ScratchAccess;
    bool switchedOn_ = false;
    std::filesystem::path folder_; // empty while serving none
    std::map<std::string, Entry> entries_;
};

enum class ScratchWrite { notServed, kept, failed };

// What the bitmap readers and writers ask before they touch the file system. Each is false (or
// notServed) when no store serves the folder of `path`, and then the caller uses the file.
//
// Takes the block (its first `length` bytes are the file) and leaves `block` empty.
bool keepScratchBlock(const std::filesystem::path& path, PictureBytes& block, std::size_t length);
// Keeps a copy of the bytes; failed when no block could be had.
ScratchWrite keepScratchCopy(const std::filesystem::path& path,
                             std::span<const std::uint8_t> bytes);
// The picture's bytes, lent (a copy when another reader still holds them). False when no store
// holds the path: the caller reads the file system, where it is missing just as well.
bool lendScratchBlock(const std::filesystem::path& path, PictureBytes& block);
// The first bytes (up to head.size()) and the length of a held picture.
bool scratchHead(const std::filesystem::path& path, std::span<std::uint8_t> head,
                 std::uint64_t& length);
bool scratchFileExists(const std::filesystem::path& path);
// Drops a held picture; whether there was one.
bool forgetScratchFile(const std::filesystem::path& path);

// For the allocator: a lent block being freed goes home instead; false for any other block.
bool takeBackLentBlock(void* block, std::size_t bytes) noexcept;

} // namespace vellora
