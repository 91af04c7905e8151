#pragma once
// The private folders runs keep their intermediate files in ("vellora-XXXXXX" in the system
// temporary directory), and how a later run knows one whose run has ended without removing it.
// A live run holds an exclusive lock on the folder's lock file for as long as it lives; the
// system drops the lock when the process ends however it ends, so a folder whose lock can be
// taken belongs to no run. A reused process number changes nothing.
#include <filesystem>

namespace vellora {

// The file in a run's folder that the run holds locked while it lives.
inline constexpr const char* kRunLockName = "__VL_run.lock";

// The system temporary directory: TMPDIR, TMP, TEMP or TEMPDIR when set and not empty, else
// /tmp. Empty when that is no folder.
std::filesystem::path systemTemporaryFolder();

// Makes a private folder (mode 0700) and locks it for this run. Returns the lock's descriptor
// (kept open for the run; closing it releases the folder) and sets `folder`, or -1.
int makeRunFolder(std::filesystem::path& folder);

// Whether `name` is a file a run puts in its folder: "__VL_000.dib" … "__VL_999.dib", the
// temporary file of an intermediate write, or the lock.
bool isRunFileName(const std::string& name);

// Removes a run's files (only names a run makes) and then the folder when nothing else is left.
void removeRunFolder(const std::filesystem::path& folder);

// Removes the folders in the system temporary directory that this user's runs made and whose run
// has ended. Folders of other users, of live runs and of other programs are left alone.
void sweepAbandonedRunFolders();

} // namespace vellora
