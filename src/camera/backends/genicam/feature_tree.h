// A camera's features as the library's property tree. Every readable and
// writable feature node of the camera's description (all of them, not only
// those reachable from the root category) becomes an item, except those the
// library itself controls; a value and its automatic mode ("Gain" and
// "GainAuto") share one item. Reads and writes go to the camera.
#pragma once

#include "camera.h"
#include "property_store.h"

#include <memory>
#include <string>
#include <vector>

namespace vexcam::genicam {

// What an element stands for on the camera.
struct ElementFeature {
    enum class Kind { Integer, Float, Enumeration, AutoSwitch, Boolean, Command, OffsetX, OffsetY, AutoCenter };
    Kind kind = Kind::Integer;
    std::string feature;
    std::vector<std::string> entries; // an enumeration's entries, in order
};

class FeatureBinding final : public ElementBinding {
public:
    FeatureBinding(std::shared_ptr<Camera> camera, std::vector<std::vector<ElementFeature>> features);
    void refresh(std::size_t item, std::size_t element, ElementSpec& spec) override;
    HRESULT commit(std::size_t item, std::size_t element, ElementSpec& spec) override;

private:
    const std::shared_ptr<Camera> camera_;
    const std::vector<std::vector<ElementFeature>> features_;
};

struct FeatureTree {
    std::vector<ItemSpec> items;
    std::vector<std::vector<ElementFeature>> features; // by item, then element
    std::vector<std::string> mapping; // "<feature>: <what it became>", for the documentation
};

FeatureTree buildFeatureTree(const std::shared_ptr<Camera>& camera, Size sensor, bool offsets);

} // namespace vexcam::genicam
