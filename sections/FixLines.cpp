#include "sections/FixLines.h"

#include "catalogue/TreeDump.h"
#include "sections/SectionKinds.h"

#include <algorithm>

namespace qob {

namespace {

bool Holds(const std::vector<std::size_t>& positions, std::size_t position)
{
    return std::find(positions.begin(), positions.end(), position) != positions.end();
}

// Left as it is on purpose: healthy again, or a key Windows protects, which
// no run could delete.
bool Skipped(const SectionDeletionOutcome& outcome, std::size_t position)
{
    return Holds(outcome.healthy, position) || Holds(outcome.protectedByWindows, position);
}

// The reasons the deletion gave for the key at `position`, joined by "; ".
std::string ReasonsFor(const SectionDeletionOutcome& outcome, std::size_t position)
{
    std::string reasons;
    for (std::size_t i = 0; i < outcome.problems.size() && i < outcome.problemKeys.size(); ++i) {
        if (outcome.problemKeys[i] != position)
            continue;
        if (!reasons.empty())
            reasons += "; ";
        // A problem may span lines ("\r"): the line stays one line.
        std::string problem = outcome.problems[i];
        std::replace(problem.begin(), problem.end(), '\r', ' ');
        reasons += problem;
    }
    return reasons;
}

}  // namespace

std::string FixLines(const std::vector<BrokenKey>& keys, const SectionDeletionOutcome& outcome, bool dryRun)
{
    std::string out;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const bool gone = Holds(outcome.gone, i);
        const char* status = gone ? (dryRun ? "would delete" : "deleted") : Skipped(outcome, i) ? "skipped" : "failed";
        out += status;
        out += '\t';
        out += KindRow(keys[i].kind).token;
        out += '\t';
        out += EscapeControlBytes(keys[i].name);
        if (!gone) {
            out += '\t';
            out += EscapeControlBytes(ReasonsFor(outcome, i));
        }
        out += '\n';
    }
    if (!outcome.folder.empty())
        out += "backup\t" + EscapeControlBytes(outcome.folder) + '\n';
    return out;
}

int FixExitStatus(const std::vector<BrokenKey>& keys, const SectionDeletionOutcome& outcome)
{
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (!Holds(outcome.gone, i) && !Skipped(outcome, i))
            return kFixIncomplete;
    }
    return 0;
}

}  // namespace qob
