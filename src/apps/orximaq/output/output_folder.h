// The folders the command-line host writes its images into.
#pragma once

#include "output/output_format.h"

#include <cstdint>
#include <filesystem>
#include <string>

namespace orximaq {

// Creates the folder (and its parents) when needed and proves that a file can
// be written in it. Throws CliError naming the folder otherwise, so that no
// acquisition starts that could not be saved. Answers whether it created it.
bool prepareOutputFolder(const std::filesystem::path& folder);

// A prepared output folder that is removed again if this run created it and
// leaves it empty (a run that fails before its first file leaves no trace).
class OutputFolder {
public:
    explicit OutputFolder(std::filesystem::path folder);
    ~OutputFolder();
    OutputFolder(const OutputFolder&) = delete;
    OutputFolder& operator=(const OutputFolder&) = delete;

    const std::filesystem::path& path() const { return folder_; }

private:
    std::filesystem::path folder_;
    std::filesystem::path topCreated_; // the outermost folder this run created, if any
};

// "frame-0001.png" for index 0 (".tif", ".raw" in those formats); at least
// four digits.
std::string frameFileName(std::int64_t index, OutputFormat format = OutputFormat::Png);

// Files named like frames (in any output format) that an earlier run left
// beyond the first `count`.
std::int64_t countOlderFrames(const std::filesystem::path& folder, std::int64_t count);

} // namespace orximaq
