// The adaptor's region read and region apply. On a region-of-interest camera
// the camera crops: the format is replaced by one of the region's size and the
// partial-scan offsets move the window. Elsewhere frames carry the full image.
#include "common/warning.h"
#include "engine/orx_adaptor.h"
#include "engine/region_of_interest.h"
#include "properties/property_model.h"

namespace orx {
namespace {

constexpr const char* kCameraUnavailable = "The camera is not available.";
constexpr const char* kAutoCenterFailed = "Error at PartialScanOffsetAutoCenter Switch";
constexpr const char* kOffsetFailed = "Error at PartialScanOffset Value";
constexpr const char* kNoRoiDescription =
    "No region-of-interest format produces the current video format; the region is passed on unchanged.";

} // namespace

void ORXadaptor::getROI(std::int32_t* x, std::int32_t* y, std::int32_t* width, std::int32_t* height)
{
    const SIZE size = grabber.getVideoFormat().getSize();
    *x = 0;
    *y = 0;
    *width = size.cx;
    *height = size.cy;
    if (!roiFormat) return;
    try {
        const auto items = grabber.getAvailableVCDProperties();
        if (!items) return;
        const auto offsetX = lookUpPartialScan<Vexlib::IntegerRangeInterface>(*items.get(), PartialScanElement::OffsetX);
        const auto offsetY = lookUpPartialScan<Vexlib::IntegerRangeInterface>(*items.get(), PartialScanElement::OffsetY);
        if (!offsetX || !offsetY) return;
        LONG value = 0;
        checkStatus(offsetX->get_Value(&value));
        *x = value;
        checkStatus(offsetY->get_Value(&value));
        *y = value;
    } catch (Vexlib::StatusCode) {
        warn(kCameraUnavailable);
    }
}

bool ORXadaptor::setROI(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height)
{
    if (roiFormat) applyRoiFormat(x, y, width, height);
    return adaptorManager->setROI(x, y, width, height);
}

void ORXadaptor::applyRoiFormat(std::int32_t& x, std::int32_t& y, std::int32_t& width, std::int32_t& height)
{
    const bool wasLive = grabber.isLive();
    if (wasLive) grabber.stopLive();

    const auto description = findRoiFormatDesc(grabber);
    if (!description) {
        // Nothing can produce the region: leave the camera's format alone.
        warn(kNoRoiDescription);
        if (wasLive) restartLive();
        return;
    }
    const SIZE minimum = description->getMinSize();
    const SIZE maximum = description->getMaxSize();
    const SIZE step = description->getStepSize();
    x = roundOffset(x, step.cx);
    y = roundOffset(y, step.cy);
    width = roundAndClampSize(width, step.cx, minimum.cx, maximum.cx);
    height = roundAndClampSize(height, step.cy, minimum.cy, maximum.cy);

    grabber.setVideoFormat(description->createVideoFormat(width, height));
    grabber.setFPS(maximumFrameRate(grabber));
    writePartialScanOffsets(x, y);
    if (wasLive) restartLive();
}

void ORXadaptor::writePartialScanOffsets(std::int32_t x, std::int32_t y)
{
    const auto items = grabber.getAvailableVCDProperties();
    if (!items) return;
    const auto autoCenter = lookUpPartialScan<Vexlib::SwitchInterface>(*items.get(), PartialScanElement::AutoCenter);
    const auto offsetX = lookUpPartialScan<Vexlib::IntegerRangeInterface>(*items.get(), PartialScanElement::OffsetX);
    const auto offsetY = lookUpPartialScan<Vexlib::IntegerRangeInterface>(*items.get(), PartialScanElement::OffsetY);
    if (autoCenter) {
        try {
            checkStatus(autoCenter->put_Switch(VARIANT_FALSE));
        } catch (Vexlib::StatusCode) {
            warn(kAutoCenterFailed);
        }
    }
    if (offsetX && offsetY) {
        try {
            checkStatus(offsetX->put_Value(x));
            checkStatus(offsetY->put_Value(y));
        } catch (Vexlib::StatusCode) {
            warn(kOffsetFailed);
        }
    }
}

void ORXadaptor::restartLive()
{
    try {
        grabber.startLive(false);
    } catch (Vexlib::StatusCode) {
        warn(kLiveRefused);
    }
}

} // namespace orx
