// How a reading with helper threads (catalogue/SharedReader.h) shares the
// items between the calling thread alone and the helpers.
#pragma once

#include <cstddef>
#include <functional>

namespace qob {

// The settings of a reading's pacing (below): `now` is the clock its parts
// are timed by, in microseconds; without a clock everything is read with the
// helpers.
struct ScanPacing {
    std::function<long long()> now;
    std::size_t probe = 64;
    std::size_t stretch = 4096;
};

// The two ways an item is read: on the calling thread alone, or with the
// helpers (the pool).
enum class ReadWay { Alone, InPool };

// The names from `first` up to `last`, read one way.
struct ReadPart {
    ReadWay way;
    std::size_t first;
    std::size_t last;
};

// Which way a scan with a pool reads its `count` names, part by part: Next()
// names the part to read, and Took() is told how long it took, in any unit,
// the same each time.
//
// Which way is faster is not known in advance: under Wine several readers
// keep wineserver busy when a core is free, but when every core has work they
// only take turns with it, and one reader on the scan's thread is faster. So
// each round reads `probe` names alone, `probe` names with the pool, then up
// to `stretch` names the way that went faster, in parts of a few probes. The
// stretch ends early when the way chosen turns slower than the other one was:
// a probe can be lucky, and the machine's other work changes. A stretch read
// to its end makes the next one twice as long (up to eight times `stretch`);
// one ended early makes it `stretch` again.
class PacingPolicy {
public:
    PacingPolicy(std::size_t count, std::size_t probe, std::size_t stretch);

    bool Done() const { return next_ >= count_; }
    // The part to read next; only before Done().
    ReadPart Next() const;
    // The part Next() named was read in `elapsed`.
    void Took(long long elapsed);

private:
    enum class Stage { ProbeAlone, ProbeInPool, Stretch };

    static constexpr std::size_t kProbesInAPart = 4;
    static constexpr std::size_t kLongestStretch = 8;  // in stretches of the pacing

    void StartStretch();
    void EndStretch(bool steady);

    const std::size_t count_;
    const std::size_t probe_;
    const std::size_t firstStretch_;
    std::size_t stretch_;  // the length of the next stretch
    std::size_t next_ = 0;  // the first name of the next part
    Stage stage_ = Stage::ProbeAlone;
    double alone_ = 0;   // per name, in the round's probe on the scan's thread
    double inPool_ = 0;  // per name, in the round's probe with the pool
    ReadWay stretchWay_ = ReadWay::Alone;
    std::size_t stretchEnd_ = 0;
};

}  // namespace qob
