#pragma once

#include <istream>
#include <streambuf>

#include "buffer_swap.hpp"
#include "input_encoding.hpp"

namespace kadrimo {

// A stream buffer in front of `source` that reads the full-width forms a
// Japanese input method types for a number as the ASCII they show: the digits
// ０ to ９, the full stop ．, the minus －, the plus ＋, the letters ｅ and Ｅ, and
// the ideographic space, which becomes a plain space. Every other byte passes
// unchanged, and so does a broken or incomplete multi-byte character, byte
// for byte, so input that was unreadable stays unreadable.
//
// Characters are taken left to right in the given encoding: in Shift-JIS a
// lead byte (81-9F, E0-FC) always takes the byte after it, so a trail byte is
// never read as a character of its own; in UTF-8 a three-byte lead takes the
// continuation bytes that follow it. A character split across reads of the
// source is taken whole. The source must outlive the buffer.
class full_width_buffer final : public std::streambuf {
public:
    full_width_buffer(std::streambuf& source, input_encoding encoding);

protected:
    int_type underflow() override;

private:
    std::streambuf& source_;
    input_encoding encoding_;
    // The character being read: one ASCII byte once translated, otherwise
    // the bytes as they came.
    char character_[3] = {};
};

// For as long as it lives, puts a full_width_buffer in front of the buffer
// of `in`, which must have one; on leaving, `in` gets its own buffer back.
class full_width_input {
public:
    full_width_input(std::istream& in, input_encoding encoding);

private:
    full_width_buffer buffer_;
    buffer_swap swap_;
};

}  // namespace kadrimo
