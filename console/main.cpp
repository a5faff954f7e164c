#include <iostream>

#include "dialogue.hpp"
#include "output_check.hpp"

int main() {
    const int status = kadrimo::run_dialogue(std::cin, std::cout, kadrimo::wait_while_output_works);
    return kadrimo::status_after_output(std::cout, status);
}
