// The engine's own properties; the adaptor listens to "SelectedSourceName",
// whose value is the name of the selected video source.
#pragma once

#include "host_object.h"
#include "platform/imaqkit.h"
#include "prop_info.h"

#include <memory>
#include <string>
#include <vector>

namespace imaqhost {

inline constexpr const char* kSelectedSourceName = "SelectedSourceName";

class EnginePropContainer final : public HostObject<imaqkit::IEnginePropContainer> {
public:
    explicit EnginePropContainer(std::string selectedSource);
    ~EnginePropContainer() override;

    void engineContainerReserved1() override {}
    void engineContainerReserved2() override {}
    void engineContainerReserved3() override {}
    void engineContainerReserved4() override {}
    void engineContainerReserved5() override {}
    void engineContainerReserved6() override {}
    void engineContainerReserved7() override {}
    void engineContainerReserved8() override {}
    void engineContainerReserved9() override {}
    void engineContainerReserved10() override {}
    void engineContainerReserved11() override {}
    void engineContainerReserved12() override {}
    // Takes ownership; a listener for another name is deleted at once.
    void addListener(const char* name, imaqkit::IEnginePropPostSetListener* listener) override;

    const std::string& selectedSource() const noexcept { return selectedSource_; }
    // Stores the new value, then tells every listener; restores the old value
    // if a listener fails.
    void setSelectedSource(const std::string& name);
    std::size_t listenerCount() const noexcept { return listeners_.size(); }

private:
    PropInfo info_;
    std::string selectedSource_;
    std::vector<std::unique_ptr<imaqkit::IEnginePropPostSetListener>> listeners_;
};

} // namespace imaqhost
