// Frames as the raw bytes the host delivered, and one JSON sidecar per run
// that says how to read them: size, sample layout, byte order, time stamps.
#pragma once

#include "imaqhost/acquisition.h"

#include <cstdint>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace orximaq {

// The sidecar's name in the output folder.
inline constexpr const char* kRawSidecarName = "frames.json";

// Writes the frame's bytes unchanged through a temporary file renamed into
// place when complete. Throws CliError naming the file.
void writeRawFrame(const std::filesystem::path& path, const imaqhost::FrameView& frame);

// The layout word of a host frame type ("mono8", "mono16", "bgr24", "bgrx32"),
// none for a type without one.
std::optional<std::string> rawLayoutName(std::uint32_t frameType);

// Collects what the sidecar says about each frame written.
class RawSidecar {
public:
    void add(const std::filesystem::path& file, const imaqhost::FrameView& frame);
    bool empty() const { return frames_.empty(); }
    nlohmann::ordered_json document() const;
    // Writes the document to `folder`/frames.json, replacing an older one.
    std::filesystem::path write(const std::filesystem::path& folder) const;

private:
    nlohmann::ordered_json description_; // from the first frame
    nlohmann::ordered_json frames_ = nlohmann::ordered_json::array();
};

} // namespace orximaq
