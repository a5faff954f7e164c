#include <iostream>

#include "dialogue.hpp"
#include "key_wait.hpp"
#include "terminal_output.hpp"

int main() {
    const kadrimo::terminal_output terminal(std::cout);
    return kadrimo::run_dialogue(std::cin, std::cout, kadrimo::wait_for_key);
}
