#ifndef FLAKECOAT_TOOLS_JSON_INTEGERS_H
#define FLAKECOAT_TOOLS_JSON_INTEGERS_H

#include <cstdint>

#include <nlohmann/json.hpp>

// A JSON integer within [least, most]. False for anything else: a fraction,
// a string, and an unsigned value beyond the signed range, which
// get<std::int64_t>() would wrap (2^64 - 1 to -1).
inline bool jsonIntegerWithin(const nlohmann::json& value, std::int64_t least, std::int64_t most,
                              std::int64_t& out) {
    if (value.is_number_unsigned()) {
        const std::uint64_t u = value.get<std::uint64_t>();
        if (most < 0 || u > std::uint64_t(most)) return false;
        out = std::int64_t(u);
        return out >= least;
    }
    if (!value.is_number_integer()) return false;
    out = value.get<std::int64_t>();
    return out >= least && out <= most;
}

#endif
