#include "header.hpp"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string_view>

namespace kadrimo {

// The byte offsets and lengths below are the formats' own layouts, said
// where each is read; naming every one would only rename the documents.
// NOLINTBEGIN(readability-magic-numbers,cppcoreguidelines-avoid-magic-numbers)

namespace {

using bytes_view = std::span<const std::uint8_t>;
using number = std::optional<std::uint32_t>;

// Offsets are 64-bit, so that an offset read from the file plus a length can
// never wrap around, whatever the size of std::size_t.
bool within(bytes_view bytes, std::uint64_t at, std::uint64_t count) {
    return at <= bytes.size() && bytes.size() - at >= count;
}

// A count-byte unsigned number at `at` (count at most 4), in either byte order.
number read(bytes_view bytes, std::uint64_t at, unsigned count, bool big_endian) {
    if (!within(bytes, at, count)) return std::nullopt;
    std::uint32_t value = 0;
    for (unsigned i = 0; i < count; ++i) {
        const std::uint32_t byte = bytes[static_cast<std::size_t>(at) + (big_endian ? i : count - 1 - i)];
        value = (value << 8U) | byte;
    }
    return value;
}

number big(bytes_view bytes, std::uint64_t at, unsigned count) { return read(bytes, at, count, true); }
number little(bytes_view bytes, std::uint64_t at, unsigned count) { return read(bytes, at, count, false); }

bool holds(bytes_view bytes, std::uint64_t at, std::string_view text) {
    return within(bytes, at, text.size()) &&
           std::equal(text.begin(), text.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at),
                      [](char wanted, std::uint8_t byte) { return static_cast<std::uint8_t>(wanted) == byte; });
}

// Both sides or neither: a side of 0 is no size.
picture_header sized(picture_format format, number width, number height, bool turned = false) {
    if (!width || !height || *width == 0 || *height == 0) return {format, 0, 0};
    if (turned) return {format, *height, *width};
    return {format, *width, *height};
}

// Chunks (length, type, data, CRC) from offset 8; IHDR comes first, but
// for Apple's CgBI chunk before it.
picture_header png(bytes_view bytes) {
    std::uint64_t at = 8;
    while (const number length = big(bytes, at, 4)) {
        if (holds(bytes, at + 4, "IHDR")) return sized(picture_format::png, big(bytes, at + 8, 4), big(bytes, at + 12, 4));
        if (holds(bytes, at + 4, "IDAT")) break;
        at += 12 + std::uint64_t{*length};
    }
    return {picture_format::png};
}

// The EXIF block's first directory (a TIFF header, its offsets counted from
// it): orientations 5 to 8 turn the picture a quarter.
bool exif_turned(bytes_view tiff) {
    bool big_endian = true;
    if (holds(tiff, 0, "II")) big_endian = false;
    else if (!holds(tiff, 0, "MM")) return false;
    const number directory = read(tiff, 4, 4, big_endian);
    if (!directory) return false;
    const number entries = read(tiff, *directory, 2, big_endian);
    for (std::uint32_t i = 0; entries && i < *entries; ++i) {
        const std::uint64_t entry = *directory + 2 + 12 * std::uint64_t{i};
        const number tag = read(tiff, entry, 2, big_endian);
        if (!tag) return false;
        if (*tag == 0x0112) {
            const number orientation = read(tiff, entry + 8, 2, big_endian);
            return orientation && *orientation >= 5 && *orientation <= 8;
        }
    }
    return false;
}

// A frame header: baseline, progressive, lossless or arithmetic; C4, C8 and
// CC share the range but are other segments.
bool starts_frame(std::uint32_t marker) {
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

// Segments (marker, length, data) up to the frame header, which holds the
// height and then the width; the EXIF block before it may turn them.
picture_header jpeg(bytes_view bytes) {
    std::uint64_t at = 2;
    bool turned = false;
    constexpr std::string_view exif("Exif\0\0", 6);
    while (within(bytes, at, 2)) {
        if (bytes[static_cast<std::size_t>(at)] != 0xFF) break;
        const std::uint32_t marker = bytes[static_cast<std::size_t>(at) + 1];
        at += marker == 0xFF ? 1 : 2;  // a fill byte
        if (marker == 0xFF || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) continue;
        if (marker == 0xD9 || marker == 0xDA) break;  // the end, or a scan: no frame came first
        const number length = big(bytes, at, 2);
        if (!length || *length < 2) break;
        if (starts_frame(marker)) {
            return sized(picture_format::jpeg, big(bytes, at + 5, 2), big(bytes, at + 3, 2), turned);
        }
        if (marker == 0xE1 && holds(bytes, at + 2, exif)) {
            const std::uint64_t start = at + 8;
            const std::uint64_t end = std::min<std::uint64_t>(at + *length, bytes.size());
            if (start < end) {
                turned = exif_turned(bytes.subspan(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start)));
            }
        }
        at += *length;
    }
    return {picture_format::jpeg};
}

picture_header gif(bytes_view bytes) {
    return sized(picture_format::gif, little(bytes, 6, 2), little(bytes, 8, 2));
}

// OS/2's 12-byte header has 16-bit sides; every later one 32-bit signed
// sides, a negative height meaning rows stored top down.
picture_header bmp(bytes_view bytes) {
    const number header_size = little(bytes, 14, 4);
    if (header_size == 12U) return sized(picture_format::bmp, little(bytes, 18, 2), little(bytes, 20, 2));
    const number width = little(bytes, 18, 4);
    number height = little(bytes, 22, 4);
    if (!header_size || !width || (*width & 0x80000000U) != 0) return {picture_format::bmp};
    if (height && (*height & 0x80000000U) != 0) height = ~*height + 1;
    return sized(picture_format::bmp, width, height);
}

// The first chunk after "WEBP": lossy (VP8), lossless (VP8L) or extended
// (VP8X, with the canvas's size).
picture_header webp(bytes_view bytes) {
    constexpr std::uint32_t fourteen_bits = 0x3FFF;
    if (holds(bytes, 12, "VP8 ")) {
        if (!holds(bytes, 23, "\x9d\x01\x2a")) return {picture_format::webp};
        const number width = little(bytes, 26, 2);
        const number height = little(bytes, 28, 2);
        if (!width || !height) return {picture_format::webp};
        return sized(picture_format::webp, *width & fourteen_bits, *height & fourteen_bits);
    }
    if (holds(bytes, 12, "VP8L")) {
        const number bits = little(bytes, 21, 4);
        if (!holds(bytes, 20, "/") || !bits) return {picture_format::webp};  // its signature, 0x2F
        return sized(picture_format::webp, (*bits & fourteen_bits) + 1, ((*bits >> 14U) & fourteen_bits) + 1);
    }
    if (holds(bytes, 12, "VP8X")) {
        const number width = little(bytes, 24, 3);
        const number height = little(bytes, 27, 3);
        if (!width || !height) return {picture_format::webp};
        return sized(picture_format::webp, *width + 1, *height + 1);
    }
    return {picture_format::webp};
}

// ISO base media boxes (AVIF, HEIC): size, type, body; a size of 1 is
// followed by a 64-bit size, 0 runs to the end. A box is cut short to the
// bytes there are: the size boxes come before the picture's data.
struct box {
    std::uint64_t body;
    std::uint64_t end;
};

std::optional<box> box_at(bytes_view bytes, std::uint64_t at, std::uint64_t end) {
    const number size = big(bytes, at, 4);
    if (!size || at + 8 > end) return std::nullopt;
    std::uint64_t length = *size;
    std::uint64_t header = 8;
    if (length == 1) {
        const number high = big(bytes, at + 8, 4);
        const number low = big(bytes, at + 12, 4);
        if (!high || !low) return std::nullopt;
        length = (std::uint64_t{*high} << 32U) | *low;
        header = 16;
    } else if (length == 0) {
        length = end - at;
    }
    if (length < header || length > end - at) length = std::max(header, end - at);
    return box{at + header, at + length};
}

// The first box of this type among those from `at` to `end`.
std::optional<box> find_box(bytes_view bytes, std::uint64_t at, std::uint64_t end, std::string_view type) {
    while (const std::optional<box> found = box_at(bytes, at, end)) {
        if (holds(bytes, at + 4, type)) return found;
        at = found->end;
    }
    return std::nullopt;
}

// The n-th (from 1) property box in ipco.
std::optional<std::uint64_t> property_at(bytes_view bytes, box ipco, std::uint32_t index) {
    std::uint64_t at = ipco.body;
    for (std::uint32_t i = 1; const std::optional<box> found = box_at(bytes, at, ipco.end); ++i) {
        if (i == index) return at;
        at = found->end;
    }
    return std::nullopt;
}

// The size (ispe) and rotation (irot) among the properties that ipma
// associates with this item: each association is an index from 1 into ipco,
// in 7 bits or, with flag 1, 15, behind an "essential" bit.
picture_header item_size(bytes_view bytes, picture_format format, box ipco, box ipma, std::uint32_t item) {
    const number version = big(bytes, ipma.body, 1);
    const number flags = big(bytes, ipma.body + 1, 3);
    const number entries = big(bytes, ipma.body + 4, 4);
    if (!version || !flags || !entries) return {format};
    const unsigned item_bytes = *version < 1 ? 2 : 4;
    const unsigned index_bytes = (*flags & 1U) != 0 ? 2 : 1;
    const std::uint32_t index_mask = index_bytes == 2 ? 0x7FFFU : 0x7FU;
    std::uint64_t at = ipma.body + 8;
    for (std::uint32_t i = 0; i < *entries; ++i) {
        const number entry_item = big(bytes, at, item_bytes);
        const number count = big(bytes, at + item_bytes, 1);
        if (!entry_item || !count) break;
        at += item_bytes + 1;
        if (*entry_item != item) {
            at += std::uint64_t{*count} * index_bytes;
            continue;
        }
        number width;
        number height;
        bool turned = false;
        for (std::uint32_t j = 0; j < *count; ++j, at += index_bytes) {
            const number association = big(bytes, at, index_bytes);
            const std::optional<std::uint64_t> property =
                association ? property_at(bytes, ipco, *association & index_mask) : std::nullopt;
            if (property && holds(bytes, *property + 4, "ispe")) {
                width = big(bytes, *property + 12, 4);
                height = big(bytes, *property + 16, 4);
            } else if (property && holds(bytes, *property + 4, "irot")) {
                const number angle = big(bytes, *property + 8, 1);
                turned = angle && (*angle & 1U) != 0;
            }
        }
        return sized(format, width, height, turned);
    }
    return {format};
}

// The primary item's (pitm) properties, in the meta box.
picture_header heif(bytes_view bytes, picture_format format) {
    const std::optional<box> meta = find_box(bytes, 0, bytes.size(), "meta");
    if (!meta) return {format};
    const std::uint64_t children = meta->body + 4;  // after version and flags
    const std::optional<box> pitm = find_box(bytes, children, meta->end, "pitm");
    const std::optional<box> iprp = find_box(bytes, children, meta->end, "iprp");
    if (!pitm || !iprp) return {format};
    const number pitm_version = big(bytes, pitm->body, 1);
    const number primary = big(bytes, pitm->body + 4, pitm_version == 0U ? 2 : 4);
    const std::optional<box> ipco = find_box(bytes, iprp->body, iprp->end, "ipco");
    const std::optional<box> ipma = find_box(bytes, iprp->body, iprp->end, "ipma");
    if (!pitm_version || !primary || !ipco || !ipma) return {format};
    return item_size(bytes, format, *ipco, *ipma, *primary);
}

// The brands of the file type box name what the file holds.
picture_format heif_format(bytes_view bytes) {
    const std::optional<box> ftyp = box_at(bytes, 0, bytes.size());
    if (!ftyp) return picture_format::unknown;
    picture_format found = picture_format::unknown;
    for (std::uint64_t at = ftyp->body; at + 4 <= ftyp->end; at += at == ftyp->body ? 8U : 4U) {
        if (holds(bytes, at, "avif") || holds(bytes, at, "avis")) return picture_format::avif;
        for (const std::string_view brand : {"heic", "heix", "heim", "heis", "hevc", "hevx", "mif1", "msf1"}) {
            if (holds(bytes, at, brand)) found = picture_format::heic;
        }
    }
    return found;
}

}  // namespace

bool too_large(std::uint64_t width, std::uint64_t height) { return width * height > largest_picture; }

picture_header read_picture_header(std::span<const std::uint8_t> bytes) {
    if (holds(bytes, 0, "\x89PNG\r\n\x1a\n")) return png(bytes);
    if (holds(bytes, 0, "\xff\xd8\xff")) return jpeg(bytes);
    if (holds(bytes, 0, "GIF87a") || holds(bytes, 0, "GIF89a")) return gif(bytes);
    if (holds(bytes, 0, "BM")) return bmp(bytes);
    if (holds(bytes, 0, "RIFF") && holds(bytes, 8, "WEBP")) return webp(bytes);
    if (holds(bytes, 4, "ftyp")) {
        const picture_format format = heif_format(bytes);
        if (format != picture_format::unknown) return heif(bytes, format);
    }
    return {};
}

// NOLINTEND(readability-magic-numbers,cppcoreguidelines-avoid-magic-numbers)

}  // namespace kadrimo
