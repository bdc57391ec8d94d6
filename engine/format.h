// Run-time format descriptors: the Fortran-style edit descriptors that project files
// carry to describe their fixed-column records (A, I, F fields, nX skips, slashes and
// nested groups with repeat counts), and the record input/output that uses them.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace marvane {

// Bounds that keep any descriptor, however hostile, cheap to run.
inline constexpr int kMaxDescriptorNumber = 10000;      // repeat counts, widths, skips, decimals
inline constexpr int kMaxDescriptorNesting = 20;        // nested groups
inline constexpr long kMaxDescriptorExpansion = 100000; // elements visited by one pass
inline constexpr int kMaxRecordLength = 100000;         // characters of one record
inline constexpr int kMaxRecordsPerWrite = 1000;        // records written by one operation

enum class NodeKind { Field, Skip, Slash, Group };

struct FormatNode {
    NodeKind kind = NodeKind::Field;
    int repeat = 1;
    char letter = 0;  // 'A', 'I' or 'F' for a field
    int width = 0;    // field width (0: an A field without width), or the skip count
    int decimals = 0; // F fields only
    std::vector<FormatNode> children; // groups only
};

struct FormatDescriptor {
    std::vector<FormatNode> elements; // the outermost group's contents
    size_t reversionIndex = 0;        // where processing resumes when items remain
    bool reversionHasField = false;   // false: resuming could never consume an item
};

enum class ItemKind { Integer, Real, Text };

// One value of a read or write operation. On reading, `record` and `column` tell
// where the value came from, for diagnostics.
struct FormatItem {
    ItemKind kind = ItemKind::Real;
    int integer = 0;
    float real = 0.0f;
    std::string text; // Text items: always `length` characters
    int length = 0;
    long record = 0;
    int column = 0;
};

FormatItem IntegerItem(int value);
FormatItem RealItem(float value);
FormatItem TextItem(std::string_view value, int length);

// Parses the descriptor that starts at the first "(" of `text` (leading blanks
// allowed; anything after the matching ")" is ignored). Returns 0, or -1 with the
// reason in `error`.
int ParseFormat(std::string_view text, FormatDescriptor& descriptor, std::string& error);

// A sequential file of records, read one line at a time.
struct RecordInput {
    std::istream* stream = nullptr;
    std::string fileName;  // as the user named it, for diagnostics
    std::string record;    // the current record, without its line end
    long recordNumber = 0; // 1-based number of the current record; 0 before the first
    // After a failed read operation: the 0-based item it was filling, or -1.
    long failedItem = -1;
};

// Reads the next record into `input.record`. Returns 0, or -1 at end of file, on an
// over-long record or when the system cannot read the file, with a diagnostic naming
// the file in `error`.
int ReadNextRecord(RecordInput& input, std::string& error);

// One read operation: starts at a new record and fills every item. Returns 0, or -1
// with a diagnostic naming the file and record (and `input.failedItem` set).
int ReadWithFormat(RecordInput& input, const FormatDescriptor& descriptor,
                   std::vector<FormatItem>& items, std::string& error);

// One write operation: writes the items as one or more complete records ("\n" ends
// each). Returns 0, or -1 with the reason in `error`.
int WriteWithFormat(std::ostream& output, const FormatDescriptor& descriptor,
                    const std::vector<FormatItem>& items, std::string& error);

// Field conversions, also used for the engine's own fixed layouts.
std::string FormatIntegerField(long long value, int width);
std::string FormatRealField(float value, int width, int decimals);
// The same field from the value's exact decimal expansion: the route FormatRealField
// takes where a double cannot hold value x 10^decimals exactly.
std::string FormatRealFieldExactly(float value, int width, int decimals);
std::string FormatTextField(std::string_view text, int width);

// A real in at most 7 significant digits and no padding ("0.25", "1e-05"); the form
// of reals in list-directed lines and messages.
std::string FormatShortReal(float value);

// Input conversions of one field's characters. Return 0, or -1 for text that is not a
// number of the field's kind, -2 for a number beyond the item's range.
int ParseIntegerField(std::string_view field, int& value);
int ParseRealField(std::string_view field, int decimals, float& value);

} // namespace marvane
