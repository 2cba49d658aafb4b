// The folders the command-line host writes its images into.
#pragma once

#include "output/file_replacement.h"
#include "output/output_format.h"

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <optional>
#include <string>

namespace orximaq {

// A prepared output folder: created (with its parents) when needed, locked
// for this run, and proven writable by a fresh file created and removed in
// it. Throws CliError naming the folder otherwise, so that no acquisition
// starts that could not be saved. The lock (flock on the folder; on Windows
// a lock file that no one else may open, removed when it closes) keeps a
// second run from writing frames of the same names into it: that run is
// refused before it captures; the lock goes with the process, even when it
// is killed. The folder stays open for the run (on Windows it then cannot
// be renamed or removed meanwhile). The folder is removed again if this run
// created it and leaves it empty (a run that fails before its first file
// leaves no trace). Hidden partial files that a killed run left are removed
// once the lock is held.
class OutputFolder {
public:
    explicit OutputFolder(std::filesystem::path folder);
    ~OutputFolder();
    OutputFolder(const OutputFolder&) = delete;
    OutputFolder& operator=(const OutputFolder&) = delete;

    const std::filesystem::path& path() const { return folder_; }
    // Unfinished files of an earlier, killed run that were removed on opening.
    std::int64_t leftoversRemoved() const { return leftoversRemoved_; }
    // Tells `out` about them, when there were any.
    void reportLeftovers(std::ostream& out) const;

private:
    void removeIfCreatedAndEmpty() noexcept;

    std::filesystem::path folder_;
    UniqueFd open_;
    UniqueFd lock_;
    std::optional<PinnedFolder> pin_;
    std::int64_t leftoversRemoved_ = 0;
    std::filesystem::path topCreated_; // the outermost folder this run created, if any
};

// "frame-0001.png" for index 0 (".tif", ".raw" in those formats); at least
// four digits.
std::string frameFileName(std::int64_t index, OutputFormat format = OutputFormat::Png);

// Files named like frames (in any output format) that an earlier run left
// beyond the first `count`.
std::int64_t countOlderFrames(const std::filesystem::path& folder, std::int64_t count);

} // namespace orximaq
