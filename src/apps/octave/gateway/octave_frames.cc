#include "octave_frames.h"

#include "frame_copy.h"

#include "imaqhost/host_error.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <optional>
#include <vector>

namespace orxoct {
namespace {

// The array is allocated when the first frame shows its shape; every frame is
// then copied once, straight into its slice.
class FrameArrayBuilder {
public:
    explicit FrameArrayBuilder(std::int64_t frames) : frames_(frames) {}

    void add(const imaqhost::FrameView& frame)
    {
        const FrameShape shape = shapeOf(frame.frameType, frame.width, frame.height);
        if (shape.bands == 0)
            throw imaqhost::HostError("Frame type " + std::to_string(frame.frameType) + " has no array layout.");
        if (!shape_)
            allocate(shape);
        else if (!(*shape_ == shape))
            throw imaqhost::HostError("The frames in the buffer differ in size.");
        std::uint8_t* slice = base() + static_cast<std::size_t>(count_) * shape.bytes();
        if (count_ >= frames_ || !copyToColumnMajor(frame, slice))
            throw imaqhost::HostError("A frame in the buffer does not match its size.");
        metas_.push_back(frame.meta);
        ++count_;
    }

    octave_value_list outputs(int nargout) const
    {
        octave_value_list out;
        out(0) = data();
        if (nargout > 1) {
            ColumnVector times(count_);
            for (std::int64_t i = 0; i < count_; ++i)
                times(i) = metas_[static_cast<std::size_t>(i)].time;
            out(1) = times;
        }
        if (nargout > 2) {
            const dim_vector dims(count_, 1);
            Cell number(dims), time(dims), relative(dims), trigger(dims);
            for (std::int64_t i = 0; i < count_; ++i) {
                const imaqhost::FrameMetadata& m = metas_[static_cast<std::size_t>(i)];
                number(i) = static_cast<double>(m.frameNumber);
                time(i) = clockRow(m.absTime());
                relative(i) = static_cast<double>(m.relativeFrame);
                trigger(i) = static_cast<double>(m.triggerIndex);
            }
            octave_map meta(dims);
            meta.assign("AbsTime", time);
            meta.assign("FrameNumber", number);
            meta.assign("RelativeFrame", relative);
            meta.assign("TriggerIndex", trigger);
            out(2) = meta;
        }
        return out;
    }

private:
    void allocate(const FrameShape& shape)
    {
        shape_ = shape;
        const dim_vector dims(shape.height, shape.width, shape.bands, frames_);
        if (shape.sample == SampleClass::Uint16)
            words_ = uint16NDArray(dims);
        else
            bytes_ = uint8NDArray(dims);
    }

    std::uint8_t* base()
    {
        if (shape_->sample == SampleClass::Uint16)
            return reinterpret_cast<std::uint8_t*>(words_.fortran_vec());
        return reinterpret_cast<std::uint8_t*>(bytes_.fortran_vec());
    }

    octave_value data() const
    {
        if (!shape_)
            return uint8NDArray(dim_vector(0, 0, 1, 0));
        const dim_vector dims(shape_->height, shape_->width, shape_->bands, count_);
        if (shape_->sample == SampleClass::Uint16)
            return octave_value(uint16NDArray(words_.reshape(dims)));
        return octave_value(uint8NDArray(bytes_.reshape(dims)));
    }

    std::int64_t frames_;
    std::int64_t count_ = 0;
    std::optional<FrameShape> shape_;
    uint8NDArray bytes_;
    uint16NDArray words_;
    std::vector<imaqhost::FrameMetadata> metas_;
};

} // namespace

RowVector clockRow(const imaqhost::ClockVector& clock)
{
    RowVector out(6);
    for (int i = 0; i < 6; ++i)
        out(i) = clock[static_cast<std::size_t>(i)];
    return out;
}

octave_value_list removeFrames(imaqhost::VideoInput& input, std::int64_t frames, int nargout)
{
    FrameArrayBuilder builder(frames);
    input.getData(frames, [&](const imaqhost::FrameView& frame) { builder.add(frame); },
                  std::chrono::milliseconds::zero());
    return builder.outputs(nargout);
}

octave_value_list peekFrames(imaqhost::VideoInput& input, std::int64_t frames, int nargout)
{
    // Only this thread removes frames, so at least `count` are there.
    const std::int64_t count = std::min(frames, input.framesAvailable());
    FrameArrayBuilder builder(count);
    input.peekData(count, [&](const imaqhost::FrameView& frame) { builder.add(frame); });
    return builder.outputs(nargout);
}

} // namespace orxoct
