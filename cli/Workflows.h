#pragma once
// Document workflows shared between command groups.

#include "Commands.h"
#include "DesignOptions.h"
#include "DocumentSession.h"

namespace vantor::cli {

/// The target workflow on a document file (optimise FILE).
void RunDocumentOptimise(const FileArgs& file, const TargetOptions& targets, Context& ctx);

/// The attenuation curve of the design's chosen choke between from and to.
void RunDocumentAttenuation(const FileArgs& file, const std::string& database, const std::string& from,
                            const std::string& to, Context& ctx);

}  // namespace vantor::cli
