// The yardstick kadrimo is measured against: the same dialogue written the
// plain way with <iostream>, built with the compiler's defaults (the C++
// runtime loaded dynamically). Only the benchmark builds it. An answer that
// cannot be read ends the run more simply than in kadrimo; the benchmark's
// answers all can.
#include <iostream>

namespace {

struct preset {
    double width;
    double height;
};

// Targets 0 to 5; 9 asks for the target by hand.
constexpr preset presets[] = {{861, 1206}, {960, 800}, {480, 800}, {1440, 1280}, {320, 480}, {640, 1136}};

// KADRIMO_VERSION comes from bench/run, which takes it from the build.
const char* const banner = "kadrimo from \x82\xe0\x82\xad\x82\xea\x82\xd2\x82\xdb Ver" KADRIMO_VERSION "\n\n";
const char* const menu =
    "\x83\x5e\x81\x5b\x83\x51\x83\x62\x83\x67\x82\xf0\x91\x49\x91\xf0\n"
    "0:\x83\x49\x83\x8a\x83\x57\x83\x69\x83\x8b\x83\x58\x83\x8a\x81\x5b\x83\x75(WS\x83\x54\x83\x43\x83\x59) \n"
    "1:Android\x95\xc7\x8e\x86(960\x81\x7e" "800) \n"
    "2:       \x81\x40\x81\x40(480\x81\x7e" "800) \n"
    "3:       \x81\x40\x81\x40(1440\x81\x7e" "1280) \n"
    "4:iPhone4S \n"
    "9:\x8e\xe8\x93\xfc\x97\xcd\x82\xb7\x82\xe9\n";
const char* const target_prompt = "\x83\x5e\x81\x5b\x83\x51\x83\x62\x83\x67:";
const char* const manual_width_prompt = "\x96\xda\x95\x57\x82\xcc\x89\xa1\x95\x9d\x82\xf0\x93\xfc\x97\xcd\n";
const char* const manual_height_prompt = "\x96\xda\x95\x57\x82\xcc\x8d\x82\x82\xb3\x82\xf0\x93\xfc\x97\xcd\n";
const char* const invalid_input =
    "\x93\xfc\x97\xcd\x82\xb3\x82\xea\x82\xbd\x92\x6c\x82\xaa\x95\x73\x90\xb3\x82\xc5\x82\xb7\n"
    "\x83\x76\x83\x8d\x83\x4f\x83\x89\x83\x80\x82\xf0\x8f\x49\x97\xb9\x82\xb5\x82\xdc\x82\xb7\n";
const char* const width_prompt = "\x89\xa1\x95\x9d\x82\xf0\x93\xfc\x97\xcd:";
const char* const height_prompt = "\x8d\x82\x82\xb3\x82\xf0\x93\xfc\x97\xcd:";
const char* const first_label = "\x89\xa1\x95\x9d\x82\xf0\x8a\xee\x8f\x80\x82\xc9\x82\xb5\x82\xbd\x8d\x82\x82\xb3:";
const char* const second_label = "\x8d\x82\x82\xb3\x82\xf0\x8a\xee\x8f\x80\x82\xc9\x82\xb5\x82\xbd\x89\xa1\x95\x9d:";
const char* const key_prompt =
    "\x8f\x49\x97\xb9\x82\xb7\x82\xe9\x82\xc9\x82\xcd\x89\xbd\x82\xa9\x83\x4c\x81\x5b\x82\xf0"
    "\x89\x9f\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2 . . .";

bool read_target(double& width, double& height) {
    int number = -1;
    std::cout << target_prompt;
    std::cin >> number;
    std::cout << '\n';
    if (number >= 0 && number <= 5) {
        width = presets[number].width;
        height = presets[number].height;
        return true;
    }
    if (number != 9) return false;
    std::cout << manual_width_prompt;
    std::cin >> width;
    std::cout << manual_height_prompt;
    std::cin >> height;
    std::cout << '\n';
    return bool(std::cin);
}

}  // namespace

int main() {
    std::cout << banner << menu;
    double target_width = 0, target_height = 0, width = 0, height = 0;
    bool answered = read_target(target_width, target_height);
    if (answered) {
        std::cout << width_prompt;
        std::cin >> width;
        std::cout << height_prompt;
        std::cin >> height;
        std::cout << '\n';
        answered = bool(std::cin);
    }
    if (answered) {
        std::cout << first_label << target_height / target_width * width << std::endl;
        std::cout << second_label << target_width / target_height * height << std::endl;
        std::cout << '\n';
    } else {
        std::cout << invalid_input;
    }
    std::cout << key_prompt << std::flush;
    std::cin.get();
    std::cout << '\n';
    return 0;
}
