/* The floor kadrimo is measured against: the same dialogue in C with
   <stdio.h>, linked fully statically, so nothing is loaded at start-up.
   Only the benchmark builds it. An answer that cannot be read ends the run
   more simply than in kadrimo; the benchmark's answers all can. */
#include <stdio.h>

struct preset {
    double width;
    double height;
};

/* Targets 0 to 5; 9 asks for the target by hand. */
static const struct preset presets[] = {
    {861, 1206}, {960, 800}, {480, 800}, {1440, 1280}, {320, 480}, {640, 1136}};

/* KADRIMO_VERSION comes from bench/run, which takes it from the build. */
static const char banner[] = "kadrimo from \x82\xe0\x82\xad\x82\xea\x82\xd2\x82\xdb Ver" KADRIMO_VERSION "\n\n";
static const char menu[] =
    "\x83\x5e\x81\x5b\x83\x51\x83\x62\x83\x67\x82\xf0\x91\x49\x91\xf0\n"
    "0:\x83\x49\x83\x8a\x83\x57\x83\x69\x83\x8b\x83\x58\x83\x8a\x81\x5b\x83\x75(WS\x83\x54\x83\x43\x83\x59) \n"
    "1:Android\x95\xc7\x8e\x86(960\x81\x7e" "800) \n"
    "2:       \x81\x40\x81\x40(480\x81\x7e" "800) \n"
    "3:       \x81\x40\x81\x40(1440\x81\x7e" "1280) \n"
    "4:iPhone4S \n"
    "9:\x8e\xe8\x93\xfc\x97\xcd\x82\xb7\x82\xe9\n";
static const char target_prompt[] = "\x83\x5e\x81\x5b\x83\x51\x83\x62\x83\x67:";
static const char manual_width_prompt[] = "\x96\xda\x95\x57\x82\xcc\x89\xa1\x95\x9d\x82\xf0\x93\xfc\x97\xcd\n";
static const char manual_height_prompt[] = "\x96\xda\x95\x57\x82\xcc\x8d\x82\x82\xb3\x82\xf0\x93\xfc\x97\xcd\n";
static const char invalid_input[] =
    "\x93\xfc\x97\xcd\x82\xb3\x82\xea\x82\xbd\x92\x6c\x82\xaa\x95\x73\x90\xb3\x82\xc5\x82\xb7\n"
    "\x83\x76\x83\x8d\x83\x4f\x83\x89\x83\x80\x82\xf0\x8f\x49\x97\xb9\x82\xb5\x82\xdc\x82\xb7\n";
static const char width_prompt[] = "\x89\xa1\x95\x9d\x82\xf0\x93\xfc\x97\xcd:";
static const char height_prompt[] = "\x8d\x82\x82\xb3\x82\xf0\x93\xfc\x97\xcd:";
static const char first_label[] = "\x89\xa1\x95\x9d\x82\xf0\x8a\xee\x8f\x80\x82\xc9\x82\xb5\x82\xbd\x8d\x82\x82\xb3:";
static const char second_label[] = "\x8d\x82\x82\xb3\x82\xf0\x8a\xee\x8f\x80\x82\xc9\x82\xb5\x82\xbd\x89\xa1\x95\x9d:";
static const char key_prompt[] =
    "\x8f\x49\x97\xb9\x82\xb7\x82\xe9\x82\xc9\x82\xcd\x89\xbd\x82\xa9\x83\x4c\x81\x5b\x82\xf0"
    "\x89\x9f\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2 . . .";

/* Writes a prompt and reads one answer, as the C++ programs do with a tied stream. */
static int ask(const char* prompt, const char* format, void* value) {
    fputs(prompt, stdout);
    fflush(stdout);
    return scanf(format, value) == 1;
}

static int read_target(double* width, double* height) {
    int number = -1;
    int ok = ask(target_prompt, "%d", &number);
    fputs("\n", stdout);
    if (!ok) return 0;
    if (number >= 0 && number <= 5) {
        *width = presets[number].width;
        *height = presets[number].height;
        return 1;
    }
    if (number != 9) return 0;
    if (!ask(manual_width_prompt, "%lf", width)) return 0;
    if (!ask(manual_height_prompt, "%lf", height)) return 0;
    fputs("\n", stdout);
    return 1;
}

int main(void) {
    double target_width = 0, target_height = 0, width = 0, height = 0;
    fputs(banner, stdout);
    fputs(menu, stdout);
    if (read_target(&target_width, &target_height) && ask(width_prompt, "%lf", &width) &&
        ask(height_prompt, "%lf", &height)) {
        printf("\n%s%g\n", first_label, target_height / target_width * width);
        fflush(stdout);
        printf("%s%g\n\n", second_label, target_width / target_height * height);
    } else {
        fputs(invalid_input, stdout);
    }
    fputs(key_prompt, stdout);
    fflush(stdout);
    getchar();
    fputs("\n", stdout);
    return 0;
}
