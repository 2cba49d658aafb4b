// Reading rig JSON strictly: every value knows its place (a JSON pointer) so
// that an error names it, and objects reject keys nobody asked for.
#pragma once

#include "vexcam/rig.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace vexcam {

class RigJsonNode {
public:
    RigJsonNode(const nlohmann::json& value, std::string pointer, const std::string& origin);

    // Throws RigError: "<origin>: at <pointer>: <what>".
    [[noreturn]] void fail(std::string_view what) const;

    const std::string& pointer() const noexcept { return pointer_; }
    const nlohmann::json& value() const noexcept { return *value_; }

    std::string asString() const;
    std::string asNonEmptyString() const;
    bool asBool() const;
    std::int64_t asInt64() const;
    std::int32_t asInt32() const;
    std::int16_t asInt16() const;
    double asDouble() const;
    // A non-negative number.
    double asRate() const;
    // [width, height], both positive.
    Size asSize() const;
    std::vector<RigJsonNode> asArray() const;
    // Every element of an array, each turned into a T by `parse`.
    template <class Parse>
    auto asArrayOf(Parse parse) const
    {
        std::vector<std::decay_t<decltype(parse(*this))>> parsed;
        for (const auto& element : asArray()) parsed.push_back(parse(element));
        return parsed;
    }
    std::vector<std::string> asStrings() const;
    std::vector<Size> asSizes() const;
    // A registry-form identifier, "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
    GUID asGuid() const;
    // An HRESULT: a number, "0x..." or a name such as "E_FAIL".
    HRESULT asStatus() const;
    ListFault asListFault() const;

    // One of `names`; its position.
    std::size_t asChoice(const std::vector<std::string_view>& names) const;

    RigJsonNode child(std::string_view key) const;
    RigJsonNode element(std::size_t index) const;

private:
    const nlohmann::json* value_;
    std::string pointer_;
    const std::string* origin_;
};

// The keys of one object; finish() rejects every key that was not read.
class RigJsonObject {
public:
    explicit RigJsonObject(const RigJsonNode& node);

    std::optional<RigJsonNode> optional(std::string_view key);
    RigJsonNode required(std::string_view key);
    bool has(std::string_view key) const;
    void finish() const;
    const RigJsonNode& node() const noexcept { return node_; }

private:
    RigJsonNode node_;
    std::set<std::string, std::less<>> read_;
};

// A deterministic identifier derived from a text.
GUID guidFromName(std::string_view text);

} // namespace vexcam
