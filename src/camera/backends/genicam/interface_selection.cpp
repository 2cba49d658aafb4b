#include "interface_selection.h"

#include <arv.h>

#include <algorithm>

namespace vexcam::genicam {
namespace {

std::vector<std::string> knownInterfaces()
{
    std::vector<std::string> known;
    for (unsigned i = 0; i < arv_get_n_interfaces(); ++i)
        if (const char* id = arv_get_interface_id(i)) known.emplace_back(id);
    return known;
}

} // namespace

std::string selectInterfaces(const std::vector<std::string>& wanted)
{
    const auto known = knownInterfaces();
    for (const auto& name : known) arv_disable_interface(name.c_str());
    if (wanted.empty()) return "the rig asks for GenICam cameras but names no interface";
    for (const auto& name : wanted) {
        if (std::find(known.begin(), known.end(), name) != known.end()) continue;
        std::string list;
        for (const auto& id : known) list += (list.empty() ? "" : ", ") + id;
        return "unknown GenICam interface \"" + name + "\" (known: " + list + ")";
    }
    for (const auto& name : wanted) arv_enable_interface(name.c_str());
    return {};
}

} // namespace vexcam::genicam
