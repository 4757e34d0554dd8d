#pragma once
// Document workflows shared between command groups.

#include "Commands.h"
#include "DesignOptions.h"
#include "DocumentSession.h"
#include "FrequencyRangeFields.h"

namespace vantor::cli {

/// The target workflow on a document file (optimise FILE).
void RunDocumentOptimise(const FileArgs& file, const TargetOptions& targets, Context& ctx);

/// The attenuation curve of the design's chosen choke between from and to.
void RunDocumentAttenuation(const FileArgs& file, const std::string& database, const std::string& from,
                            const std::string& to, Context& ctx);

/// The frequency-range dialog's checks of an axis given as options (with
/// the step count, or the ends alone); a refusal is shown and sets the
/// exit code.
bool CheckFrequencyAxis(const FrequencyRangeFields& axis, bool withSteps, Context& ctx);

}  // namespace vantor::cli
