#pragma once

// The dialogue's own texts, as Shift-JIS bytes. The compiler's execution
// character set plays no part: every non-ASCII byte is spelled out, so GCC,
// Clang and MSVC all emit the same bytes. The Japanese above each text is
// what it reads as.

#ifndef KADRIMO_VERSION
#error "KADRIMO_VERSION comes from the build (project version)"
#endif

namespace kadrimo::texts {

// "kadrimo from もくれぴぽ Ver0.2\n\n"
inline constexpr const char* banner =
    "kadrimo from \x82\xe0\x82\xad\x82\xea\x82\xd2\x82\xdb Ver" KADRIMO_VERSION "\n\n";

// "ターゲットを選択\n", above the catalogue's menu lines
inline constexpr const char* menu_heading =
    "\x83\x5e\x81\x5b\x83\x51\x83\x62\x83\x67\x82\xf0\x91\x49\x91\xf0\n";

// "ターゲット:"
inline constexpr const char* target_prompt = "\x83\x5e\x81\x5b\x83\x51\x83\x62\x83\x67:";

inline constexpr const char* line_end = "\n";

// "目標の横幅を入力\n"
inline constexpr const char* manual_width_prompt =
    "\x96\xda\x95\x57\x82\xcc\x89\xa1\x95\x9d\x82\xf0\x93\xfc\x97\xcd\n";

// "目標の高さを入力\n"
inline constexpr const char* manual_height_prompt =
    "\x96\xda\x95\x57\x82\xcc\x8d\x82\x82\xb3\x82\xf0\x93\xfc\x97\xcd\n";

// "入力された値が不正です\nプログラムを終了します\n"
inline constexpr const char* invalid_input =
    "\x93\xfc\x97\xcd\x82\xb3\x82\xea\x82\xbd\x92\x6c\x82\xaa\x95\x73\x90\xb3\x82\xc5\x82\xb7\n"
    "\x83\x76\x83\x8d\x83\x4f\x83\x89\x83\x80\x82\xf0\x8f\x49\x97\xb9\x82\xb5\x82\xdc\x82\xb7\n";

// "横幅を入力:"
inline constexpr const char* source_width_prompt = "\x89\xa1\x95\x9d\x82\xf0\x93\xfc\x97\xcd:";

// "高さを入力:"
inline constexpr const char* source_height_prompt = "\x8d\x82\x82\xb3\x82\xf0\x93\xfc\x97\xcd:";

// "横幅を基準にした高さ:"
inline constexpr const char* first_result_label =
    "\x89\xa1\x95\x9d\x82\xf0\x8a\xee\x8f\x80\x82\xc9\x82\xb5\x82\xbd\x8d\x82\x82\xb3:";

// "高さを基準にした横幅:"
inline constexpr const char* second_result_label =
    "\x8d\x82\x82\xb3\x82\xf0\x8a\xee\x8f\x80\x82\xc9\x82\xb5\x82\xbd\x89\xa1\x95\x9d:";

// "終了するには何かキーを押してください . . ."
// Shown by our own key waits, where the system has no pause command: the
// POSIX console's and the web page's.
inline constexpr const char* key_wait_prompt =
    "\x8f\x49\x97\xb9\x82\xb7\x82\xe9\x82\xc9\x82\xcd\x89\xbd\x82\xa9\x83\x4c\x81\x5b\x82\xf0"
    "\x89\x9f\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2 . . .";

}  // namespace kadrimo::texts
