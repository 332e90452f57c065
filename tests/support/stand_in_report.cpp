#include "stand_in_report.h"

#include <sstream>

#include "scratch_directory.h"

std::vector<StandInRun> ReadStandInReport(const std::filesystem::path& report) {
    std::vector<StandInRun> runs;
    const auto bytes = ReadFileBytes(report);
    if (!bytes) {
        return runs;
    }
    std::istringstream lines(*bytes);
    StandInRun run;
    for (std::string line; std::getline(lines, line);) {
        if (line == "end") {
            runs.push_back(run);
            run.clear();
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos) {
            run[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return runs;
}
