#include "SolveMemory.h"

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>
#include <string>

#include "CAnalysisDomain.h"
#include "CNode.h"
#include "CPort.h"
#include "OrderedWorkers.h"
#include "PlaneMesh.h"
#include "SolverOptions.h"

namespace vantor {

namespace {

constexpr double kHeapOverhead = 16.0;          // bytes a small heap block costs beyond its size
constexpr double kThreadStack = 8.0 * 1048576;  // address space of one worker's stack

// Non-zeros of the factor L of an n-node grid under a fill-reducing order:
// grows as n log n for a plane. The factor is fitted to the fast path's
// pattern analysis on square and oblong planes, with room to spare.
double FactorNonZeros(double n) { return n < 2 ? n : 4.0 * n * std::log2(n); }

// Value after "key" in a "key value unit" file such as /proc/meminfo, or -1.
double FieldOf(const char* file, const std::string& key) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(key, 0) != 0) continue;
        std::istringstream fields(line.substr(key.size()));
        double value = -1.0;
        fields >> value;
        return value;
    }
    return -1.0;
}

// A cgroup file holding one number, or -1 ("max" and missing files alike).
double NumberIn(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string text;
    if (!(in >> text) || text == "max") return -1.0;
    try {
        return std::stod(text);
    } catch (const std::exception&) {
        return -1.0;
    }
}

// Room under the memory.max of the process's cgroup and of every group
// above it (version 2 hierarchy).
double CgroupRoom() {
    double room = std::numeric_limits<double>::infinity();
    std::ifstream in("/proc/self/cgroup");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("0::", 0) != 0) continue;
        const std::filesystem::path root = "/sys/fs/cgroup";
        std::filesystem::path group = line.substr(3);
        for (;;) {
            const std::filesystem::path dir = root / group.relative_path();
            const double max = NumberIn(dir / "memory.max");
            const double current = NumberIn(dir / "memory.current");
            if (max >= 0.0) room = std::min(room, max - std::max(current, 0.0));
            if (!group.has_relative_path() || group == group.parent_path()) break;
            group = group.parent_path();
        }
    }
    return room;
}

}  // namespace

double EstimateSolveBytes(double length, double width, double epsilonR, const CAnalysisDomain& domain,
                          const SolverOptions& options) {
    double h = 0.0, columns = 0.0, rows = 0.0;
    if (!PlaneMesh::GridFor(length, width, epsilonR, domain.stopFrequency, domain.resolution, h, columns, rows))
        return 0.0;
    const double points = columns * rows;
    const double n = points;  // active nodes, at most every point
    const double frequencies = domain.frequencySteps >= 0 ? domain.frequencySteps + 1.0 : 0.0;

    const double node = sizeof(CNode) + sizeof(std::unique_ptr<CNode>) + kHeapOverhead;
    const double port = sizeof(CPort) + sizeof(std::unique_ptr<CPort>) + kHeapOverhead;
    // Nodes, ports, index map, metal flags, structure (five entries a node).
    const double mesh = points * (node + sizeof(std::int32_t) + 1.0) +
                        n * (port + 3 * sizeof(int) + 5 * (sizeof(int) + 1));
    // The maps of every frequency and "Maximum", and the running maximum.
    const double maps = (frequencies + 1.0) * points * 16.0 + n * 16.0;

    const double fill = FactorNonZeros(n);
    // Shared pattern: order, tree, column starts, the permuted upper triangle.
    const double pattern = n * (2 * sizeof(int) + 8) + 3 * n * 3 * sizeof(int);
    // Per worker: matrix values and pattern, the factor (values and rows),
    // pivots and work space, one delivered diagonal. UMFPACK's L and U hold
    // the fill twice over.
    const double matrix = 5 * n * (16.0 + sizeof(int)) + n * sizeof(int);
    const double factor = options.kind == SolverKind::Umfpack
                              ? 2.5 * fill * (16.0 + sizeof(int))
                              : fill * (16.0 + sizeof(int)) + n * (2 * 16.0 + 3 * sizeof(int));
    const double threads = WorkerCount(options.threads, static_cast<int>(std::min(frequencies, 1e6)));
    const double perWorker = matrix + factor + 2 * n * 16.0 + kThreadStack;
    return mesh + maps + pattern + threads * perWorker;
}

double AvailableMemoryBytes() {
    double room = std::numeric_limits<double>::infinity();
    const double available = FieldOf("/proc/meminfo", "MemAvailable:");
    if (available >= 0.0) room = std::min(room, available * 1024.0);
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        const double mapped = FieldOf("/proc/self/status", "VmSize:");
        room = std::min(room, static_cast<double>(limit.rlim_cur) - std::max(mapped, 0.0) * 1024.0);
    }
    return std::min(room, CgroupRoom());
}

}  // namespace vantor
