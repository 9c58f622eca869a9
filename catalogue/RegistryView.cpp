#include "catalogue/RegistryView.h"

namespace qob {

namespace {

// The sections below HKEY_CLASSES_ROOT that the 32-bit view keeps apart.
constexpr std::string_view kRedirectedSections[] = {"CLSID"};

template <typename Char>
bool IsAsciiNoCase(std::basic_string_view<Char> text, std::string_view ascii)
{
    if (text.size() != ascii.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        Char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<Char>(c - 'A' + 'a');
        char a = ascii[i];
        if (a >= 'A' && a <= 'Z')
            a = static_cast<char>(a - 'A' + 'a');
        if (c != static_cast<Char>(a))
            return false;
    }
    return true;
}

template <typename Char>
std::basic_string<Char> NameInView(std::basic_string_view<Char> path, RegistryView view)
{
    std::basic_string<Char> name;
    if (view == RegistryView::Wow64_32) {
        const std::basic_string_view<Char> section = path.substr(0, path.find(Char('\\')));
        for (std::string_view redirected : kRedirectedSections) {
            if (IsAsciiNoCase(section, redirected)) {
                for (char c : std::string_view("Wow6432Node\\"))
                    name += static_cast<Char>(c);
                break;
            }
        }
    }
    name.append(path);
    return name;
}

}  // namespace

std::string KeyNameInView(std::string_view path, RegistryView view) { return NameInView(path, view); }

std::u16string KeyNameInView(std::u16string_view path, RegistryView view) { return NameInView(path, view); }

}  // namespace qob
