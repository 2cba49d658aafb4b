// Compiled for the MSVC ABI only, to make clang lay out every interface the
// adaptor reaches by slot. A class's table is laid out once the compiler emits
// a constructor that stores it: each probe derives from one interface and
// defines its constructor, and the probes are explicitly instantiated.
#include "platform/imaqkit.h"
#include "platform/vexlib.h"
#include "platform/vexlib_properties.h"

#include <cstddef>

namespace probe {

template <class Interface>
struct TableProbe : Interface {
    TableProbe();
};

template <class Interface>
TableProbe<Interface>::TableProbe() = default;

// Asking for a record's size makes the compiler lay it out.
inline constexpr std::size_t recordSizes[] = {sizeof(GUID), sizeof(SIZE), sizeof(Vexlib::FrameTypeInfo),
                                              sizeof(Vexlib::FrameHandlerSink::tCreateData)};

} // namespace probe

template struct probe::TableProbe<imaqkit::IMAQInterface>;
template struct probe::TableProbe<imaqkit::IHardwareInfo>;
template struct probe::TableProbe<imaqkit::IDeviceInfo>;
template struct probe::TableProbe<imaqkit::IVideoSourceInfo>;
template struct probe::TableProbe<imaqkit::IPropFactory>;
template struct probe::TableProbe<imaqkit::IAdaptorManager>;
template struct probe::TableProbe<imaqkit::IEngine>;
template struct probe::TableProbe<imaqkit::IFrame>;
template struct probe::TableProbe<imaqkit::IEnginePropContainer>;
template struct probe::TableProbe<imaqkit::IPropContainer>;
template struct probe::TableProbe<imaqkit::IPropInfo>;
template struct probe::TableProbe<imaqkit::IAdaptor>;
template struct probe::TableProbe<imaqkit::IPropCustomGetFcn>;
template struct probe::TableProbe<imaqkit::IPropPostSetListener>;
template struct probe::TableProbe<imaqkit::IEnginePropPostSetListener>;

template struct probe::TableProbe<Vexlib::GrabberListener>;
template struct probe::TableProbe<Vexlib::MemBuffer>;
template struct probe::TableProbe<Vexlib::refcount_holder_base>;
template struct probe::TableProbe<IUnknown>;
template struct probe::TableProbe<Vexlib::IVCDPropertyItems>;
template struct probe::TableProbe<Vexlib::PropertyItem>;
template struct probe::TableProbe<Vexlib::ElementCollection>;
template struct probe::TableProbe<Vexlib::PropertyElement>;
template struct probe::TableProbe<Vexlib::IntegerRangeInterface>;
template struct probe::TableProbe<Vexlib::DoubleRangeInterface>;
template struct probe::TableProbe<Vexlib::StringListInterface>;
template struct probe::TableProbe<Vexlib::SwitchInterface>;
template struct probe::TableProbe<Vexlib::ButtonInterface>;
template struct probe::TableProbe<Vexlib::TextCollection>;
