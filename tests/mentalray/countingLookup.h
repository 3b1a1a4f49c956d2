#ifndef FLAKECOAT_TESTS_COUNTING_LOOKUP_H
#define FLAKECOAT_TESTS_COUNTING_LOOKUP_H

#include <string>

// How often the binding layer has looked `name` up in this process.
int lookupCount(const std::string& name);

#endif
