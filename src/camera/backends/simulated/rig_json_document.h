// Reading a rig's text into a JSON document strictly: a key given twice in
// one object, a number too large for a double, a NUL byte or anything after
// the document is an error that names the place (line, column and the JSON
// pointer of the value).
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

namespace vexcam {

// Throws RigError: "<origin>:<line>:<column>: [at <pointer>: ]<what>".
nlohmann::json readRigJson(std::string_view text, const std::string& origin);

} // namespace vexcam
