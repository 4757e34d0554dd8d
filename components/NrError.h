#pragma once
// Error report of the numeric helpers: printed to standard error and
// appended to "nrerror.log" in the working folder. The program goes on.

#include <string>

namespace vantor {

/// Writes the report; the log is created on the first report of a run and
/// stays open, flushed after every report.
void NrError(const std::string& text);

}  // namespace vantor
