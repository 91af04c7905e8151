#include "core/scratchStore.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <new>
#include <unordered_map>
#include <vector>

namespace vellora {

namespace {
struct Loan {
    ScratchStore* store;
    std::string name;
};

// Recursive: freeing a block while the lock is held comes back through takeBackLentBlock.
std::recursive_mutex registryMutex;
std::vector<ScratchStore*> servingStores;
std::unordered_map<const void*, Loan> loans;
std::atomic<std::size_t> loanCount{0}; // lets every other free skip the lock

void endLoan(const void* block) {
    if (block && loans.erase(block) != 0) --loanCount;
}
} // namespace

// The registry's view of a store; every member runs with registryMutex held.
struct ScratchAccess {
    using Entry = ScratchStore::Entry;

    static Entry* find(const std::filesystem::path& path, ScratchStore** owner = nullptr) {
        for (ScratchStore* store : servingStores) {
            if (path.parent_path() != store->folder_) continue;
            if (owner) *owner = store;
            const auto it = store->entries_.find(path.filename().string());
            return it == store->entries_.end() ? nullptr : &it->second;
        }
        return nullptr;
    }

    static bool serves(const std::filesystem::path& path) {
        ScratchStore* owner = nullptr;
        find(path, &owner);
        return owner != nullptr;
    }

    // A block written again under a new name leaves its old name (a reader passed it on).
    static void dropLoanOf(const void* block) {
        const auto it = loans.find(block);
        if (it == loans.end()) return;
        it->second.store->entries_.erase(it->second.name);
        endLoan(block);
    }

    static void keep(const std::filesystem::path& path, PictureBytes&& block, std::size_t length) {
        ScratchStore* owner = nullptr;
        if (Entry* old = find(path, &owner)) endLoan(old->lentBlock);
        dropLoanOf(block.data());
        Entry& entry = owner->entries_[path.filename().string()];
        entry.block = std::move(block);
        entry.length = length;
        entry.lentBlock = nullptr;
    }

    static bool lend(const std::filesystem::path& path, PictureBytes& block) {
        ScratchStore* owner = nullptr;
        Entry* entry = find(path, &owner);
        if (!entry) return false;
        if (entry->lentBlock) return copyOut(*entry, block);
        block = std::move(entry->block);
        block.resize(entry->length); // never longer than the block: nothing is allocated
        if (block.empty()) return true;
        entry->lentBlock = block.data();
        loans[block.data()] = {owner, path.filename().string()};
        ++loanCount;
        return true;
    }

    static bool copyOut(const Entry& entry, PictureBytes& block) {
        try {
            PictureBytes copy(entry.length);
            std::memcpy(copy.data(), entry.lentBlock, entry.length);
            block = std::move(copy);
            return true;
        } catch (const std::bad_alloc&) {
            return false;
        }
    }

    static bool takeBack(void* block, std::size_t bytes) {
        const auto it = loans.find(block);
        if (it == loans.end()) return false;
        Entry& entry = it->second.store->entries_[it->second.name];
        endLoan(block);
        entry.block = adoptZeroedBlock(block, bytes);
        entry.lentBlock = nullptr;
        return true;
    }

    static bool forget(const std::filesystem::path& path) {
        ScratchStore* owner = nullptr;
        const Entry* entry = find(path, &owner);
        if (!entry) return false;
        endLoan(entry->lentBlock);
        owner->entries_.erase(path.filename().string());
        return true;
    }

    static void close(ScratchStore& store) {
        for (const auto& [name, entry] : store.entries_)
            endLoan(entry.lentBlock);
        std::erase(servingStores, &store);
        store.folder_.clear();
        store.entries_.clear();
    }

    static void serve(ScratchStore& store, const std::filesystem::path& folder) {
        close(store);
        if (!store.switchedOn_ || folder.empty()) return;
        store.folder_ = folder;
        servingStores.push_back(&store);
    }
};

ScratchStore::~ScratchStore() {
    close();
}

void ScratchStore::serve(const std::filesystem::path& folder) {
    const std::lock_guard lock(registryMutex);
    ScratchAccess::serve(*this, folder);
}

void ScratchStore::close() {
    const std::lock_guard lock(registryMutex);
    ScratchAccess::close(*this);
}

bool keepScratchBlock(const std::filesystem::path& path, PictureBytes& block, std::size_t length) {
    const std::lock_guard lock(registryMutex);
    if (!ScratchAccess::serves(path)) return false;
    ScratchAccess::keep(path, std::move(block), length);
    block = PictureBytes();
    return true;
}

ScratchWrite keepScratchCopy(const std::filesystem::path& path,
                             std::span<const std::uint8_t> bytes) {
    const std::lock_guard lock(registryMutex);
    if (!ScratchAccess::serves(path)) return ScratchWrite::notServed;
    try {
        PictureBytes copy(bytes.size());
        if (!bytes.empty()) std::memcpy(copy.data(), bytes.data(), bytes.size());
        ScratchAccess::keep(path, std::move(copy), bytes.size());
        return ScratchWrite::kept;
    } catch (const std::bad_alloc&) {
        return ScratchWrite::failed;
    }
}

bool lendScratchBlock(const std::filesystem::path& path, PictureBytes& block) {
    const std::lock_guard lock(registryMutex);
    return ScratchAccess::lend(path, block);
}

bool scratchHead(const std::filesystem::path& path, std::span<std::uint8_t> head,
                 std::uint64_t& length) {
    const std::lock_guard lock(registryMutex);
    const ScratchStore::Entry* entry = ScratchAccess::find(path);
    if (!entry) return false;
    const std::uint8_t* bytes =
        entry->lentBlock ? static_cast<const std::uint8_t*>(entry->lentBlock) : entry->block.data();
    const std::size_t count = std::min<std::size_t>(head.size(), entry->length);
    if (count != 0) std::memcpy(head.data(), bytes, count);
    length = entry->length;
    return true;
}

bool scratchFileExists(const std::filesystem::path& path) {
    const std::lock_guard lock(registryMutex);
    return ScratchAccess::find(path) != nullptr;
}

bool forgetScratchFile(const std::filesystem::path& path) {
    const std::lock_guard lock(registryMutex);
    return ScratchAccess::forget(path);
}

bool takeBackLentBlock(void* block, std::size_t bytes) noexcept {
    if (loanCount.load(std::memory_order_relaxed) == 0) return false;
    const std::lock_guard lock(registryMutex);
    return ScratchAccess::takeBack(block, bytes);
}

} // namespace vellora
