#include "vexcam/vexcam.h"

namespace vexcam {
namespace {

// rigs/default.json, byte for byte (generated at build time).
constexpr unsigned char kDefaultRigJson[] = {
#include "default_rig_json.inc"
};

} // namespace

std::string_view defaultRigJson()
{
    return {reinterpret_cast<const char*>(kDefaultRigJson), sizeof(kDefaultRigJson)};
}

Rig defaultRig()
{
    static const Rig rig = parseRig(defaultRigJson(), "default rig");
    return rig;
}

} // namespace vexcam
