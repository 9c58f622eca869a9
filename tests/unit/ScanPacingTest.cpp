#include "catalogue/ScanPacing.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace qob {
namespace {

// The scripted clock: the time one name takes, by the way it is read and its
// place in the names.
using NameTime = std::function<long long(ReadWay way, std::size_t name)>;

// The parts the policy has the names read in, each as its way ('A' alone, 'P'
// with the pool) and its length, timed by `time`. Checks that the parts read
// every name once, in order.
std::string Parts(std::size_t count, std::size_t probe, std::size_t stretch, const NameTime& time)
{
    PacingPolicy policy(count, probe, stretch);
    std::string parts;
    std::size_t next = 0;
    while (!policy.Done()) {
        const ReadPart part = policy.Next();
        EXPECT_EQ(part.first, next);
        EXPECT_LT(part.first, part.last);
        long long elapsed = 0;
        for (std::size_t name = part.first; name < part.last; ++name)
            elapsed += time(part.way, name);
        policy.Took(elapsed);
        next = part.last;
        if (!parts.empty())
            parts += ' ';
        parts += part.way == ReadWay::Alone ? 'A' : 'P';
        parts += std::to_string(part.last - part.first);
    }
    EXPECT_EQ(next, count);
    return parts;
}

NameTime Steady(long long alone, long long inPool)
{
    return [=](ReadWay way, std::size_t) { return way == ReadWay::Alone ? alone : inPool; };
}

TEST(ScanPacing, TheStretchGoesTheWayThatProbedFaster)
{
    EXPECT_EQ(Parts(20, 2, 8, Steady(3, 1)), "A2 P2 P8 A2 P2 P4");
    EXPECT_EQ(Parts(20, 2, 8, Steady(1, 3)), "A2 P2 A8 A2 P2 A4");
    EXPECT_EQ(Parts(20, 2, 8, Steady(2, 2)), "A2 P2 A8 A2 P2 A4") << "a tie stays on the scan's thread";
}

TEST(ScanPacing, AStretchReadToItsEndDoublesTheNextUpToEightTimesTheFirst)
{
    EXPECT_EQ(Parts(33, 1, 1, Steady(3, 1)),
              "A1 P1 P1 "
              "A1 P1 P2 "
              "A1 P1 P4 "
              "A1 P1 P4 P4 "
              "A1 P1 P4 P4");
}

// The pool probes at 1 a name and the scan's thread at 3. In the second
// stretch the pool goes at 2 a name, slower than its probe but not than the
// other way, then at 4.
TEST(ScanPacing, APartSlowerThanTheOtherWayEndsTheStretch)
{
    const NameTime time = [](ReadWay way, std::size_t name) -> long long {
        if (way == ReadWay::Alone)
            return 3;
        return name >= 16 && name < 20 ? 4 : name >= 12 && name < 16 ? 2 : 1;
    };
    EXPECT_EQ(Parts(32, 1, 8, time),
              "A1 P1 P4 P4 "  // read to its end: the next one is 16 names long
              "A1 P1 P4 P4 "  // ended after the part at 4 a name
              "A1 P1 P4 P4 "  // the first length again
              "A1 P1");
}

}  // namespace
}  // namespace qob
