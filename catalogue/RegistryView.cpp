#include "catalogue/RegistryView.h"

#include "catalogue/Utf8.h"

namespace qob {

namespace {

// The sections below HKEY_CLASSES_ROOT that the 32-bit view keeps apart.
constexpr std::string_view kRedirectedSections[] = {"CLSID", "Interface"};

// An ASCII text in the path's characters.
template <typename Char>
std::basic_string<Char> Widened(std::string_view ascii)
{
    return std::basic_string<Char>(ascii.begin(), ascii.end());
}

template <typename Char>
std::basic_string<Char> NameInView(std::basic_string_view<Char> path, RegistryView view)
{
    std::basic_string<Char> name;
    if (view == RegistryView::Wow64_32) {
        const std::basic_string_view<Char> section = path.substr(0, path.find(Char('\\')));
        for (std::string_view redirected : kRedirectedSections) {
            if (EqualNoCase<Char>(section, Widened<Char>(redirected))) {
                name = Widened<Char>("Wow6432Node\\");
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
