#include "sections/TypeLibraryVerdict.h"

#include "catalogue/Registry.h"

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

namespace qob {

namespace {

// A locale subkey of a type library's version: a hexadecimal number.
bool IsLocaleId(const std::string& name)
{
    return !name.empty() &&
           std::all_of(name.begin(), name.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
}

// Reads one library key's file entries, with the key open.
class LibraryFiles {
public:
    LibraryFiles(const VerdictContext& context, RegistryView view) : context_(context), view_(view) {}

    // The library's missing files into `missing`; false when a file is there
    // or something that could name one cannot be read.
    bool AllMissing(KeyHandle library, std::vector<std::string>& missing)
    {
        std::string first;
        if (context_.store.EnumKey(library, 0, first) != kErrorSuccess)
            return false;
        if (!NoFileAt(library, first + "\\0\\win32", true, missing) ||
            !NoFileAt(library, first + "\\0\\win64", false, missing))
            return false;
        std::vector<std::string> versions{first};
        if (!ListFrom(library, 1, versions))
            return false;
        for (std::size_t i = 0; i < versions.size(); ++i) {
            const ReadKey versionKey(context_.store, library, versions[i], view_);
            std::vector<std::string> locales;
            if (!versionKey) {
                if (versionKey.Absent())
                    continue;
                return false;
            }
            if (!ListFrom(versionKey.get(), 0, locales))
                return false;
            for (const std::string& locale : locales) {
                if (!IsLocaleId(locale) || (i == 0 && locale == "0"))
                    continue;
                if (!NoFileAt(versionKey.get(), locale + "\\win32", true, missing) ||
                    !NoFileAt(versionKey.get(), locale + "\\win64", false, missing))
                    return false;
            }
        }
        return true;
    }

private:
    // Adds the key's subkey names from the index `from` on; false when one
    // of them cannot be listed, as then a file entry could be missed.
    bool ListFrom(KeyHandle key, std::uint32_t from, std::vector<std::string>& names)
    {
        std::string name;
        for (std::uint32_t index = from;; ++index) {
            const long result = context_.store.EnumKey(key, index, name);
            if (result == kErrorNoMoreItems)
                return true;
            if (result != kErrorSuccess)
                return false;
            names.push_back(name);
        }
    }

    // One file entry of a library: true when there is no such entry, or
    // when its file is missing (added to `missing`); false when the file is
    // there or the entry cannot be read.
    bool NoFileAt(KeyHandle base, const std::string& path, bool win32, std::vector<std::string>& missing)
    {
        const ReadKey entry(context_.store, base, path, RegistryView::Native);
        if (!entry)
            return entry.Absent();
        std::string file = ReadStringValue(context_.store, entry.get(), "");
        if (context_.files.ResolveLibrary(file, win32) != ServerFileState::Missing)
            return false;
        missing.push_back(std::move(file));
        return true;
    }

    const VerdictContext& context_;
    const RegistryView view_;
};

}  // namespace

std::optional<BrokenKey> TypeLibraryVerdict(const VerdictContext& context, KeyHandle section, const std::string& name,
                                            RegistryView view)
{
    const ReadKey library(context.store, section, name, view);
    if (!library)
        return std::nullopt;
    BrokenKey broken;
    broken.reason = BreakReason::MissingFile;
    if (!LibraryFiles(context, view).AllMissing(library.get(), broken.missing) || broken.missing.empty())
        return std::nullopt;
    // Read while the library's key is open.
    broken.description = ReadStringValue(context.store, library.get(), "");
    return broken;
}

}  // namespace qob
