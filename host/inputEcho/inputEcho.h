#ifndef FLAKECOAT_INPUT_ECHO_H
#define FLAKECOAT_INPUT_ECHO_H

// Input text quoted back in a message (a model's token, a sample's key, a
// setting, a declaration's word): whole when short; otherwise its first
// bytes, never cutting a UTF-8 character, and its length. Control
// characters show as '?'. However large or strange the input, the message
// stays one short line.

#include <cstddef>
#include <string>
#include <string_view>

namespace flakecoat {

constexpr std::size_t kEchoBytes = 40;

inline std::string echoInput(std::string_view text) {
    std::size_t kept = text.size();
    if (kept > kEchoBytes) {
        kept = kEchoBytes;
        // Back off continuation bytes (10xxxxxx) to a character's start
        while (kept > 0 && (static_cast<unsigned char>(text[kept]) & 0xc0) == 0x80) --kept;
    }
    std::string echo(text.substr(0, kept));
    for (char& c : echo)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    if (kept < text.size()) echo += "... (" + std::to_string(text.size()) + " bytes)";
    return echo;
}

}  // namespace flakecoat

#endif
