// One user's way through the adaptor, end to end through the host: discovery,
// device attributes, a video input, a read and a write of every property, a
// region apply and a short acquisition. Every step is written to a transcript,
// failures included, so a test can say exactly what the user saw and a fuzzer
// can drive the same path without a test framework.
#pragma once

#include "imaqhost/session.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orx::test {

enum class JourneyStage { Attributes, Open, Properties, Region, Acquisition };

struct JourneyOptions {
    std::int64_t frames = 3;
    std::chrono::milliseconds timeout{500};
    // Declare the attributes of every format of the device, not only the first.
    bool everyFormat = false;
    // Called before each stage, so that a fault can be armed just in time.
    std::function<void(JourneyStage)> beforeStage;
};

struct Journey {
    std::vector<std::string> transcript;
    // The video input, when the device could be opened; the caller decides
    // when it goes.
    std::unique_ptr<imaqhost::VideoInput> input;
};

// Runs the journey on the named device. The device must have been reported
// by discovery, which the journey runs first.
Journey runJourney(imaqhost::Session& session, const std::string& device, const JourneyOptions& options = {});

// The discovery step alone: one line per device entry.
std::vector<std::string> discoveryLines(imaqhost::Session& session);

// True when `lines` holds `line` exactly.
bool contains(const std::vector<std::string>& lines, const std::string& line);

} // namespace orx::test
