#include "rig_json_node.h"

#include "com_guid.h"
#include "com_text.h"

#include "vexcam/vexcam.h"

#include <array>
#include <cmath>
#include <limits>

namespace vexcam {
namespace {

std::string escapePointerToken(std::string_view token)
{
    std::string escaped;
    for (char c : token) {
        if (c == '~') {
            escaped += "~0";
        } else if (c == '/') {
            escaped += "~1";
        } else {
            escaped += c;
        }
    }
    return escaped;
}

struct NamedStatus {
    std::string_view name;
    HRESULT status;
};

constexpr std::array kNamedStatuses{
    NamedStatus{"S_OK", S_OK},
    NamedStatus{"S_FALSE", S_FALSE},
    NamedStatus{"E_NOTIMPL", E_NOTIMPL},
    NamedStatus{"E_NOINTERFACE", E_NOINTERFACE},
    NamedStatus{"E_POINTER", E_POINTER},
    NamedStatus{"E_FAIL", E_FAIL},
    NamedStatus{"E_OUTOFMEMORY", E_OUTOFMEMORY},
    NamedStatus{"E_INVALIDARG", E_INVALIDARG},
    NamedStatus{"DISP_E_BADINDEX", DISP_E_BADINDEX},
};

std::uint64_t fnv1a(std::string_view text, std::uint64_t hash)
{
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 0x100000001B3ull;
    }
    return hash;
}

} // namespace

RigJsonNode::RigJsonNode(const nlohmann::json& value, std::string pointer, const std::string& origin)
    : value_(&value), pointer_(std::move(pointer)), origin_(&origin)
{
}

void RigJsonNode::fail(std::string_view what) const
{
    throw RigError(*origin_ + ": at " + (pointer_.empty() ? std::string("/") : pointer_) + ": " + std::string(what));
}

std::string RigJsonNode::asString() const
{
    if (!value_->is_string()) fail("expected a text");
    return value_->get<std::string>();
}

std::string RigJsonNode::asNonEmptyString() const
{
    std::string text = asString();
    if (text.empty()) fail("expected a text that is not empty");
    return text;
}

bool RigJsonNode::asBool() const
{
    if (!value_->is_boolean()) fail("expected true or false");
    return value_->get<bool>();
}

std::int64_t RigJsonNode::asInt64() const
{
    if (value_->is_number_integer()) return value_->get<std::int64_t>();
    if (value_->is_number_unsigned() && value_->get<std::uint64_t>() <= std::uint64_t(INT64_MAX))
        return std::int64_t(value_->get<std::uint64_t>());
    fail("expected a whole number");
}

std::int32_t RigJsonNode::asInt32() const
{
    const std::int64_t value = asInt64();
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        fail("the number does not fit in 32 bits");
    return std::int32_t(value);
}

std::int16_t RigJsonNode::asInt16() const
{
    const std::int64_t value = asInt64();
    if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max())
        fail("the number does not fit in 16 bits");
    return std::int16_t(value);
}

double RigJsonNode::asDouble() const
{
    if (!value_->is_number()) fail("expected a number");
    return value_->get<double>();
}

double RigJsonNode::asRate() const
{
    const double value = asDouble();
    if (!(value >= 0.0) || !std::isfinite(value)) fail("expected a number of 0 or more");
    return value;
}

Size RigJsonNode::asSize() const
{
    if (!value_->is_array() || value_->size() != 2) fail("expected a size [width, height]");
    const Size size{element(0).asInt32(), element(1).asInt32()};
    if (size.cx <= 0 || size.cy <= 0) fail("a size needs a positive width and height");
    return size;
}

std::vector<RigJsonNode> RigJsonNode::asArray() const
{
    if (!value_->is_array()) fail("expected an array");
    std::vector<RigJsonNode> elements;
    for (std::size_t i = 0; i < value_->size(); ++i) elements.push_back(element(i));
    return elements;
}

std::vector<std::string> RigJsonNode::asStrings() const
{
    return asArrayOf([](const RigJsonNode& node) { return node.asNonEmptyString(); });
}

std::vector<Size> RigJsonNode::asSizes() const
{
    return asArrayOf([](const RigJsonNode& node) { return node.asSize(); });
}

GUID RigJsonNode::asGuid() const
{
    const auto id = com::parseRegistryGuid(com::utf8ToUtf16(asString()));
    if (!id) fail("expected an identifier like {2CED6FD6-AB4D-4C74-904C-D682E53B9CC5}");
    return *id;
}

HRESULT RigJsonNode::asStatus() const
{
    if (value_->is_number()) {
        const std::int64_t value = asInt64();
        if (value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max())
            return HRESULT(value);
        if (value > 0 && value <= std::int64_t(UINT32_MAX)) return HRESULT(std::uint32_t(value));
        fail("the status does not fit in 32 bits");
    }
    const std::string text = asString();
    for (const auto& named : kNamedStatuses)
        if (named.name == text) return named.status;
    if (text.size() > 2 && text.size() <= 10 && (text.starts_with("0x") || text.starts_with("0X"))) {
        std::size_t used = 0;
        try {
            const unsigned long value = std::stoul(text.substr(2), &used, 16);
            if (used == text.size() - 2) return HRESULT(std::uint32_t(value));
        } catch (const std::exception&) {
        }
    }
    fail("expected a status: a number, \"0x80004005\" or a name such as \"E_FAIL\"");
}

ListFault RigJsonNode::asListFault() const
{
    switch (asChoice({"none", "empty", "missing"})) {
    case 1: return ListFault::Empty;
    case 2: return ListFault::Missing;
    default: return ListFault::None;
    }
}

std::size_t RigJsonNode::asChoice(const std::vector<std::string_view>& names) const
{
    const std::string text = asString();
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == text) return i;
    std::string expected;
    for (const auto name : names) expected += (expected.empty() ? "" : ", ") + ("\"" + std::string(name) + "\"");
    fail("\"" + text + "\" is not one of " + expected);
}

RigJsonNode RigJsonNode::child(std::string_view key) const
{
    return RigJsonNode(value_->at(std::string(key)), pointer_ + "/" + escapePointerToken(key), *origin_);
}

RigJsonNode RigJsonNode::element(std::size_t index) const
{
    return RigJsonNode(value_->at(index), pointer_ + "/" + std::to_string(index), *origin_);
}

RigJsonObject::RigJsonObject(const RigJsonNode& node) : node_(node)
{
    if (!node.value().is_object()) node.fail("expected an object");
}

bool RigJsonObject::has(std::string_view key) const
{
    return node_.value().contains(std::string(key));
}

std::optional<RigJsonNode> RigJsonObject::optional(std::string_view key)
{
    if (!has(key)) return std::nullopt;
    read_.insert(std::string(key));
    return node_.child(key);
}

RigJsonNode RigJsonObject::required(std::string_view key)
{
    auto found = optional(key);
    if (!found) node_.fail("the key \"" + std::string(key) + "\" is missing");
    return *found;
}

void RigJsonObject::finish() const
{
    for (const auto& [key, value] : node_.value().items())
        if (!read_.contains(key)) node_.child(key).fail("unknown key \"" + key + "\"");
}

// FNV-1a over the text, twice with different seeds, shaped as a version-8
// (implementation-defined) identifier.
GUID guidFromName(std::string_view text)
{
    const std::uint64_t high = fnv1a(text, 0xCBF29CE484222325ull);
    const std::uint64_t low = fnv1a(text, high ^ 0x9E3779B97F4A7C15ull);
    GUID id{};
    id.Data1 = std::uint32_t(high >> 32);
    id.Data2 = std::uint16_t(high >> 16);
    id.Data3 = std::uint16_t((high & 0x0FFF) | 0x8000);
    for (int i = 0; i < 8; ++i) id.Data4[i] = std::uint8_t(low >> (56 - 8 * i));
    id.Data4[0] = std::uint8_t((id.Data4[0] & 0x3F) | 0x80);
    return id;
}

} // namespace vexcam
