#pragma once
// Names come from the person or from a file; on a terminal their control
// characters are shown as escapes, so that a name cannot move the cursor,
// clear the screen or fake a line of output.

#include <cstdio>
#include <string>

namespace vantor::cli {

/// The name with C0 and C1 control characters and DEL written as \n, \t,
/// \r or \xNN (\u0080 .. \u009F for C1); everything else unchanged.
inline std::string Shown(const std::string& name) {
    std::string out;
    char buf[8];
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        const unsigned char next = i + 1 < name.size() ? static_cast<unsigned char>(name[i + 1]) : 0;
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20 || c == 0x7F) {
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else if (c == 0xC2 && next >= 0x80 && next <= 0x9F) {
            std::snprintf(buf, sizeof buf, "\\u%04X", next);
            out += buf;
            ++i;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace vantor::cli
