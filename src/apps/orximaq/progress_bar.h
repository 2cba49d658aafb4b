// A one-line progress bar for a terminal, redrawn in place.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace orximaq {

// True when standard output is a terminal (the bar is drawn only then).
bool standardOutputIsTerminal();

class ProgressBar {
public:
    // Draws nothing at all when not enabled; a total of 0 shows a count without a bar.
    ProgressBar(std::FILE* out, std::string label, std::int64_t total, bool enabled);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // Shows `done` of the total; redraws at most every few tens of milliseconds
    // unless the total is reached.
    void update(std::int64_t done);
    // Text shown after the bar, such as live statistics; drawn with the next update.
    void setDetail(std::string detail) { detail_ = std::move(detail); }
    // Clears the bar's line, leaving the cursor at its start.
    void finish();

    // The text of the bar for `done` of `total`, without any terminal control.
    static std::string render(const std::string& label, std::int64_t done, std::int64_t total, int width);

private:
    std::FILE* out_;
    std::string label_;
    std::int64_t total_;
    bool enabled_;
    std::string detail_;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point lastDraw_{};
};

} // namespace orximaq
