#include "rig_json_document.h"

#include "vexcam/vexcam.h"

#include <cstddef>
#include <iterator>
#include <set>
#include <vector>

namespace vexcam {
namespace {

// A pointer over the text that tells how far the parser has read: the SAX
// events carry no position of their own.
class CountingIterator {
public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char*;
    using reference = const char&;

    CountingIterator(const char* at, const char* begin, std::size_t* read) : at_(at), begin_(begin), read_(read) {}
    const char& operator*() const { return *at_; }
    CountingIterator& operator++()
    {
        ++at_;
        *read_ = static_cast<std::size_t>(at_ - begin_);
        return *this;
    }
    CountingIterator operator++(int)
    {
        auto before = *this;
        ++*this;
        return before;
    }
    friend bool operator==(const CountingIterator& a, const CountingIterator& b) { return a.at_ == b.at_; }

private:
    const char* at_;
    const char* begin_;
    std::size_t* read_;
};

std::string escapeToken(std::string_view token)
{
    std::string escaped;
    for (char c : token)
        escaped += c == '~' ? std::string("~0") : c == '/' ? std::string("~1") : std::string(1, c);
    return escaped;
}

struct Failure {
    std::size_t offset = 0; // bytes read when it was found
    std::string pointer;
    std::string what;
};

// Builds the document through the library's own builder and follows the
// path to the value being read, so that a failure can name it.
class StrictBuilder {
public:
    using Json = nlohmann::json;
    using number_integer_t = Json::number_integer_t;
    using number_unsigned_t = Json::number_unsigned_t;
    using number_float_t = Json::number_float_t;
    using string_t = Json::string_t;
    using binary_t = Json::binary_t;

    StrictBuilder(Json& root, const std::size_t& read) : builder_(root, true), read_(read) {}

    bool null() { return value() && builder_.null(); }
    bool boolean(bool v) { return value() && builder_.boolean(v); }
    bool number_integer(number_integer_t v) { return value() && builder_.number_integer(v); }
    bool number_unsigned(number_unsigned_t v) { return value() && builder_.number_unsigned(v); }
    bool number_float(number_float_t v, const string_t& s) { return value() && builder_.number_float(v, s); }
    bool string(string_t& v) { return value() && builder_.string(v); }
    bool binary(binary_t& v) { return value() && builder_.binary(v); }

    bool start_object(std::size_t size)
    {
        if (!value()) return false;
        levels_.push_back(Level{true, {}, 0, {}});
        return builder_.start_object(size);
    }
    bool end_object()
    {
        levels_.pop_back();
        return builder_.end_object();
    }
    bool start_array(std::size_t size)
    {
        if (!value()) return false;
        levels_.push_back(Level{false, {}, 0, {}});
        return builder_.start_array(size);
    }
    bool end_array()
    {
        levels_.pop_back();
        return builder_.end_array();
    }

    bool key(string_t& name)
    {
        auto& level = levels_.back();
        level.token = escapeToken(name);
        if (!level.keys.insert(name).second) {
            failure_ = Failure{read_, pointer(), "the key \"" + name + "\" appears twice"};
            return false;
        }
        return builder_.key(name);
    }

    template <class Exception>
    bool parse_error(std::size_t offset, const std::string&, const Exception& error)
    {
        // In an array the value that failed is the next element, not yet counted.
        failure_ = Failure{offset, pointer(true), problem(error)};
        return false;
    }

    const Failure& failure() const { return failure_; }

private:
    struct Level {
        bool object = false;
        std::string token; // the current key, or the current element's index
        std::size_t elements = 0;
        std::set<std::string, std::less<>> keys;
    };

    // A value starts: in an array it is the next element.
    bool value()
    {
        if (!levels_.empty() && !levels_.back().object)
            levels_.back().token = std::to_string(levels_.back().elements++);
        return true;
    }

    std::string pointer(bool pending = false) const
    {
        std::string text;
        for (std::size_t i = 0; i < levels_.size(); ++i) {
            const auto& level = levels_[i];
            const bool next = !level.object && (level.token.empty() || (pending && i + 1 == levels_.size()));
            text += "/" + (next ? std::to_string(level.elements) : level.token);
        }
        return text;
    }

    // The parser's own words, without its prefix and position.
    static std::string problem(const std::exception& error)
    {
        const std::string message = error.what();
        const auto column = message.find("column");
        const auto detail = message.find(": ", column == std::string::npos ? message.find("] ") : column);
        if (detail != std::string::npos)
            return message.substr(detail + 2);
        const auto bracket = message.find("] ");
        return bracket == std::string::npos ? message : message.substr(bracket + 2);
    }

    nlohmann::detail::json_sax_dom_parser<Json> builder_;
    const std::size_t& read_;
    std::vector<Level> levels_;
    Failure failure_;
};

// "L:C" of the byte at `offset` (counted from 1).
std::string positionOf(std::string_view text, std::size_t offset)
{
    std::size_t line = 1;
    std::size_t column = 1;
    for (std::size_t i = 0; i + 1 < offset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return std::to_string(line) + ":" + std::to_string(column);
}

[[noreturn]] void fail(std::string_view text, const std::string& origin, const Failure& failure)
{
    const std::string place = failure.pointer.empty() ? "" : "at " + failure.pointer + ": ";
    throw RigError(origin + ":" + positionOf(text, failure.offset) + ": " + place + failure.what);
}

} // namespace

nlohmann::json readRigJson(std::string_view text, const std::string& origin)
{
    // The parser would take a NUL byte for the end of the text.
    if (const auto nul = text.find('\0'); nul != std::string_view::npos)
        fail(text, origin, {nul + 1, "", "a NUL byte; a rig is JSON text and ends with its document"});
    nlohmann::json root;
    std::size_t read = 0;
    StrictBuilder builder(root, read);
    const CountingIterator begin(text.data(), text.data(), &read);
    const CountingIterator end(text.data() + text.size(), text.data(), &read);
    try {
        if (nlohmann::json::sax_parse(begin, end, &builder))
            return root;
    } catch (const nlohmann::json::exception& error) {
        fail(text, origin, {read, "", error.what()});
    }
    fail(text, origin, builder.failure());
}

} // namespace vexcam
