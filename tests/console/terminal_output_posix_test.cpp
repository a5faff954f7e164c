#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <locale>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>

#include "cp932.hpp"
#include "refusing_target.hpp"
#include "terminal_output.hpp"

namespace kadrimo {
namespace {

using testing::cp932;
using testing::refusing_target;

enum class standard_output { terminal, null_device };

// Puts a fresh pseudo-terminal or /dev/null where standard output was and
// LC_ALL to the given locale, and puts all of it back afterwards, the
// character-type locale included.
class stand_in_output {
public:
    stand_in_output(standard_output kind, const char* locale_name) {
        static_cast<void>(std::fflush(stdout));
        saved_stdout_ = dup(STDOUT_FILENO);
        if (const char* lc_all = std::getenv("LC_ALL")) saved_lc_all_ = lc_all;
        setenv("LC_ALL", locale_name, 1);
        const int replacement = kind == standard_output::terminal ? open_terminal()
                                                                  : open("/dev/null", O_WRONLY);
        dup2(replacement, STDOUT_FILENO);
        close(replacement);
    }

    ~stand_in_output() {
        dup2(saved_stdout_, STDOUT_FILENO);
        close(saved_stdout_);
        if (master_ >= 0) close(master_);
        if (saved_lc_all_) {
            setenv("LC_ALL", saved_lc_all_->c_str(), 1);
        } else {
            unsetenv("LC_ALL");
        }
        static_cast<void>(std::setlocale(LC_CTYPE, "C"));
    }

    stand_in_output(const stand_in_output&) = delete;
    stand_in_output& operator=(const stand_in_output&) = delete;

private:
    int open_terminal() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        grantpt(master_);
        unlockpt(master_);
        return open(ptsname(master_), O_RDWR | O_NOCTTY);
    }

    int saved_stdout_ = -1;
    int master_ = -1;
    std::optional<std::string> saved_lc_all_;
};

struct output_case {
    const char* name;
    standard_output kind;
    const char* locale_name;
    bool converted;
    const char* ctype_during_run;  // the character-type locale while the run lasts
    bool target_refuses = false;   // like a terminal that has gone away
};

class terminal_output_choice : public ::testing::TestWithParam<output_case> {};

TEST_P(terminal_output_choice, converts_only_for_a_utf8_terminal) {
    const output_case& c = GetParam();
    const std::string utf8 = "ターゲット:1\n横幅を基準にした高さ:1009.97\n";
    refusing_target target;
    if (!c.target_refuses) target.refusals = 0;  // takes everything
    std::ostream out(&target);
    std::string ctype_during_run;
    std::string numeric_during_run;
    std::string global_locale_during_run;
    bool own_buffer_kept = false;
    {
        const stand_in_output stand_in(c.kind, c.locale_name);
        const terminal_output terminal(out);
        own_buffer_kept = out.rdbuf() == &target;
        out << cp932(utf8);
        ctype_during_run = std::setlocale(LC_CTYPE, nullptr);
        numeric_during_run = std::setlocale(LC_NUMERIC, nullptr);
        global_locale_during_run = std::locale().name();
    }
    EXPECT_EQ(target.str(), c.target_refuses ? "" : c.converted ? utf8 : cp932(utf8));
    EXPECT_EQ(own_buffer_kept, !c.converted);
    EXPECT_EQ(out.rdbuf(), &target) << "the stream's own buffer is given back";
    EXPECT_EQ(out.good(), !c.target_refuses) << "what was pending is flushed, failures shown";
    EXPECT_EQ(ctype_during_run + " " + numeric_during_run + " " + global_locale_during_run,
              std::string(c.ctype_during_run) + " C C") << "numbers stay classic in C and C++";
}

const output_case output_cases[] = {
    {"utf8_terminal", standard_output::terminal, "C.UTF-8", true, "C.UTF-8"},
    {"utf8_terminal_gone", standard_output::terminal, "C.UTF-8", true, "C.UTF-8", true},
    {"ascii_terminal", standard_output::terminal, "C", false, "C"},
    // A locale that is not installed is set to nothing, but its name still
    // tells its codeset, in any case, before any modifier.
    {"uninstalled_locale_named_utf8", standard_output::terminal, "xx_XX.utf8@mod", true, "C"},
    {"uninstalled_locale_named_otherwise", standard_output::terminal, "xx_XX.EUC-JP", false, "C"},
    {"uninstalled_locale_named_alike", standard_output::terminal, "xx_XX.UTF-7", false, "C"},
    {"uninstalled_name_without_codeset", standard_output::terminal, "UTF-8", false, "C"},
    // Not a terminal: the locale is not even asked, so it stays "C".
    {"utf8_locale_but_no_terminal", standard_output::null_device, "C.UTF-8", false, "C"},
};

INSTANTIATE_TEST_SUITE_P(terminal_output, terminal_output_choice,
                         ::testing::ValuesIn(output_cases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

}  // namespace
}  // namespace kadrimo
