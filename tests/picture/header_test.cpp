// Each file is built here byte by byte from its format's layout, with sides
// whose bytes can be checked by hand; the reader must find the size the
// user will see, or say it has none, and read nothing outside the bytes.

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "header.hpp"

// The numbers are the formats' own bytes and the pictures' sides.
// NOLINTBEGIN(readability-magic-numbers,cppcoreguidelines-avoid-magic-numbers)

namespace {

using kadrimo::picture_format;
using std::string_literals::operator""s;

std::string be32(std::uint32_t v) {
    return {static_cast<char>(v >> 24U), static_cast<char>(v >> 16U), static_cast<char>(v >> 8U),
            static_cast<char>(v)};
}
std::string be16(std::uint32_t v) { return be32(v).substr(2); }
std::string le32(std::uint32_t v) {
    const std::string bytes = be32(v);
    return {bytes.rbegin(), bytes.rend()};
}
std::string le16(std::uint32_t v) { return le32(v).substr(0, 2); }

std::string png_chunk(std::string_view type, const std::string& data) {
    return be32(static_cast<std::uint32_t>(data.size())) + std::string(type) + data + "CRC!";
}
const std::string png_signature = "\x89PNG\r\n\x1a\n";

std::string jpeg_segment(unsigned marker, const std::string& data) {
    std::string segment(1, '\xff');
    segment += static_cast<char>(marker);
    return segment + be16(static_cast<std::uint32_t>(data.size() + 2)) + data;
}
// A baseline frame header: precision, height, width, one component.
std::string jpeg_frame(unsigned marker, std::uint32_t width, std::uint32_t height) {
    return jpeg_segment(marker, "\x08"s + be16(height) + be16(width) + "\x01\x01\x11\x00"s);
}
// An EXIF block whose first directory holds a resolution tag and then the orientation.
std::string exif(bool big_endian, std::uint32_t orientation) {
    const auto n16 = big_endian ? be16 : le16;
    const auto n32 = big_endian ? be32 : le32;
    const std::string resolution = n16(0x011A) + n16(5) + n32(1) + n32(0);
    const std::string turn = n16(0x0112) + n16(3) + n32(1) + n16(orientation) + "\0\0"s;
    return jpeg_segment(0xE1, "Exif\0\0"s + (big_endian ? "MM"s : "II"s) + n16(42) + n32(8) + n16(2) +
                                  resolution + turn + n32(0));
}
// An EXIF block whose directory says it has `entries` entries and holds one,
// a resolution.
std::string exif_directory(std::uint32_t entries) {
    return jpeg_segment(0xE1, "Exif\0\0MM"s + be16(42) + be32(8) + be16(entries) + be16(0x011A) + be16(5) + be32(1) + be32(0));
}
// The same block, its name one byte off ("Exif\0X"): not an EXIF block.
std::string not_exif(std::string block) {
    block[9] = 'X';
    return block;
}
const std::string jpeg_start = "\xff\xd8"s + jpeg_segment(0xE0, "JFIF\0\x01\x02\0\0\x01\0\x01\0\0"s);

std::string box(std::string_view type, const std::string& body) {
    return be32(static_cast<std::uint32_t>(body.size() + 8)) + std::string(type) + body;
}
std::string full_box(std::string_view type, std::uint8_t version, const std::string& body, char flags = 0) {
    return box(type, static_cast<char>(version) + "\0\0"s + flags + body);
}
std::string ispe(std::uint32_t width, std::uint32_t height) { return full_box("ispe", 0, be32(width) + be32(height)); }
// A HEIF file whose primary item is item 2; item 1 is a thumbnail with
// properties 1 (its ispe), item 2 has properties 2 (ispe) and 3 (irot).
std::string heif(std::string_view brand, std::uint32_t width, std::uint32_t height, std::uint8_t rotation) {
    const std::string ipco = box("ipco", ispe(320, 240) + ispe(width, height) + box("irot", std::string(1, static_cast<char>(rotation))));
    const std::string ipma = full_box("ipma", 0, be32(2) + be16(1) + "\x01\x81"s + be16(2) + "\x02\x82\x03"s);
    return box("ftyp", std::string(brand) + be32(0) + "mif1miaf") +
           full_box("meta", 0, full_box("hdlr", 0, be32(0) + "pict" + std::string(12, '\0')) +
                                   full_box("pitm", 0, be16(2)) + box("iprp", ipco + ipma)) +
           box("mdat", "....");
}

// A box of 64-bit size (size 1, then the size in 64 bits) before the meta box.
std::string heif_after_a_large_box() {
    const std::string plain = heif("heic", 4032, 3024, 0);
    const std::size_t meta = plain.find("meta") - 4;
    return plain.substr(0, meta) + be32(1) + "free" + be32(0) + be32(20) + "...." + plain.substr(meta);
}
// ipma of version 1 and flag 1: 32-bit item IDs, 15-bit property indexes;
// the primary item is 0x10002, its property the second. The brand that
// says AVIF comes last.
std::string heif_wide_items() {
    const std::string ipco = box("ipco", ispe(320, 240) + ispe(640, 480));
    const std::string ipma = full_box("ipma", 1, be32(1) + be32(0x10002) + "\x01\x80\x02"s, 1);
    return box("ftyp", "msf1"s + be32(0) + "isomavif") +
           full_box("meta", 0, full_box("pitm", 1, be32(0x10002)) + box("iprp", ipco + ipma));
}
// ipma counts one entry, item 1's; the primary's, after it, is not one.
std::string heif_primary_uncounted() {
    const std::string ipco = box("ipco", ispe(320, 240) + ispe(640, 480));
    const std::string ipma = full_box("ipma", 0, be32(1) + be16(1) + "\x01\x81"s + be16(2) + "\x01\x82"s);
    return box("ftyp", "heic"s + be32(0)) + full_box("meta", 0, full_box("pitm", 0, be16(2)) + box("iprp", ipco + ipma));
}
// A picture's items in a file whose brands say nothing of pictures.
std::string mp4_with_items() {
    std::string file = heif("isom", 4032, 3024, 0);
    file.replace(file.find("mif1miaf"), 8, "mp41mp42");
    return file;
}

struct header_case {
    const char* name;
    std::string bytes;
    picture_format format;
    std::uint32_t width;
    std::uint32_t height;
};

const std::vector<header_case>& cases() {
    static const std::vector<header_case> table{
        {"png", png_signature + png_chunk("IHDR", be32(1920) + be32(1080) + "\x08\x06\0\0\0"s), picture_format::png, 1920, 1080},
        {"png_huge", png_signature + png_chunk("IHDR", be32(20000) + be32(20000) + "\x01\0\0\0\0"s), picture_format::png, 20000, 20000},
        {"png_apple_cgbi_first", png_signature + png_chunk("CgBI", "\x50\0\x20\x06"s) + png_chunk("IHDR", be32(640) + be32(1136)), picture_format::png, 640, 1136},
        {"png_cut_in_ihdr", (png_signature + png_chunk("IHDR", be32(1920))).substr(0, 20), picture_format::png, 0, 0},
        {"png_data_before_ihdr", png_signature + png_chunk("IDAT", "x") + png_chunk("IHDR", be32(1) + be32(1)), picture_format::png, 0, 0},
        {"png_zero_width", png_signature + png_chunk("IHDR", be32(0) + be32(1080)), picture_format::png, 0, 0},
        {"jpeg", jpeg_start + jpeg_frame(0xC0, 1920, 1080), picture_format::jpeg, 1920, 1080},
        {"jpeg_exif_6_motorola", "\xff\xd8"s + exif(true, 6) + jpeg_frame(0xC0, 4032, 3024), picture_format::jpeg, 3024, 4032},
        {"jpeg_exif_8_intel", jpeg_start + exif(false, 8) + jpeg_frame(0xC0, 4032, 3024), picture_format::jpeg, 3024, 4032},
        {"jpeg_exif_5_and_7_turn_too", "\xff\xd8"s + exif(false, 5) + jpeg_frame(0xC0, 30, 20), picture_format::jpeg, 20, 30},
        {"jpeg_exif_3_upside_down", "\xff\xd8"s + exif(true, 3) + jpeg_frame(0xC0, 4032, 3024), picture_format::jpeg, 4032, 3024},
        {"jpeg_exif_9_not_an_orientation", "\xff\xd8"s + exif(true, 9) + jpeg_frame(0xC0, 4032, 3024), picture_format::jpeg, 4032, 3024},
        {"jpeg_progressive_after_tables_and_a_fill_byte", jpeg_start + jpeg_segment(0xC4, "\0\x01\x02"s) + jpeg_segment(0xDB, "\0q"s) + "\xff"s + jpeg_frame(0xC2, 8064, 6048), picture_format::jpeg, 8064, 6048},
        {"jpeg_markers_without_length_and_an_empty_segment", jpeg_start + "\xff\x01\xff\xd0\xff\xd8"s + jpeg_segment(0xE2, "") + jpeg_segment(0xBF, "\x08"s + be16(7) + be16(9)) + jpeg_frame(0xC7, 30, 20), picture_format::jpeg, 30, 20},
        {"jpeg_exif_without_orientation", "\xff\xd8"s + exif_directory(1) + jpeg_frame(0xC0, 4032, 3024), picture_format::jpeg, 4032, 3024},
        {"jpeg_exif_cut_in_its_directory", "\xff\xd8"s + exif_directory(5) + jpeg_frame(0xC0, 4032, 3024), picture_format::jpeg, 4032, 3024},
        {"jpeg_lossless_arithmetic", jpeg_start + jpeg_frame(0xCF, 30, 20), picture_format::jpeg, 30, 20},
        {"jpeg_app1_not_quite_exif", "\xff\xd8"s + not_exif(exif(true, 6)) + jpeg_frame(0xC0, 4032, 3024), picture_format::jpeg, 4032, 3024},
        {"jpeg_ending_in_a_marker_byte", jpeg_start + "\xff"s, picture_format::jpeg, 0, 0},
        {"jpeg_arithmetic_table_is_no_frame", jpeg_start + jpeg_segment(0xCC, "\x01\x02") + jpeg_frame(0xC9, 5, 7), picture_format::jpeg, 5, 7},
        {"jpeg_frame_after_its_end", jpeg_start + "\xff\xd9\x00\x02"s + jpeg_frame(0xC0, 5, 7), picture_format::jpeg, 0, 0},
        {"jpeg_scan_before_frame", jpeg_start + jpeg_segment(0xDA, "\x01") + jpeg_frame(0xC0, 5, 7), picture_format::jpeg, 0, 0},
        {"jpeg_height_in_dnl", jpeg_start + jpeg_frame(0xC0, 1920, 0), picture_format::jpeg, 0, 0},
        {"jpeg_cut_in_frame", (jpeg_start + jpeg_frame(0xC0, 1920, 1080)).substr(0, jpeg_start.size() + 7), picture_format::jpeg, 0, 0},
        {"gif", "GIF89a"s + le16(640) + le16(480) + "\xf7\0\0"s, picture_format::gif, 640, 480},
        {"gif_87a", "GIF87a"s + le16(1) + le16(65535), picture_format::gif, 1, 65535},
        {"bmp_bottom_up", "BM"s + std::string(12, '\0') + le32(40) + le32(400) + le32(300), picture_format::bmp, 400, 300},
        {"bmp_top_down", "BM"s + std::string(12, '\0') + le32(124) + le32(400) + le32(0xFFFFFED4), picture_format::bmp, 400, 300},
        {"bmp_os2", "BM"s + std::string(12, '\0') + le32(12) + le16(1234) + le16(567), picture_format::bmp, 1234, 567},
        {"bmp_negative_width", "BM"s + std::string(12, '\0') + le32(40) + le32(0xFFFFFFFF) + le32(300), picture_format::bmp, 0, 0},
        {"webp_lossy", "RIFF"s + le32(100) + "WEBPVP8 " + le32(80) + "\x10\x02\x00\x9d\x01\x2a"s + le16(550 | 0x4000) + le16(368 | 0x8000), picture_format::webp, 550, 368},
        {"webp_lossless", "RIFF"s + le32(100) + "WEBPVP8L" + le32(80) + "/"s + le32(1919 | (1079U << 14U) | (1U << 28U)), picture_format::webp, 1920, 1080},
        {"webp_lossless_without_its_signature", "RIFF"s + le32(100) + "WEBPVP8L" + le32(80) + "."s + le32(1919 | (1079U << 14U)), picture_format::webp, 0, 0},
        {"webp_extended", "RIFF"s + le32(100) + "WEBPVP8X" + le32(10) + le32(0x10) + le32(8063).substr(0, 3) + le32(6047).substr(0, 3), picture_format::webp, 8064, 6048},
        {"webp_extended_tall", "RIFF"s + le32(100) + "WEBPVP8X" + le32(10) + le32(0x10) + le32(0).substr(0, 3) + le32(69999).substr(0, 3), picture_format::webp, 1, 70000},
        {"webp_extended_cut_in_its_height", "RIFF"s + le32(100) + "WEBPVP8X" + le32(10) + le32(0x10) + le32(8063).substr(0, 3) + "\x9f"s, picture_format::webp, 0, 0},
        {"webp_lossy_without_start_code", "RIFF"s + le32(100) + "WEBPVP8 " + le32(80) + "\x10\x02\x00\x9d\x01\x2b"s + le16(550) + le16(368), picture_format::webp, 0, 0},
        {"avif_turned", heif("avif", 4032, 3024, 1), picture_format::avif, 3024, 4032},
        {"avif_upside_down", heif("avif", 4032, 3024, 2), picture_format::avif, 4032, 3024},
        {"heic_primary_not_thumbnail", heif("heic", 4032, 3024, 0), picture_format::heic, 4032, 3024},
        {"heic_cut_before_its_properties", heif("heic", 4032, 3024, 0).substr(0, 60), picture_format::heic, 0, 0},
        {"heic_after_a_box_of_64_bit_size", heif_after_a_large_box(), picture_format::heic, 4032, 3024},
        {"avif_items_of_32_bits_properties_of_15", heif_wide_items(), picture_format::avif, 640, 480},
        {"heic_primary_past_the_counted_entries", heif_primary_uncounted(), picture_format::heic, 0, 0},
        {"mp4_with_picture_items", mp4_with_items(), picture_format::unknown, 0, 0},
        {"ff_d8_without_a_marker", "\xff\xd8\x00\x10JFIF"s + jpeg_frame(0xC0, 5, 7), picture_format::unknown, 0, 0},
        {"mp4_video_whose_next_box_says_avif", box("ftyp", "isom"s + be32(0) + "mp41") + box("free", "avif"), picture_format::unknown, 0, 0},
        {"text", "width 1920, height 1080", picture_format::unknown, 0, 0},
        {"empty", "", picture_format::unknown, 0, 0},
    };
    return table;
}

void PrintTo(const header_case& c, std::ostream* out) { *out << c.name; }

class picture_header_test : public ::testing::TestWithParam<header_case> {};

TEST_P(picture_header_test, reads_the_shown_size_or_none) {
    const header_case& c = GetParam();
    // A copy of exactly these bytes on the heap, so that a read past them is
    // the sanitizers' to see.
    const std::vector<std::uint8_t> bytes(c.bytes.begin(), c.bytes.end());
    const kadrimo::picture_header header = kadrimo::read_picture_header(bytes);
    EXPECT_EQ(header.format, c.format);
    EXPECT_EQ(header.width, c.width);
    EXPECT_EQ(header.height, c.height);
}

std::string case_name(const ::testing::TestParamInfo<header_case>& tested) { return tested.param.name; }

// 7071^2 is 49,999,041 pixels; 10000 x 5000 exactly 50 M; 7072 x 7071 is 50,006,112.
TEST(picture_size, refused_past_fifty_million_pixels) {
    EXPECT_FALSE(kadrimo::too_large(8064, 6048));
    EXPECT_FALSE(kadrimo::too_large(7071, 7071));
    EXPECT_FALSE(kadrimo::too_large(10000, 5000));
    EXPECT_TRUE(kadrimo::too_large(7072, 7071));
    EXPECT_TRUE(kadrimo::too_large(20000, 20000));
    EXPECT_FALSE(kadrimo::too_large(0, 0));
}

INSTANTIATE_TEST_SUITE_P(formats, picture_header_test, ::testing::ValuesIn(cases()), case_name);

}  // namespace

// NOLINTEND(readability-magic-numbers,cppcoreguidelines-avoid-magic-numbers)
