#include "catalogue/ScanPacing.h"

#include <algorithm>

namespace qob {

PacingPolicy::PacingPolicy(std::size_t count, std::size_t probe, std::size_t stretch)
    : count_(count), probe_(std::max<std::size_t>(1, probe)), firstStretch_(stretch), stretch_(stretch)
{
}

ReadPart PacingPolicy::Next() const
{
    if (stage_ == Stage::Stretch)
        return {stretchWay_, next_, std::min(stretchEnd_, next_ + kProbesInAPart * probe_)};
    const ReadWay way = stage_ == Stage::ProbeAlone ? ReadWay::Alone : ReadWay::InPool;
    return {way, next_, std::min(count_, next_ + probe_)};
}

void PacingPolicy::Took(long long elapsed)
{
    const ReadPart part = Next();
    const double perName = static_cast<double>(elapsed) / double(part.last - part.first);
    next_ = part.last;
    switch (stage_) {
    case Stage::ProbeAlone:
        alone_ = perName;
        stage_ = Stage::ProbeInPool;
        break;
    case Stage::ProbeInPool:
        inPool_ = perName;
        StartStretch();
        break;
    case Stage::Stretch: {
        // Slower than the other way went in its probe.
        const bool steady = perName <= (stretchWay_ == ReadWay::InPool ? alone_ : inPool_);
        if (!steady || next_ == stretchEnd_)
            EndStretch(steady);
        break;
    }
    }
}

void PacingPolicy::StartStretch()
{
    stretchWay_ = inPool_ < alone_ ? ReadWay::InPool : ReadWay::Alone;
    stretchEnd_ = std::min(count_, next_ + stretch_);
    stage_ = Stage::Stretch;
    if (next_ == stretchEnd_)
        EndStretch(true);
}

void PacingPolicy::EndStretch(bool steady)
{
    stretch_ = steady ? std::min(2 * stretch_, kLongestStretch * firstStretch_) : firstStretch_;
    stage_ = Stage::ProbeAlone;
}

}  // namespace qob
