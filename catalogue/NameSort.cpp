#include "catalogue/NameSort.h"

#include <utility>

namespace qob {

namespace {

void QuickSort(std::vector<std::string>& names, const NameOrder& order, long left, long right)
{
    long i = 0;
    do {
        i = left;
        long j = right;
        long pivot = (left + right) / 2;
        do {
            while (order.Compare(names[i], names[pivot]) < 0)
                ++i;
            while (order.Compare(names[j], names[pivot]) > 0)
                --j;
            if (i <= j) {
                if (i != j)
                    std::swap(names[i], names[j]);
                if (pivot == i)
                    pivot = j;
                else if (pivot == j)
                    pivot = i;
                ++i;
                --j;
            }
        } while (i <= j);
        if (left < j)
            QuickSort(names, order, left, j);
        left = i;
    } while (i < right);
}

}  // namespace

void SortNames(std::vector<std::string>& names, const NameOrder& order)
{
    if (names.size() > 1)
        QuickSort(names, order, 0, static_cast<long>(names.size()) - 1);
}

}  // namespace qob
