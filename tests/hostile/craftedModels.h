#ifndef FLAKECOAT_TESTS_HOSTILE_CRAFTED_MODELS_H
#define FLAKECOAT_TESTS_HOSTILE_CRAFTED_MODELS_H

// OBJ text of models the hostile tests share.

#include <cstdio>
#include <string>

// An axis-aligned box of the given side with a corner at the origin, six
// quads facing outwards.
inline std::string boxObj(double side) {
    std::string text;
    for (int corner = 0; corner < 8; ++corner) {
        char line[120];
        std::snprintf(line, sizeof line, "v %.9g %.9g %.9g\n", side * (corner & 1), side * (corner >> 1 & 1),
                      side * (corner >> 2 & 1));
        text += line;
    }
    return text + "f 1 2 4 3\nf 5 7 8 6\nf 1 5 6 2\nf 3 4 8 7\nf 1 3 7 5\nf 2 6 8 4\n";
}

#endif
