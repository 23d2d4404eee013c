#include <iostream>

#include "bookgen/bookgen.h"

int main(int argc, char** argv) { return RunBookgen(argc, argv, std::cout, std::cerr); }
