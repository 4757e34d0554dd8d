#pragma once
// Set-up the benchmarks of the windows share.

#include "CVtrDoc.h"

namespace vantor::bench {

/// Two frequencies, 500 MHz and 1 GHz, on a mesh of about 100,000 nodes:
/// a solve of the size the benchmarks measure.
inline void SetTwoFrequencySweep(CVtrDoc& doc) {
    CAnalysisDomain domain = doc.analysisDomain();
    domain.stopFrequency = 1e9;
    domain.startFrequency = 5e8;
    domain.frequencySteps = 2;
    domain.resolution = 54;
    doc.setAnalysisDomain(domain);
}

}  // namespace vantor::bench
