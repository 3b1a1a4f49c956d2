#include <iostream>

#include "shade.h"

int shadeMentalray(std::istream&, const std::string&) {
    std::cerr << "flakecoat shade: this host is not available in this build\n";
    return 2;
}
