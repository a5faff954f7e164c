#include "catalogue.hpp"

namespace kadrimo {
namespace {

constexpr target_format rows[] = {
    // "0:オリジナルスリーブ(WSサイズ) \n"
    {0,
     "0:\x83\x49\x83\x8a\x83\x57\x83\x69\x83\x8b\x83\x58\x83\x8a\x81\x5b\x83\x75"
     "(WS\x83\x54\x83\x43\x83\x59) \n",
     false, 861.0, 1206.0},
    // "1:Android壁紙(960×800) \n"
    {1, "1:Android\x95\xc7\x8e\x86(960\x81\x7e" "800) \n", false, 960.0, 800.0},
    // "2:       　　(480×800) \n" (seven spaces, two ideographic spaces)
    {2, "2:       \x81\x40\x81\x40(480\x81\x7e" "800) \n", false, 480.0, 800.0},
    // "3:       　　(1440×1280) \n"
    {3, "3:       \x81\x40\x81\x40(1440\x81\x7e" "1280) \n", false, 1440.0, 1280.0},
    // "4:iPhone4S \n"
    {4, "4:iPhone4S \n", false, 320.0, 480.0},
    // Not in the menu, but still chosen by typing 5.
    {5, nullptr, false, 640.0, 1136.0},
    // "9:手入力する\n"
    {9, "9:\x8e\xe8\x93\xfc\x97\xcd\x82\xb7\x82\xe9\n", true, 0.0, 0.0},
};

}  // namespace

std::span<const target_format> target_catalogue() { return rows; }

resolved_target resolve_target(int number) {
    for (const target_format& row : rows) {
        if (row.number != number) continue;
        if (row.manual) return {target_kind::manual, 0.0, 0.0};
        return {target_kind::preset, row.width, row.height};
    }
    return {target_kind::invalid, 0.0, 0.0};
}

}  // namespace kadrimo
