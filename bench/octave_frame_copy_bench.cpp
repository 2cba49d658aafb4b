// The Octave gateway's copy of a host frame into the column-major planar
// layout of an H x W x B array, against a plain memcpy of the same bytes.
#include "frame_copy.h"

#include "platform/imaqkit.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr std::int32_t kWidth = 640;
constexpr std::int32_t kHeight = 480;

void copyFrame(benchmark::State& state, std::uint32_t type, std::int32_t pixelBytes)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kWidth) * kHeight * pixelBytes);
    for (std::size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<std::uint8_t>(i * 13);
    const imaqhost::FrameView frame{0, type, kWidth, kHeight, pixelBytes, 0.0, pixels.data(), pixels.size()};
    std::vector<std::uint8_t> out(orxoct::shapeOf(type, kWidth, kHeight).bytes());
    for (auto _ : state) {
        orxoct::copyToColumnMajor(frame, out.data());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pixels.size()));
}

void plainCopy(benchmark::State& state, std::int32_t pixelBytes)
{
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kWidth) * kHeight * pixelBytes, 7);
    std::vector<std::uint8_t> out(pixels.size());
    for (auto _ : state) {
        std::memcpy(out.data(), pixels.data(), pixels.size());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pixels.size()));
}

} // namespace

BENCHMARK_CAPTURE(copyFrame, mono8_640x480, imaqkit::kMono8, 1);
BENCHMARK_CAPTURE(copyFrame, mono16_640x480, imaqkit::kMono16, 2);
BENCHMARK_CAPTURE(copyFrame, rgb24_640x480, imaqkit::kRgb24Packed, 3);
BENCHMARK_CAPTURE(copyFrame, rgb32_640x480, imaqkit::kRgb32Packed, 4);
BENCHMARK_CAPTURE(plainCopy, bytes_640x480x1, 1);
BENCHMARK_CAPTURE(plainCopy, bytes_640x480x3, 3);
BENCHMARK_CAPTURE(plainCopy, bytes_640x480x4, 4);

BENCHMARK_MAIN();
