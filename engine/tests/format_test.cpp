#include "engine/format.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>

namespace marvane {
namespace {

FormatDescriptor Parse(const std::string& text) {
    FormatDescriptor descriptor;
    std::string error;
    EXPECT_EQ(ParseFormat(text, descriptor, error), 0) << text << ": " << error;
    return descriptor;
}

std::string ParseError(const std::string& text) {
    FormatDescriptor descriptor;
    std::string error;
    EXPECT_EQ(ParseFormat(text, descriptor, error), -1) << text;
    return error;
}

struct ReadResult {
    int status = 0;
    std::string error;
    long recordsRead = 0;
    std::string nextRecord; // the record a following operation would start with
};

ReadResult Read(const std::string& descriptorText, const std::string& file,
                std::vector<FormatItem>& items) {
    std::istringstream stream(file);
    RecordInput input{&stream, "data.txt", "", 0};
    ReadResult result;
    result.status = ReadWithFormat(input, Parse(descriptorText), items, result.error);
    result.recordsRead = input.recordNumber;
    std::string ignored;
    if (ReadNextRecord(input, ignored) == 0) {
        result.nextRecord = input.record;
    }
    return result;
}

std::string Write(const std::string& descriptorText, const std::vector<FormatItem>& items) {
    std::ostringstream out;
    std::string error;
    EXPECT_EQ(WriteWithFormat(out, Parse(descriptorText), items, error), 0) << error;
    return out.str();
}

std::vector<FormatItem> Reals(size_t count) {
    return std::vector<FormatItem>(count, RealItem(0));
}

// --- Parsing -------------------------------------------------------------------------

TEST(format_test, parses_the_reference_descriptor_into_fields_skips_and_slashes) {
    const FormatDescriptor d = Parse("  (A12,2F4.0,4X,2F4.0,4X,I4/12X,15F4.0/12X,12F4.0/12X)   ");
    ASSERT_EQ(d.elements.size(), 14u);
    EXPECT_EQ(d.elements[0].letter, 'A');
    EXPECT_EQ(d.elements[0].width, 12);
    EXPECT_EQ(d.elements[1].repeat, 2);
    EXPECT_EQ(d.elements[1].width, 4);
    EXPECT_EQ(d.elements[1].decimals, 0);
    EXPECT_EQ(d.elements[2].kind, NodeKind::Skip);
    EXPECT_EQ(d.elements[2].width, 4);
    EXPECT_EQ(d.elements[5].letter, 'I');
    EXPECT_EQ(d.elements[6].kind, NodeKind::Slash);
    EXPECT_EQ(d.reversionIndex, 0u);
    EXPECT_TRUE(d.reversionHasField);
}

TEST(format_test, reversion_point_is_the_last_top_level_group) {
    const FormatDescriptor d = Parse("(A12,2(2X,F5.2),3(1X,2(I2)),F3.1)");
    EXPECT_EQ(d.reversionIndex, 2u);
    EXPECT_EQ(d.elements[2].repeat, 3);
    ASSERT_EQ(d.elements[2].children.size(), 2u);
    EXPECT_EQ(d.elements[2].children[1].kind, NodeKind::Group);
}

TEST(format_test, ignores_blanks_inside_and_text_after_the_closing_parenthesis) {
    const FormatDescriptor d = Parse("( A 1 2 , 1 2 X )  trailing words (I4)");
    ASSERT_EQ(d.elements.size(), 2u);
    EXPECT_EQ(d.elements[0].width, 12);
    EXPECT_EQ(d.elements[1].width, 12);
}

TEST(format_test, a_descriptor_split_inside_an_element_across_joined_lines_is_valid) {
    std::string line1 = "(A12/12X,15F4";
    std::string line2 = ".0/12X,1F4.0/12X)";
    line1.resize(80, ' ');
    line2.resize(80, ' ');
    const FormatDescriptor d = Parse(line1 + line2 + std::string(80, ' '));
    ASSERT_EQ(d.elements.size(), 9u);
    EXPECT_EQ(d.elements[3].repeat, 15);
    EXPECT_EQ(d.elements[3].letter, 'F');
}

TEST(format_test, accepts_commas_beside_slashes_and_an_empty_descriptor) {
    EXPECT_EQ(Parse("(A12,/,I4)").elements.size(), 3u);
    EXPECT_EQ(Parse("(//A12)").elements.size(), 3u);
    EXPECT_TRUE(Parse("()").elements.empty());
}

TEST(format_test, refuses_invalid_descriptors_with_their_reason) {
    EXPECT_EQ(ParseError("A12,I4"), "the descriptor does not begin with '('");
    EXPECT_EQ(ParseError("   "), "the descriptor does not begin with '('");
    EXPECT_EQ(ParseError("(A12,2(I4)"), "unbalanced parentheses");
    EXPECT_EQ(ParseError("(I,F4.0)"), "missing width of an I field");
    EXPECT_EQ(ParseError("(F5)"), "missing decimal point in an F field");
    EXPECT_EQ(ParseError("(F5.)"), "missing decimals of an F field");
    EXPECT_EQ(ParseError("(F.2)"), "missing width of an F field");
    EXPECT_EQ(ParseError("(A12,E10.3)"), "unexpected character 'E'");
    EXPECT_EQ(ParseError("(a12)"), "unexpected character 'a'");
    EXPECT_EQ(ParseError("(A12,,I4)"), "misplaced comma");
    EXPECT_EQ(ParseError("(,A12)"), "misplaced comma");
    EXPECT_EQ(ParseError("(A12,)"), "a comma stands before ')'");
    EXPECT_EQ(ParseError("(A12 I4)"), "missing comma between elements");
    EXPECT_EQ(ParseError("(0F4.0)"), "a repeat count or skip must be at least 1");
    EXPECT_EQ(ParseError("(A0)"), "a field width must be at least 1");
    EXPECT_EQ(ParseError("(I0)"), "a field width must be at least 1");
    EXPECT_EQ(ParseError("(X,A12)"), "missing count of an X skip");
    EXPECT_EQ(ParseError("(2)"), "unexpected character ')'");
}

TEST(format_test, refuses_numbers_nesting_and_expansion_beyond_the_limits) {
    EXPECT_EQ(ParseError("(10001X)"), "a number in the descriptor exceeds 10000");
    EXPECT_EQ(ParseError("(99999999999999999999F4.0)"), "a number in the descriptor exceeds 10000");
    EXPECT_EQ(Parse("(10000X)").elements[0].width, 10000);

    // The descriptor's own parentheses do not count as a group.
    std::string deep = std::string(22, '(') + "A1" + std::string(22, ')');
    EXPECT_EQ(ParseError(deep), "groups are nested more than 20 deep");
    std::string allowed = std::string(21, '(') + "A1" + std::string(21, ')');
    Parse(allowed);

    EXPECT_EQ(ParseError("(100(100(100(1X))))"),
              "the descriptor expands to more than 100000 elements");
    EXPECT_EQ(ParseError("(10000(10000(10000(10000()))))"),
              "the descriptor expands to more than 100000 elements");
    Parse("(100(100(1X)))");
}

// --- Reading -------------------------------------------------------------------------

TEST(format_test, reads_two_reals_skipping_the_station_name) {
    auto items = Reals(2);
    const ReadResult r = Read("(13X,F5.2,5X,F5.2)", "STATION 1    12.50     -1.75\n", items);
    ASSERT_EQ(r.status, 0) << r.error;
    EXPECT_EQ(items[0].real, 12.5f);
    EXPECT_EQ(items[1].real, -1.75f);
    EXPECT_EQ(items[1].record, 1);
    EXPECT_EQ(items[1].column, 24);
}

// A stream whose system read fails after some text, as a file stream does on a folder or
// a bad disk: by throwing from its buffer.
class FailingBuffer : public std::stringbuf {
  public:
    using std::stringbuf::stringbuf;

  protected:
    int_type underflow() override {
        const int_type c = std::stringbuf::underflow();
        if (c == traits_type::eof()) {
            throw std::ios_base::failure("read error");
        }
        return c;
    }
};

TEST(format_test, a_failing_system_read_is_a_diagnostic_not_an_abort) {
    FailingBuffer buffer("R1          0012\n            0034");
    std::istream stream(&buffer);
    RecordInput input{&stream, "x.ref", "", 0};
    std::string error;
    ASSERT_EQ(ReadNextRecord(input, error), 0) << error;
    EXPECT_EQ(ReadNextRecord(input, error), -1);
    EXPECT_EQ(error.rfind("file \"x.ref\" cannot be read at record 2: ", 0), 0u) << error;
}

TEST(format_test, a_failed_read_tells_the_item_it_was_filling) {
    FormatDescriptor descriptor;
    std::string error;
    ASSERT_EQ(ParseFormat("(A4,2F4.0/F4.0)", descriptor, error), 0);
    const struct {
        const char* records;
        long failedItem;
    } cases[] = {{"NAME0001000x\n0003\n", 2},
                 {"NAME00010002\n", 3},
                 {"", 0},
                 {"NAME0001000200030004\n0003\n", -1}};
    for (const auto& c : cases) {
        std::istringstream stream(c.records);
        RecordInput input{&stream, "x", "", 0};
        std::vector<FormatItem> items{TextItem("", 4), RealItem(0.0f), RealItem(0.0f),
                                      RealItem(0.0f)};
        ReadWithFormat(input, descriptor, items, error);
        EXPECT_EQ(input.failedItem, c.failedItem) << c.records;
    }
}

TEST(format_test, a_record_ending_before_a_field_reads_that_field_as_zero) {
    auto items = Reals(2);
    items[1].real = 99.0f;
    const ReadResult r = Read("(13X,F5.2,5X,F5.2)", "STATION 1    12.50  \n", items);
    ASSERT_EQ(r.status, 0) << r.error;
    EXPECT_EQ(items[0].real, 12.5f);
    EXPECT_EQ(items[1].real, 0.0f);
}

TEST(format_test, reversion_starts_each_pair_in_a_new_record) {
    auto items = Reals(6);
    const ReadResult r = Read("(13X,F5.2,5X,F5.2)",
                              "A             01.00     02.00\r\n"
                              "B             03.00     04.00\r\n"
                              "C             05.00     06.00\r\n"
                              "D             07.00     08.00\r\n",
                              items);
    ASSERT_EQ(r.status, 0) << r.error;
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(items[static_cast<size_t>(i)].real, static_cast<float>(i + 1));
    }
    EXPECT_EQ(r.recordsRead, 3);
    EXPECT_EQ(r.nextRecord.substr(0, 1), "D");
}

TEST(format_test, four_value_records_are_consumed_exactly_for_forty_species) {
    std::string file = "SAMPLE-1    +045+030    -020-015    1234\n";
    for (int line = 0; line < 3; ++line) {
        file += "            ";
        for (int v = 0; v < 15; ++v) {
            file += "0010";
        }
        file += "\n";
    }
    file += "NEXT\n";
    std::vector<FormatItem> items{TextItem("", 12)};
    items.resize(41, RealItem(0));
    const ReadResult r = Read("(A12/12X,15F4.0/12X,15F4.0/12X,10F4.0)", file, items);
    ASSERT_EQ(r.status, 0) << r.error;
    EXPECT_EQ(items[0].text, "SAMPLE-1    ");
    EXPECT_EQ(items[40].real, 10.0f);
    EXPECT_EQ(r.recordsRead, 4);
    EXPECT_EQ(r.nextRecord, "NEXT");
}

TEST(format_test, skips_and_slashes_after_the_last_field_are_still_carried_out) {
    std::vector<FormatItem> items{TextItem("", 12)};
    items.resize(6, RealItem(0));
    const ReadResult r =
        Read("(A12/12X,5F4.0/12X)", "NAME\n            00010002000300040005\nEMPTY\nNEXT\n", items);
    ASSERT_EQ(r.status, 0) << r.error;
    EXPECT_EQ(items[5].real, 5.0f);
    EXPECT_EQ(r.recordsRead, 3);
    EXPECT_EQ(r.nextRecord, "NEXT");
}

TEST(format_test, sixteen_species_use_four_records_with_a_trailing_empty_one) {
    std::string file = "S16\n            ";
    for (int v = 1; v <= 15; ++v) {
        file += "  " + std::string(v < 10 ? "0" : "") + std::to_string(v);
    }
    file += "\n            0016\n\nNEXT\n";
    std::vector<FormatItem> items{TextItem("", 12)};
    items.resize(17, RealItem(0));
    const ReadResult r = Read("(A12/12X,15F4.0/12X,1F4.0/12X)", file, items);
    ASSERT_EQ(r.status, 0) << r.error;
    EXPECT_EQ(items[15].real, 15.0f);
    EXPECT_EQ(items[16].real, 16.0f);
    EXPECT_EQ(r.nextRecord, "NEXT");
}

TEST(format_test, converts_signed_zero_filled_and_implied_decimal_reals) {
    float value = 0;
    EXPECT_EQ(ParseRealField("+045", 0, value), 0);
    EXPECT_EQ(value, 45.0f);
    EXPECT_EQ(ParseRealField("-007", 0, value), 0);
    EXPECT_EQ(value, -7.0f);
    EXPECT_EQ(ParseRealField(" 1234", 2, value), 0);
    EXPECT_EQ(value, 12.34f);
    EXPECT_EQ(ParseRealField("0.250", 3, value), 0);
    EXPECT_EQ(value, 0.25f);
    EXPECT_EQ(ParseRealField("  250", 3, value), 0);
    EXPECT_EQ(value, 0.25f);
    EXPECT_EQ(ParseRealField("1 2. 5", 3, value), 0);
    EXPECT_EQ(value, 12.5f);
    EXPECT_EQ(ParseRealField("     ", 2, value), 0);
    EXPECT_EQ(value, 0.0f);
    EXPECT_EQ(ParseRealField("-.5", 2, value), 0);
    EXPECT_EQ(value, -0.5f);
}

TEST(format_test, converts_the_exponent_forms) {
    float value = 0;
    EXPECT_EQ(ParseRealField("1.5E2", 2, value), 0);
    EXPECT_EQ(value, 150.0f);
    EXPECT_EQ(ParseRealField("1.5D+2", 2, value), 0);
    EXPECT_EQ(value, 150.0f);
    EXPECT_EQ(ParseRealField("2.5-1", 2, value), 0);
    EXPECT_EQ(value, 0.25f);
    EXPECT_EQ(ParseRealField("15+1", 1, value), 0); // 1.5 times 10
    EXPECT_EQ(value, 15.0f);
    EXPECT_EQ(ParseRealField("0E999999999999", 0, value), 0);
    EXPECT_EQ(value, 0.0f);
}

TEST(format_test, refuses_text_that_is_not_a_real) {
    float value = 0;
    for (const char* text :
         {"12x4", "inf", "nan", "0x1A", "1.2.3", "E5", ".", "-", "1E", "1E+", "1.5E2.0", "1,5"}) {
        EXPECT_EQ(ParseRealField(text, 2, value), -1) << text;
    }
    EXPECT_EQ(ParseRealField("1E39", 0, value), -2);
    EXPECT_EQ(ParseRealField("-9E99999", 0, value), -2);
}

TEST(format_test, converts_integers_ignoring_blanks) {
    int value = 7;
    EXPECT_EQ(ParseIntegerField(" 1 2", value), 0);
    EXPECT_EQ(value, 12);
    EXPECT_EQ(ParseIntegerField("    ", value), 0);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(ParseIntegerField("-0042", value), 0);
    EXPECT_EQ(value, -42);
    EXPECT_EQ(ParseIntegerField("+7", value), 0);
    EXPECT_EQ(value, 7);
    EXPECT_EQ(ParseIntegerField("1.5", value), -1);
    EXPECT_EQ(ParseIntegerField("+", value), -1);
    EXPECT_EQ(ParseIntegerField("1-", value), -1);
    EXPECT_EQ(ParseIntegerField("99999999999", value), -2);
}

TEST(format_test, a_character_field_keeps_the_rightmost_characters_or_pads_with_blanks) {
    std::vector<FormatItem> items{TextItem("", 4), TextItem("", 6)};
    const ReadResult r = Read("(A6,A3)", "ABCDEFGHI\n", items);
    ASSERT_EQ(r.status, 0) << r.error;
    EXPECT_EQ(items[0].text, "CDEF");
    EXPECT_EQ(items[1].text, "GHI   ");

    std::vector<FormatItem> whole{TextItem("", 12)};
    ASSERT_EQ(Read("(A12)", "ABCDEFGHIJKL\n", whole).status, 0);
    EXPECT_EQ(whole[0].text, "ABCDEFGHIJKL");
    ASSERT_EQ(Read("(A)", "ABC\n", whole).status, 0);
    EXPECT_EQ(whole[0].text, "ABC         ");
}

TEST(format_test, an_unreadable_number_names_file_record_and_columns) {
    std::vector<FormatItem> items{TextItem("", 12), RealItem(0), RealItem(0)};
    const ReadResult r = Read("(A12/12X,2F4.0)", "NAME\n            00121x4\n", items);
    EXPECT_EQ(r.status, -1);
    EXPECT_EQ(r.error,
              "file \"data.txt\", record 2, columns 17-20: \"1x4 \" cannot be read with F4.0");

    std::vector<FormatItem> integer{IntegerItem(0)};
    EXPECT_EQ(Read("(4X,I3)", "    1.5\n", integer).error,
              "file \"data.txt\", record 1, columns 5-7: \"1.5\" cannot be read with I3");
    EXPECT_EQ(
        Read("(I12)", "999999999999\n", integer).error,
        "file \"data.txt\", record 1, columns 1-12: \"999999999999\" is out of range for I12");
}

TEST(format_test, the_end_of_the_file_ends_the_operation_with_a_diagnostic) {
    std::vector<FormatItem> items{TextItem("", 12), RealItem(0)};
    EXPECT_EQ(Read("(A12/12X,F4.0)", "NAME\n", items).error,
              "file \"data.txt\" ends after record 1, but more records are needed");
    EXPECT_EQ(Read("(A12)", "", items).error,
              "file \"data.txt\" ends after record 0, but more records are needed");
}

TEST(format_test, a_value_meeting_a_field_of_another_kind_is_an_error) {
    std::vector<FormatItem> items{TextItem("", 12), IntegerItem(0)};
    EXPECT_EQ(Read("(A12,F4.0)", "NAME        0001\n", items).error,
              "file \"data.txt\", record 1: the format descriptor has F4.0 for an integer value");
    std::vector<FormatItem> text{TextItem("", 12)};
    EXPECT_EQ(Read("(I4)", "0001\n", text).error,
              "file \"data.txt\", record 1: the format descriptor has I4 for a text value");
}

TEST(format_test, values_left_without_any_field_to_take_them_are_an_error) {
    auto items = Reals(2);
    EXPECT_EQ(Read("(F4.0,(1X))", "0001\n0002\n", items).error,
              "file \"data.txt\", record 1: the format descriptor has no field for the remaining "
              "values");
    EXPECT_EQ(Read("(1X)", "0001\n", items).error,
              "file \"data.txt\", record 1: the format descriptor has no field for the remaining "
              "values");
}

TEST(format_test, an_overlong_record_is_refused_not_stored) {
    auto items = Reals(1);
    const std::string file = std::string(kMaxRecordLength + 1, '0') + "\n";
    EXPECT_EQ(Read("(F4.0)", file, items).error,
              "file \"data.txt\", record 1: the record is longer than 100000 characters");
    EXPECT_EQ(Read("(F4.0)", std::string(kMaxRecordLength, ' ') + "\n", items).status, 0);
}

TEST(format_test, a_last_record_without_line_end_is_read) {
    auto items = Reals(2);
    const ReadResult r = Read("(F4.0)", "0001\n0002", items);
    ASSERT_EQ(r.status, 0) << r.error;
    EXPECT_EQ(items[1].real, 2.0f);
}

// --- Writing -------------------------------------------------------------------------

TEST(format_test, writes_character_fields_right_aligned_or_cut) {
    EXPECT_EQ(Write("(A12)", {TextItem("ABCDEFGH", 8)}), "    ABCDEFGH\n");
    EXPECT_EQ(Write("(A4)", {TextItem("ABCDEFGHIJKL", 12)}), "ABCD\n");
    EXPECT_EQ(Write("(A,A)", {TextItem("AB", 2), TextItem("C", 3)}), "ABC  \n");
}

TEST(format_test, writes_reals_rounded_with_a_point_and_asterisks_on_overflow) {
    EXPECT_EQ(FormatRealField(12.6f, 4, 0), " 13.");
    EXPECT_EQ(FormatRealField(10000.0f, 4, 0), "****");
    EXPECT_EQ(FormatRealField(9999.4f, 5, 0), "9999.");
    EXPECT_EQ(FormatRealField(-1.75f, 5, 2), "-1.75");
    EXPECT_EQ(FormatRealField(-10.0f, 5, 2), "*****");
    EXPECT_EQ(FormatRealField(100.0f, 5, 2), "*****");
    EXPECT_EQ(FormatRealField(99.994f, 5, 2), "99.99");
    EXPECT_EQ(FormatRealField(99.996f, 5, 2), "*****");
    EXPECT_EQ(FormatRealField(0.0f, 8, 4), "  0.0000");
    EXPECT_EQ(FormatRealField(1.0e30f, 10, 4), "**********");
}

TEST(format_test, writes_a_leading_zero_only_where_the_field_has_room) {
    EXPECT_EQ(FormatRealField(0.5f, 5, 2), " 0.50");
    EXPECT_EQ(FormatRealField(0.5f, 4, 2), "0.50");
    EXPECT_EQ(FormatRealField(0.5f, 3, 2), ".50");
    EXPECT_EQ(FormatRealField(-0.5f, 4, 2), "-.50");
    EXPECT_EQ(FormatRealField(0.3f, 2, 0), "0.");
    EXPECT_EQ(FormatRealField(0.3f, 1, 0), "*");
}

TEST(format_test, rounds_halves_away_from_zero_and_drops_the_sign_of_a_rounded_zero) {
    EXPECT_EQ(FormatRealField(0.125f, 5, 2), " 0.13"); // 0.125 is exact in binary
    EXPECT_EQ(FormatRealField(-0.125f, 5, 2), "-0.13");
    EXPECT_EQ(FormatRealField(2.5f, 3, 0), " 3.");
    EXPECT_EQ(FormatRealField(0.35f, 4, 1), " 0.3"); // 0.35f lies just below 0.35
    EXPECT_EQ(FormatRealField(0.15f, 4, 1), " 0.2"); // 0.15f lies just above 0.15
    EXPECT_EQ(FormatRealField(-0.001f, 5, 2), " 0.00");
    EXPECT_EQ(FormatRealField(-0.0f, 5, 2), " 0.00");
    EXPECT_EQ(FormatRealField(9.96f, 4, 1), "10.0");
}

// Floats of every magnitude from about 1e-9 to 1e9, both signs, random mantissas.
std::vector<float> SpreadFloats(std::mt19937& random, int count) {
    std::uniform_int_distribution<std::uint32_t> mantissa(0, (1u << 23) - 1);
    std::uniform_int_distribution<std::uint32_t> exponent(127 - 30, 127 + 30);
    std::vector<float> values;
    for (int i = 0; i < count; ++i) {
        const std::uint32_t bits =
            (static_cast<std::uint32_t>(i % 2) << 31) | (exponent(random) << 23) | mantissa(random);
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        values.push_back(value);
    }
    return values;
}

TEST(format_test, the_quick_route_of_a_real_field_gives_the_digits_of_the_exact_value) {
    std::mt19937 random(3);
    std::vector<float> values = SpreadFloats(random, 6000);
    // Halves of the last decimal place, which only the exact value can decide.
    for (const float half : {0.5f, 0.25f, 0.125f, 0.0625f, 0.03125f, 2.5f, 1.375f, 0.4375f, 1023.5f,
                             9999.5f, 0.00005f, 1.0e-9f, 0.0f, -0.0f, 1.0e17f, 9.9e17f, 1.1e18f}) {
        values.push_back(half);
        values.push_back(-half);
    }
    for (const float value : values) {
        for (int decimals = 0; decimals <= 4; ++decimals) {
            for (const int width : {4, 9, 24}) {
                ASSERT_EQ(FormatRealField(value, width, decimals),
                          FormatRealFieldExactly(value, width, decimals))
                    << value << " F" << width << "." << decimals;
            }
        }
    }
}

TEST(format_test, the_quick_route_of_a_short_real_field_rounds_as_the_full_conversion) {
    std::mt19937 random(4);
    std::uniform_int_distribution<int> digitCount(1, 7);
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> exponent(-12, 12);
    std::uniform_int_distribution<int> decimals(0, 5);
    for (int i = 0; i < 20000; ++i) {
        std::string digits;
        for (int d = digitCount(random); d > 0; --d) {
            digits += static_cast<char>('0' + digit(random));
        }
        const int e = exponent(random);
        const int d = decimals(random);
        // Without a point the last d digits are the fraction; a point overrides d.
        const size_t point = i % 3 == 0 ? static_cast<size_t>(i) % (digits.size() + 1) : 99;
        const int fraction = point == 99 ? d : static_cast<int>(digits.size() - point);
        std::string written;
        for (size_t k = 0; k <= digits.size(); ++k) {
            if (k == point) {
                written += '.';
            }
            if (k < digits.size()) {
                written += digits[k];
            }
        }
        std::string field = i % 2 ? "-" : "";
        field += written;
        field += 'E';
        field += std::to_string(e);
        float expected = 0.0f;
        const std::string exact = digits + "e" + std::to_string(e - fraction);
        std::from_chars(exact.data(), exact.data() + exact.size(), expected);
        if (i % 2) {
            expected = -expected;
        }
        float value = 1.0f;
        ASSERT_EQ(ParseRealField(field, d, value), 0) << field;
        ASSERT_EQ(std::memcmp(&value, &expected, sizeof value), 0)
            << field << " F." << d << ": " << value << " != " << expected;
    }
}

TEST(format_test, non_finite_values_are_written_as_asterisks) {
    EXPECT_EQ(FormatRealField(std::numeric_limits<float>::infinity(), 5, 2), "*****");
    EXPECT_EQ(FormatRealField(std::nanf(""), 6, 1), "******");
}

TEST(format_test, writes_integers_right_aligned_with_asterisks_on_overflow) {
    EXPECT_EQ(FormatIntegerField(-123, 4), "-123");
    EXPECT_EQ(FormatIntegerField(-123, 3), "***");
    EXPECT_EQ(FormatIntegerField(7, 4), "   7");
    EXPECT_EQ(FormatIntegerField(0, 1), "0");
}

TEST(format_test, reversion_writes_the_remaining_values_without_the_name_field) {
    EXPECT_EQ(Write("(A12,2(2X,F5.2))",
                    {TextItem("SAMPLE", 6), RealItem(1), RealItem(2), RealItem(3), RealItem(4)}),
              "      SAMPLE   1.00   2.00\n"
              "   3.00   4.00\n");
}

TEST(format_test, skips_at_the_end_of_an_output_record_are_left_out) {
    EXPECT_EQ(Write("(A12/12X,2F4.0/12X/12X)", {TextItem("NAME", 12), RealItem(1), RealItem(2)}),
              "NAME        \n"
              "              1.  2.\n"
              "\n"
              "\n");
    EXPECT_EQ(Write("(1X,I2,3X)", {IntegerItem(5)}), "  5\n");
}

TEST(format_test, an_operation_without_values_still_writes_its_leading_records) {
    EXPECT_EQ(Write("(2X,I4)", {}), "\n");
    EXPECT_EQ(Write("(/,I4)", {}), "\n\n");
}

TEST(format_test, a_write_that_fails_leaves_the_file_untouched) {
    std::ostringstream out;
    std::string error;
    EXPECT_EQ(WriteWithFormat(out, Parse("(F4.0,I4)"), {RealItem(1), RealItem(2)}, error), -1);
    EXPECT_EQ(error, "the format descriptor has I4 for a real value");
    EXPECT_EQ(out.str(), "");
}

TEST(format_test, a_descriptor_cannot_write_unbounded_records_or_lines) {
    std::ostringstream out;
    std::string error;
    EXPECT_EQ(WriteWithFormat(out, Parse("(F4.0,100(10(/)))"), {RealItem(1)}, error), -1);
    EXPECT_EQ(error, "the format descriptor writes more than 1000 records at once");
    EXPECT_EQ(WriteWithFormat(out, Parse("(11(10000X,F4.0))"), Reals(11), error), -1);
    EXPECT_EQ(error, "the format descriptor makes a record longer than 100000 characters");
    EXPECT_EQ(out.str(), "");
}

TEST(format_test, what_is_written_reads_back_the_same) {
    const std::string descriptor = "(A12,2F4.0,4X,2F4.0,4X,I4/12X,3F4.0/12X/12X)";
    std::vector<FormatItem> items{
        TextItem("V12-122", 12), RealItem(17), RealItem(0),  RealItem(-74), RealItem(-23),
        IntegerItem(2800),       RealItem(43), RealItem(26), RealItem(0.4f)};
    const std::string text = Write(descriptor, items);
    EXPECT_EQ(text, "V12-122      17.  0.    -74.-23.    2800\n"
                    "             43. 26.  0.\n\n\n");
    std::vector<FormatItem> back{TextItem("", 12), RealItem(0), RealItem(0),
                                 RealItem(0),      RealItem(0), IntegerItem(0),
                                 RealItem(0),      RealItem(0), RealItem(0)};
    const ReadResult r = Read(descriptor, text, back);
    ASSERT_EQ(r.status, 0) << r.error;
    EXPECT_EQ(back[3].real, -74.0f);
    EXPECT_EQ(back[5].integer, 2800);
    EXPECT_EQ(back[8].real, 0.0f);
    EXPECT_EQ(r.recordsRead, 4);
}

} // namespace
} // namespace marvane
