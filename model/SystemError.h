#pragma once
// The reason a file operation failed, as the person reads it: German for the
// failures people meet, the system's own text for the rare rest.

#include <string>

namespace vantor {

/// The text for a system error number (errno), without a closing full stop.
std::string SystemErrorText(int errnum);

}  // namespace vantor
