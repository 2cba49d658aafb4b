#include "progress_bar.h"

#include <algorithm>
#include <utility>

#if defined(_WIN32)
#include <io.h>
#define ORXIMAQ_ISATTY _isatty
#define ORXIMAQ_FILENO _fileno
#else
#include <unistd.h>
#define ORXIMAQ_ISATTY isatty
#define ORXIMAQ_FILENO fileno
#endif

namespace orximaq {
namespace {

constexpr int kBarWidth = 30;
constexpr auto kRedrawInterval = std::chrono::milliseconds(40);

} // namespace

bool standardOutputIsTerminal()
{
    return ORXIMAQ_ISATTY(ORXIMAQ_FILENO(stdout)) != 0;
}

ProgressBar::ProgressBar(std::FILE* out, std::string label, std::int64_t total, bool enabled)
    : out_(out), label_(std::move(label)), total_(std::max<std::int64_t>(total, 0)), enabled_(enabled)
{
}

ProgressBar::~ProgressBar()
{
    finish();
}

std::string ProgressBar::render(const std::string& label, std::int64_t done, std::int64_t total, int width)
{
    // No total (a timed run): the count alone.
    if (total <= 0)
        return label + " " + std::to_string(std::max<std::int64_t>(done, 0)) + " frames";
    done = std::clamp<std::int64_t>(done, 0, total);
    const auto filled = static_cast<int>(static_cast<double>(done) / static_cast<double>(total) * width);
    std::string text = label + " [";
    text.append(static_cast<std::size_t>(filled), '#');
    text.append(static_cast<std::size_t>(width - filled), '.');
    text += "] " + std::to_string(done) + "/" + std::to_string(total);
    return text;
}

void ProgressBar::update(std::int64_t done)
{
    if (!enabled_)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (drawn_ && (total_ <= 0 || done < total_) && now - lastDraw_ < kRedrawInterval)
        return;
    lastDraw_ = now;
    drawn_ = true;
    const std::string bar = render(label_, done, total_, kBarWidth);
    std::fprintf(out_, "\r%s%s%s\x1b[K", bar.c_str(), detail_.empty() ? "" : "  ", detail_.c_str());
    std::fflush(out_);
}

void ProgressBar::finish()
{
    if (!drawn_)
        return;
    drawn_ = false;
    std::fputs("\r\x1b[K", out_);
    std::fflush(out_);
}

} // namespace orximaq
