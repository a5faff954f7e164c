#include <iostream>

#include "dialogue.hpp"
#include "key_wait.hpp"

int main() { return kadrimo::run_dialogue(std::cin, std::cout, kadrimo::wait_for_key); }
