#include "sink_state.h"

#include "platform/vexlib.h"

#include <algorithm>

namespace Vexlib {
namespace {

constexpr std::int32_t kMaxBuffers = 64;

} // namespace

GrabberSinkType::~GrabberSinkType() = default;

// Only the first accepted frame type counts; a sink starts in snap mode, as
// the real library's does, and delivers nothing while live until switched out.
refcount_ptr<FrameHandlerSink> FrameHandlerSink::create(const tCreateData& data)
{
    auto state = std::make_shared<detail::SinkState>();
    if (data.frameTypes.items && data.frameTypes.count > 0) state->acceptedSubtype = data.frameTypes.items[0].subtype;
    state->bufferCount = std::clamp(data.bufferCount, 1, kMaxBuffers);
    return refcount_ptr<FrameHandlerSink>::make(std::move(state));
}

FrameHandlerSink::FrameHandlerSink(std::shared_ptr<detail::SinkState> state) : state_(std::move(state)) {}

FrameHandlerSink::~FrameHandlerSink() = default;

void FrameHandlerSink::setSnapMode(bool snap)
{
    state_->snapMode = snap;
}

bool FrameHandlerSink::getSnapMode() const
{
    return state_->snapMode;
}

GUID FrameHandlerSink::getAcceptedSubtype() const
{
    return state_->acceptedSubtype;
}

std::int32_t FrameHandlerSink::getBufferCount() const
{
    return state_->bufferCount;
}

} // namespace Vexlib
