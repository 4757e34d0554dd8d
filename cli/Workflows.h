#pragma once
// Document workflows shared between command groups.

#include "cli/Commands.h"
#include "cli/DesignOptions.h"
#include "cli/DocumentSession.h"

namespace vantor::cli {

/// The target workflow on a document file (optimise FILE).
void RunDocumentOptimise(const FileArgs& file, const TargetOptions& targets, Context& ctx);

/// The attenuation curve of the design's chosen choke between from and to.
void RunDocumentAttenuation(const FileArgs& file, const std::string& database, const std::string& from,
                            const std::string& to, Context& ctx);

}  // namespace vantor::cli
