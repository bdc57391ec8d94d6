#include "engine/format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <istream>
#include <ostream>

namespace marvane {

FormatItem IntegerItem(int value) {
    FormatItem item;
    item.kind = ItemKind::Integer;
    item.integer = value;
    return item;
}

FormatItem RealItem(float value) {
    FormatItem item;
    item.kind = ItemKind::Real;
    item.real = value;
    return item;
}

FormatItem TextItem(std::string_view value, int length) {
    FormatItem item;
    item.kind = ItemKind::Text;
    item.length = length;
    item.text = std::string(value.substr(0, static_cast<size_t>(length)));
    item.text.resize(static_cast<size_t>(length), ' ');
    return item;
}

// ---------------------------------------------------------------------------------
// Parsing

namespace {

struct Parser {
    std::string text; // the descriptor without blanks, from "(" to its matching ")"
    size_t pos = 0;
    std::string error;

    bool AtEnd() const { return pos >= text.size(); }
    char Peek() const { return AtEnd() ? '\0' : text[pos]; }

    bool Fail(std::string message) {
        if (error.empty()) {
            error = std::move(message);
        }
        return false;
    }

    // Reads an unsigned number if one stands here; `present` tells whether it did.
    bool Number(int& value, bool& present) {
        present = false;
        value = 0;
        while (!AtEnd() && Peek() >= '0' && Peek() <= '9') {
            present = true;
            value = value * 10 + (Peek() - '0');
            if (value > kMaxDescriptorNumber) {
                return Fail("a number in the descriptor exceeds " +
                            std::to_string(kMaxDescriptorNumber));
            }
            ++pos;
        }
        return true;
    }

    bool RequiredNumber(int& value, const char* what) {
        bool present = false;
        if (!Number(value, present)) {
            return false;
        }
        if (!present) {
            return Fail(std::string("missing ") + what);
        }
        return true;
    }

    bool Element(std::vector<FormatNode>& out, int depth) {
        int count = 0;
        bool hasCount = false;
        if (!Number(count, hasCount)) {
            return false;
        }
        if (hasCount && count == 0) {
            return Fail("a repeat count or skip must be at least 1");
        }
        FormatNode node;
        node.repeat = hasCount ? count : 1;
        const char letter = Peek();
        ++pos;
        switch (letter) {
        case '(':
            if (depth + 1 > kMaxDescriptorNesting) {
                return Fail("groups are nested more than " + std::to_string(kMaxDescriptorNesting) +
                            " deep");
            }
            node.kind = NodeKind::Group;
            if (!List(node.children, depth + 1)) {
                return false;
            }
            out.push_back(std::move(node));
            return true;
        case 'A': {
            node.letter = 'A';
            bool hasWidth = false;
            if (!Number(node.width, hasWidth)) {
                return false;
            }
            if (hasWidth && node.width == 0) {
                return Fail("a field width must be at least 1");
            }
            break;
        }
        case 'I':
            node.letter = 'I';
            if (!RequiredNumber(node.width, "width of an I field")) {
                return false;
            }
            break;
        case 'F':
            node.letter = 'F';
            if (!RequiredNumber(node.width, "width of an F field")) {
                return false;
            }
            if (Peek() != '.') {
                return Fail("missing decimal point in an F field");
            }
            ++pos;
            if (!RequiredNumber(node.decimals, "decimals of an F field")) {
                return false;
            }
            break;
        case 'X':
            if (!hasCount) {
                return Fail("missing count of an X skip");
            }
            node.kind = NodeKind::Skip;
            node.width = count;
            node.repeat = 1;
            out.push_back(node);
            return true;
        case '\0':
            return Fail("unbalanced parentheses");
        default:
            return Fail(std::string("unexpected character '") + letter + "'");
        }
        if (node.width == 0 && node.letter != 'A') {
            return Fail("a field width must be at least 1");
        }
        node.kind = NodeKind::Field;
        out.push_back(node);
        return true;
    }

    // The contents of a group, after its "(" and up to and including its ")".
    bool List(std::vector<FormatNode>& out, int depth) {
        enum { Start, AfterElement, AfterComma, AfterSlash } previous = Start;
        for (;;) {
            const char c = Peek();
            if (c == '\0') {
                return Fail("unbalanced parentheses");
            }
            if (c == ')') {
                if (previous == AfterComma) {
                    return Fail("a comma stands before ')'");
                }
                ++pos;
                return true;
            }
            if (c == ',') {
                if (previous == Start || previous == AfterComma) {
                    return Fail("misplaced comma");
                }
                ++pos;
                previous = AfterComma;
                continue;
            }
            if (c == '/') {
                ++pos;
                FormatNode slash;
                slash.kind = NodeKind::Slash;
                out.push_back(slash);
                previous = AfterSlash;
                continue;
            }
            if (previous == AfterElement) {
                return Fail("missing comma between elements");
            }
            if (!Element(out, depth)) {
                return false;
            }
            previous = AfterElement;
        }
    }
};

long Expansion(const std::vector<FormatNode>& nodes) {
    long total = 0;
    for (const FormatNode& node : nodes) {
        long one = 1;
        if (node.kind == NodeKind::Group) {
            one += Expansion(node.children);
        }
        total += std::min(one * node.repeat, kMaxDescriptorExpansion + 1);
        total = std::min(total, kMaxDescriptorExpansion + 1);
    }
    return total;
}

bool HasField(const std::vector<FormatNode>& nodes) {
    return std::any_of(nodes.begin(), nodes.end(), [](const FormatNode& node) {
        return node.kind == NodeKind::Field ||
               (node.kind == NodeKind::Group && HasField(node.children));
    });
}

} // namespace

int ParseFormat(std::string_view text, FormatDescriptor& descriptor, std::string& error) {
    descriptor = FormatDescriptor();
    size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos || text[start] != '(') {
        error = "the descriptor does not begin with '('";
        return -1;
    }
    Parser parser;
    int depth = 0;
    for (size_t i = start; i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ') {
            continue;
        }
        parser.text += c;
        depth += (c == '(') - (c == ')');
        if (depth == 0) {
            break;
        }
    }
    if (depth != 0) {
        error = "unbalanced parentheses";
        return -1;
    }
    parser.pos = 1;
    if (!parser.List(descriptor.elements, 0)) {
        error = parser.error;
        return -1;
    }
    if (Expansion(descriptor.elements) > kMaxDescriptorExpansion) {
        error = "the descriptor expands to more than " + std::to_string(kMaxDescriptorExpansion) +
                " elements";
        return -1;
    }
    for (size_t i = descriptor.elements.size(); i > 0; --i) {
        if (descriptor.elements[i - 1].kind == NodeKind::Group) {
            descriptor.reversionIndex = i - 1;
            break;
        }
    }
    const std::vector<FormatNode> tail(descriptor.elements.begin() +
                                           static_cast<long>(descriptor.reversionIndex),
                                       descriptor.elements.end());
    descriptor.reversionHasField = HasField(tail);
    return 0;
}

// ---------------------------------------------------------------------------------
// Field conversions

std::string FormatIntegerField(long long value, int width) {
    char digits[32];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    const std::string_view text(digits, static_cast<size_t>(result.ptr - digits));
    if (static_cast<int>(text.size()) > width) {
        return std::string(static_cast<size_t>(width), '*');
    }
    return std::string(static_cast<size_t>(width) - text.size(), ' ') + std::string(text);
}

namespace {

// The field from the rounded digits: `integerDigits` without leading zeros (empty for
// a magnitude below 1), `fractionDigits` exactly `decimals` long.
std::string RealFieldLayout(bool negative, const std::string& integerDigits,
                            std::string_view fractionDigits, bool zero, int width, int decimals) {
    // A zero before the point where the field has room for it; a field without any
    // digit would not show a number at all.
    const bool sign = negative && !zero;
    const size_t bare = (sign ? 1 : 0) + integerDigits.size() + 1 + fractionDigits.size();
    const bool leadingZero =
        integerDigits.empty() && (static_cast<int>(bare) < width || decimals == 0);
    const size_t length = bare + (leadingZero ? 1 : 0);
    if (static_cast<int>(length) > width) {
        return std::string(static_cast<size_t>(width), '*');
    }
    std::string field(static_cast<size_t>(width) - length, ' ');
    if (sign) {
        field += '-';
    }
    field += leadingZero ? "0" : integerDigits;
    field += '.';
    field += fractionDigits;
    return field;
}

} // namespace

std::string FormatRealFieldExactly(float value, int width, int decimals) {
    if (!std::isfinite(value)) {
        return std::string(static_cast<size_t>(width), '*');
    }
    // A float has at most 149 binary places after the point, so 149 decimal places
    // give its exact value; rounding is then done here, halves away from zero, the
    // same on every platform.
    char exact[256];
    const auto result = std::to_chars(exact, exact + sizeof exact, static_cast<double>(value),
                                      std::chars_format::fixed, 149);
    std::string_view text(exact, static_cast<size_t>(result.ptr - exact));
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) {
        text.remove_prefix(1);
    }
    const size_t point = text.find('.');
    std::string digits(text.substr(0, point)); // integer digits, then `decimals` fraction digits
    const std::string_view fraction = text.substr(point + 1);
    for (int i = 0; i < decimals; ++i) {
        digits += static_cast<size_t>(i) < fraction.size() ? fraction[static_cast<size_t>(i)] : '0';
    }
    if (static_cast<size_t>(decimals) < fraction.size() &&
        fraction[static_cast<size_t>(decimals)] >= '5') {
        size_t i = digits.size();
        while (i > 0 && digits[i - 1] == '9') {
            digits[--i] = '0';
        }
        if (i == 0) {
            digits.insert(digits.begin(), '1');
        } else {
            ++digits[i - 1];
        }
    }
    std::string integerPart = digits.substr(0, digits.size() - static_cast<size_t>(decimals));
    const std::string fractionPart = digits.substr(integerPart.size());
    integerPart.erase(0, std::min(integerPart.find_first_not_of('0'), integerPart.size()));
    const bool zero = digits.find_first_not_of('0') == std::string::npos;
    return RealFieldLayout(negative, integerPart, fractionPart, zero, width, decimals);
}

std::string FormatRealField(float value, int width, int decimals) {
    // With up to four decimals, value x 10^decimals needs at most 24 + 10 significant
    // bits, so a double holds it exactly and rounding it there (halves away from zero)
    // gives the digits of the exact expansion. The reports use no more decimals.
    constexpr int kExactDecimals = 4;
    constexpr double kScale[kExactDecimals + 1] = {1.0, 10.0, 100.0, 1000.0, 10000.0};
    constexpr double kLargest = 1.0e18; // still an exact unsigned 64-bit integer
    if (std::isfinite(value) && decimals >= 0 && decimals <= kExactDecimals) {
        const double scaled =
            std::fabs(static_cast<double>(value)) * kScale[static_cast<size_t>(decimals)];
        if (scaled < kLargest) {
            const auto units = static_cast<std::uint64_t>(std::round(scaled));
            const auto unit = static_cast<std::uint64_t>(kScale[static_cast<size_t>(decimals)]);
            const std::uint64_t whole = units / unit;
            char fraction[kExactDecimals];
            std::uint64_t rest = units % unit;
            for (int i = decimals - 1; i >= 0; --i) {
                fraction[i] = static_cast<char>('0' + rest % 10);
                rest /= 10;
            }
            std::string integerDigits;
            if (whole > 0) {
                char digits[24];
                const auto end = std::to_chars(digits, digits + sizeof digits, whole).ptr;
                integerDigits.assign(digits, end);
            }
            return RealFieldLayout(std::signbit(value), integerDigits,
                                   std::string_view(fraction, static_cast<size_t>(decimals)),
                                   units == 0, width, decimals);
        }
    }
    return FormatRealFieldExactly(value, width, decimals);
}

std::string FormatTextField(std::string_view text, int width) {
    if (width <= static_cast<int>(text.size())) {
        return std::string(text.substr(0, static_cast<size_t>(width)));
    }
    return std::string(static_cast<size_t>(width) - text.size(), ' ') + std::string(text);
}

std::string FormatShortReal(float value) {
    if (!std::isfinite(value)) {
        return "*";
    }
    char text[64];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, 7);
    return std::string(text, result.ptr);
}

namespace {

std::string WithoutBlanks(std::string_view field) {
    std::string result;
    for (char c : field) {
        if (c != ' ') {
            result += c;
        }
    }
    return result;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

int ParseIntegerField(std::string_view field, int& value) {
    std::string text = WithoutBlanks(field);
    value = 0;
    if (text.empty()) {
        return 0;
    }
    size_t start = 0;
    if (text[0] == '+' || text[0] == '-') {
        start = 1;
    }
    if (start == text.size() ||
        !std::all_of(text.begin() + static_cast<long>(start), text.end(), IsDigit)) {
        return -1;
    }
    if (text[0] == '+') {
        text.erase(0, 1);
    }
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() ? 0 : -2;
}

int ParseRealField(std::string_view field, int decimals, float& value) {
    const std::string text = WithoutBlanks(field);
    value = 0.0f;
    if (text.empty()) {
        return 0;
    }
    size_t i = 0;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') {
        negative = text[i] == '-';
        ++i;
    }
    std::string mantissa;
    bool point = false;
    long fractionDigits = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            mantissa += c;
            fractionDigits += point ? 1 : 0;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (mantissa.empty()) {
        return -1;
    }
    long exponent = 0;
    if (i < text.size()) {
        // An exponent: E or D and an optionally signed integer, or just a sign and an
        // integer.
        const char c = text[i];
        if (c == 'E' || c == 'D' || c == 'e' || c == 'd') {
            ++i;
        } else if (c != '+' && c != '-') {
            return -1;
        }
        bool exponentNegative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            exponentNegative = text[i] == '-';
            ++i;
        }
        if (i == text.size()) {
            return -1;
        }
        for (; i < text.size(); ++i) {
            if (!IsDigit(text[i])) {
                return -1;
            }
            // Far beyond any float's range already; keep the sum from overflowing.
            exponent = std::min(exponent * 10 + (text[i] - '0'), 1000000L);
        }
        if (exponentNegative) {
            exponent = -exponent;
        }
    }
    if (!point) {
        fractionDigits = decimals;
    }
    const long power = exponent - fractionDigits;
    // Up to seven digits and a power of ten up to 10 are exact floats, so a single
    // multiplication or division rounds exactly as the full decimal conversion below.
    constexpr size_t kExactDigits = 7;
    constexpr long kExactPower = 10;
    if (mantissa.size() <= kExactDigits && power >= -kExactPower && power <= kExactPower) {
        constexpr float kPowers[kExactPower + 1] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                                    1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
        float digits = 0.0f;
        for (const char c : mantissa) {
            digits = digits * 10.0f + static_cast<float>(c - '0');
        }
        const float magnitude = power >= 0 ? digits * kPowers[static_cast<size_t>(power)]
                                           : digits / kPowers[static_cast<size_t>(-power)];
        value = negative ? -magnitude : magnitude;
        return 0;
    }
    const std::string number = mantissa + "e" + std::to_string(power);
    float magnitude = 0.0f;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), magnitude);
    if (result.ec != std::errc() || !std::isfinite(magnitude)) {
        // Zero digits cannot overflow; any other out-of-range value is refused.
        if (mantissa.find_first_not_of('0') == std::string::npos) {
            value = 0.0f;
            return 0;
        }
        return -2;
    }
    value = negative ? -magnitude : magnitude;
    return 0;
}

// ---------------------------------------------------------------------------------
// Records

namespace {

int ReadRecord(RecordInput& input, std::string& error) {
    input.record.clear();
    std::streambuf* buffer = input.stream->rdbuf();
    using Traits = std::char_traits<char>;
    int c = buffer->sbumpc();
    if (c == Traits::eof()) {
        error = "file \"" + input.fileName + "\" ends after record " +
                std::to_string(input.recordNumber) + ", but more records are needed";
        return -1;
    }
    ++input.recordNumber;
    while (c != Traits::eof() && c != '\n') {
        if (static_cast<int>(input.record.size()) >= kMaxRecordLength) {
            error = "file \"" + input.fileName + "\", record " +
                    std::to_string(input.recordNumber) + ": the record is longer than " +
                    std::to_string(kMaxRecordLength) + " characters";
            return -1;
        }
        input.record += static_cast<char>(c);
        c = buffer->sbumpc();
    }
    if (!input.record.empty() && input.record.back() == '\r') {
        input.record.pop_back();
    }
    return 0;
}

} // namespace

int ReadNextRecord(RecordInput& input, std::string& error) {
    // A file stream reports a failing read (a folder, a bad disk) by throwing from its
    // buffer; the record reader works on the buffer directly for speed.
    const long record = input.recordNumber + 1;
    try {
        return ReadRecord(input, error);
    } catch (const std::ios_base::failure& failure) {
        error = "file \"" + input.fileName + "\" cannot be read at record " +
                std::to_string(record) + ": " + failure.what();
        return -1;
    }
}

namespace {

enum class Walk { Done, Stop, Error };

std::string FieldName(const FormatNode& field) {
    std::string name(1, field.letter);
    if (field.width > 0) {
        name += std::to_string(field.width);
    }
    if (field.letter == 'F') {
        name += "." + std::to_string(field.decimals);
    }
    return name;
}

const char* KindName(ItemKind kind) {
    switch (kind) {
    case ItemKind::Integer:
        return "an integer value";
    case ItemKind::Real:
        return "a real value";
    case ItemKind::Text:
        return "a text value";
    }
    return "";
}

bool FieldMatches(char letter, ItemKind kind) {
    return (letter == 'A' && kind == ItemKind::Text) ||
           (letter == 'I' && kind == ItemKind::Integer) ||
           (letter == 'F' && kind == ItemKind::Real);
}

// Walks the descriptor for one operation; the visitor does the record work.
template <class Visitor>
Walk WalkNodes(const std::vector<FormatNode>& nodes, size_t from, Visitor& visitor) {
    for (size_t i = from; i < nodes.size(); ++i) {
        const FormatNode& node = nodes[i];
        for (int r = 0; r < node.repeat; ++r) {
            switch (node.kind) {
            case NodeKind::Field:
                if (!visitor.HasItem()) {
                    return Walk::Stop;
                }
                if (!visitor.Field(node)) {
                    return Walk::Error;
                }
                break;
            case NodeKind::Skip:
                visitor.Skip(node.width);
                break;
            case NodeKind::Slash:
                if (!visitor.Slash()) {
                    return Walk::Error;
                }
                break;
            case NodeKind::Group: {
                const Walk result = WalkNodes(node.children, 0, visitor);
                if (result != Walk::Done) {
                    return result;
                }
                break;
            }
            }
        }
    }
    return Walk::Done;
}

template <class Visitor> bool RunOperation(const FormatDescriptor& descriptor, Visitor& visitor) {
    size_t start = 0;
    for (;;) {
        const Walk result = WalkNodes(descriptor.elements, start, visitor);
        if (result == Walk::Error) {
            return false;
        }
        if (result == Walk::Stop || !visitor.HasItem()) {
            return true;
        }
        if (!descriptor.reversionHasField) {
            return visitor.Fail("the format descriptor has no field for the remaining values");
        }
        if (!visitor.Slash()) {
            return false;
        }
        start = descriptor.reversionIndex;
    }
}

struct ReadVisitor {
    RecordInput& input;
    std::vector<FormatItem>& items;
    std::string& error;
    size_t next = 0;
    std::int64_t position = 0; // 0-based column of the next character

    bool HasItem() const { return next < items.size(); }

    bool Fail(const std::string& message) {
        error = "file \"" + input.fileName + "\", record " + std::to_string(input.recordNumber) +
                ": " + message;
        return false;
    }

    // The field's characters; a record shorter than the field reads as padded with blanks.
    std::string Take(int width) const {
        std::string field;
        const auto length = static_cast<std::int64_t>(input.record.size());
        if (position < length) {
            field.assign(input.record, static_cast<size_t>(position),
                         static_cast<size_t>(std::min<std::int64_t>(width, length - position)));
        }
        field.resize(static_cast<size_t>(width), ' ');
        return field;
    }

    bool Field(const FormatNode& node) {
        FormatItem& item = items[next];
        input.failedItem = static_cast<long>(next);
        if (!FieldMatches(node.letter, item.kind)) {
            return Fail("the format descriptor has " + FieldName(node) + " for " +
                        KindName(item.kind));
        }
        const int width = node.width > 0 ? node.width : item.length;
        const std::string field = Take(width);
        item.record = input.recordNumber;
        item.column = static_cast<int>(std::min<std::int64_t>(position + 1, 2000000000));
        const std::int64_t first = position + 1;
        position += width;
        ++next;
        if (node.letter == 'A') {
            if (width >= item.length) {
                item.text.assign(field, static_cast<size_t>(width - item.length));
            } else {
                item.text = field;
                item.text.resize(static_cast<size_t>(item.length), ' ');
            }
            return true;
        }
        const int status = node.letter == 'I' ? ParseIntegerField(field, item.integer)
                                              : ParseRealField(field, node.decimals, item.real);
        if (status == 0) {
            return true;
        }
        error = "file \"" + input.fileName + "\", record " + std::to_string(input.recordNumber) +
                ", columns " + std::to_string(first) + "-" + std::to_string(position) + ": \"" +
                field + "\"" + (status == -1 ? " cannot be read with " : " is out of range for ") +
                FieldName(node);
        return false;
    }

    void Skip(int count) { position += count; }

    bool Slash() {
        position = 0;
        input.failedItem = static_cast<long>(next);
        return ReadNextRecord(input, error) == 0;
    }
};

struct WriteVisitor {
    const std::vector<FormatItem>& items;
    std::string& error;
    size_t next = 0;
    std::int64_t position = 0;
    std::string record{};
    std::string finished{}; // complete records, written out only when the operation succeeds
    int records = 0;

    bool HasItem() const { return next < items.size(); }

    bool Fail(const std::string& message) {
        error = message;
        return false;
    }

    bool Put(const std::string& text) {
        if (position + static_cast<std::int64_t>(text.size()) > kMaxRecordLength) {
            return Fail("the format descriptor makes a record longer than " +
                        std::to_string(kMaxRecordLength) + " characters");
        }
        if (static_cast<std::int64_t>(record.size()) <= position) {
            record.resize(static_cast<size_t>(position), ' ');
            record += text;
        } else {
            record.replace(static_cast<size_t>(position), text.size(), text);
        }
        position += static_cast<std::int64_t>(text.size());
        return true;
    }

    bool Field(const FormatNode& node) {
        const FormatItem& item = items[next];
        if (!FieldMatches(node.letter, item.kind)) {
            return Fail("the format descriptor has " + FieldName(node) + " for " +
                        KindName(item.kind));
        }
        ++next;
        switch (node.letter) {
        case 'A':
            return Put(node.width > 0 ? FormatTextField(item.text, node.width) : item.text);
        case 'I':
            return Put(FormatIntegerField(item.integer, node.width));
        default:
            return Put(FormatRealField(item.real, node.width, node.decimals));
        }
    }

    // Positions skipped at the end of a record are left out, not written as blanks.
    void Skip(int count) {
        position = std::min<std::int64_t>(position + count, kMaxRecordLength + 1);
    }

    bool Slash() {
        if (++records >= kMaxRecordsPerWrite) {
            return Fail("the format descriptor writes more than " +
                        std::to_string(kMaxRecordsPerWrite) + " records at once");
        }
        finished += record;
        finished += '\n';
        record.clear();
        position = 0;
        return true;
    }
};

} // namespace

int ReadWithFormat(RecordInput& input, const FormatDescriptor& descriptor,
                   std::vector<FormatItem>& items, std::string& error) {
    input.failedItem = 0;
    if (ReadNextRecord(input, error) != 0) {
        return -1;
    }
    ReadVisitor visitor{input, items, error};
    if (!RunOperation(descriptor, visitor)) {
        return -1;
    }
    input.failedItem = -1;
    return 0;
}

int WriteWithFormat(std::ostream& output, const FormatDescriptor& descriptor,
                    const std::vector<FormatItem>& items, std::string& error) {
    WriteVisitor visitor{items, error};
    if (!RunOperation(descriptor, visitor)) {
        return -1;
    }
    output << visitor.finished << visitor.record << '\n';
    return 0;
}

} // namespace marvane
