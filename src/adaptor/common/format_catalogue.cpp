#include "common/format_catalogue.h"

#include "common/task_mem.h"
#include "common/to_utf8.h"

namespace orx {
namespace {

struct FormatOrder {
    bool operator()(const Vexlib::VideoFormatItem& a, const Vexlib::VideoFormatItem& b) const
    {
        return a < b;
    }
};
using ExpandedFormatSet = std::set<Vexlib::VideoFormatItem, FormatOrder>;

template <class T>
const std::vector<T>& orEmpty(const Vexlib::ListHandle<T>& list)
{
    static const std::vector<T> empty;
    return list ? *list : empty;
}

void appendNormFormats(Vexlib::Grabber& grabber, std::vector<std::string>& names)
{
    const auto norms = grabber.getAvailableVideoNorms_();
    for (const auto& norm : orEmpty(norms)) {
        grabber.setVideoNorm(norm);
        const auto formats = grabber.getAvailableVideoFormats_(grabber.getVideoNorm());
        for (const auto& format : orEmpty(formats))
            names.push_back(std::string(norm.c_str()) + ":" + formatItemName(format));
    }
}

void expandDescription(const Vexlib::VideoFormatDesc& description, const LargeSizeSet& largeSizes,
                       ExpandedFormatSet& formats)
{
    for (const SIZE& size : kStandardTrialSizes)
        if (description.isValidSize(size)) formats.insert(description.createVideoFormat(size));
    for (const SIZE& size : largeSizes)
        if (description.isValidSize(size)) formats.insert(description.createVideoFormat(size));
    formats.insert(description.createVideoFormat(description.getMinSize()));
    formats.insert(description.createVideoFormat(description.getMaxSize()));
}

} // namespace

FormatCatalogue deviceFormatCatalogue(Vexlib::Grabber& grabber)
{
    FormatCatalogue catalogue;
    catalogue.hasVideoNorms = grabber.isVideoNormAvailableWithCurDev();
    if (catalogue.hasVideoNorms) {
        appendNormFormats(grabber, catalogue.names);
        return catalogue;
    }
    for (const auto& format : buildExpandedFormatList(grabber))
        catalogue.names.push_back(formatItemName(format));
    return catalogue;
}

std::vector<Vexlib::VideoFormatItem> buildExpandedFormatList(Vexlib::Grabber& grabber)
{
    const LargeSizeSet largeSizes = collectLargeFormatSizes(grabber);
    const auto descriptions = grabber.getAvailableVideoFormatDescs_(grabber.getVideoNorm());
    ExpandedFormatSet formats;
    for (const auto& description : orEmpty(descriptions)) {
        // A description the library did not deliver offers nothing to expand.
        if (!description || description->getSubtype() == kExcludedSubtype) continue;
        expandDescription(*description, largeSizes, formats);
    }
    return {formats.begin(), formats.end()};
}

LargeSizeSet collectLargeFormatSizes(Vexlib::Grabber& grabber)
{
    LargeSizeSet sizes;
    const auto formats = grabber.getAvailableVideoFormats_(grabber.getVideoNorm());
    for (const auto& format : orEmpty(formats)) {
        const SIZE size = format.getSize();
        if (size.cx >= kLargeWidth) sizes.insert(size);
    }
    return sizes;
}

std::string formatItemName(const Vexlib::VideoFormatItem& format)
{
    const auto text = TaskMem<WCHAR>::attach(format.toString_());
    return toUtf8(text.get());
}

bool isRoiFormatDevice(Vexlib::Grabber& grabber)
{
    const auto descriptions = grabber.getAvailableVideoFormatDescs_(grabber.getVideoNorm());
    if (!descriptions || descriptions->empty()) return false;
    const auto& first = descriptions->front();
    return first && first->isROIFormat();
}

} // namespace orx
