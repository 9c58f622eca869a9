#include "catalogue/CodePage.h"

namespace qob {

std::size_t LastCharStart(std::string_view text)
{
    std::size_t pos = 0;
    std::size_t last = 0;
    while (pos < text.size()) {
        last = pos;
        pos += CharLength(text, pos);
    }
    return last;
}

std::size_t CharCount(std::string_view text)
{
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += CharLength(text, pos))
        ++count;
    return count;
}

std::string FoldCase(std::string_view text)
{
    std::string folded(text);
    for (std::size_t pos = 0; pos < folded.size();) {
        const std::size_t len = CharLength(folded, pos);
        if (len == 1 && folded[pos] >= 'a' && folded[pos] <= 'z')
            folded[pos] = static_cast<char>(folded[pos] - 'a' + 'A');
        pos += len;
    }
    return folded;
}

bool EqualNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && FoldCase(a) == FoldCase(b);
}

}  // namespace qob
