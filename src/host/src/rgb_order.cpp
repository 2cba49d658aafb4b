// Host colour frames (blue, green, red, maybe a fourth byte) turned into the
// red, green, blue that a TIFF page holds. A 1080p colour frame is 6 MB: one
// byte at a time this pass took as long as writing the page, so x86 processors
// with SSSE3 shuffle sixteen bytes per step instead.
#include "frame_file_writer.h"

#include "platform/imaqkit.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define ORX_RGB_ORDER_SHUFFLE 1
#endif

namespace imaqhost {
namespace {

void swapEach(const std::uint8_t* in, std::size_t inBytes, std::uint8_t* out, std::size_t pixels)
{
    for (std::size_t i = 0; i < pixels; ++i, in += inBytes, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    }
}

#if defined(ORX_RGB_ORDER_SHUFFLE)
// Each step loads and stores sixteen bytes and moves on by five 3-byte or four
// 4-byte pixels; the bytes stored past those pixels are written again by the
// next step. Steps run while six pixels remain, so that neither the load nor
// the store passes the end. Answers how many pixels it did.
__attribute__((target("ssse3"))) std::size_t swapShuffled(const std::uint8_t* in, std::size_t inBytes,
                                                          std::uint8_t* out, std::size_t pixels)
{
    const bool packed = inBytes == 3;
    const std::size_t step = packed ? 5 : 4;
    const __m128i order = packed ? _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15)
                                 : _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1);
    std::size_t done = 0;
    for (; pixels - done >= 6; done += step) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + done * inBytes));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + done * 3), _mm_shuffle_epi8(block, order));
    }
    return done;
}

bool canShuffle()
{
    static const bool supported = __builtin_cpu_supports("ssse3");
    return supported;
}
#endif

} // namespace

void toRgbOrder(const FrameView& frame, std::size_t firstPixel, std::size_t pixels, std::vector<std::uint8_t>& out)
{
    out.resize(pixels * 3);
    const std::size_t inBytes = frame.frameType == imaqkit::kRgb24Packed ? 3 : 4;
    const std::uint8_t* in = frame.pixels + firstPixel * static_cast<std::size_t>(frame.bytesPerPixel);
    std::size_t done = 0;
#if defined(ORX_RGB_ORDER_SHUFFLE)
    if (canShuffle()) done = swapShuffled(in, inBytes, out.data(), pixels);
#endif
    swapEach(in + done * inBytes, inBytes, out.data() + done * 3, pixels - done);
}

} // namespace imaqhost
