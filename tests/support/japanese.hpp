#pragma once

// The program's opening as a reader sees it, in UTF-8; tests convert it to
// Shift-JIS themselves. The version is the one the build gives the program.

namespace kadrimo::testing {

inline constexpr const char* menu_utf8 =
    "ターゲットを選択\n"
    "0:オリジナルスリーブ(WSサイズ) \n"
    "1:Android壁紙(960×800) \n"
    "2:       　　(480×800) \n"
    "3:       　　(1440×1280) \n"
    "4:iPhone4S \n"
    "9:手入力する\n";

inline constexpr const char* banner_utf8 = "kadrimo from もくれぴぽ Ver" KADRIMO_VERSION "\n\n";

}  // namespace kadrimo::testing
