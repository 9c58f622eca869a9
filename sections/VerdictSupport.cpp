#include "sections/VerdictSupport.h"

#include "catalogue/Registry.h"
#include "catalogue/Utf8.h"

#include <algorithm>
#include <cctype>

namespace qob {

namespace {

// A library path that ends in "\<number>" names a resource inside the file
// before it.
std::string WithoutResourceNumber(const std::string& path)
{
    const auto slash = path.rfind('\\');
    if (slash == std::string::npos || slash + 1 == path.size())
        return path;
    const bool number = std::all_of(path.begin() + static_cast<std::ptrdiff_t>(slash) + 1, path.end(),
                                    [](char c) { return c >= '0' && c <= '9'; });
    return number ? path.substr(0, slash) : path;
}

}  // namespace

ReadKey::ReadKey(KeyStore& store, KeyHandle base, const std::string& path, RegistryView view) : store_(store)
{
    result_ = store.OpenKey(base, path, kKeyRead | ViewFlags(view), key_);
    if (result_ != kErrorSuccess)
        key_ = kNoKey;
    else if (key_ == base)
        shared_ = true;
}

ReadKey::~ReadKey()
{
    if (key_ != kNoKey && !shared_)
        store_.CloseKey(key_);
}

bool IsGuid(const std::string& id)
{
    if (id.size() != 38 || id.front() != '{' || id.back() != '}')
        return false;
    for (std::size_t i = 1; i < 37; ++i) {
        const char c = id[i];
        const bool dash = i == 9 || i == 14 || i == 19 || i == 24;
        if (dash ? c != '-' : !std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    }
    return true;
}

std::string ReadIdValue(KeyStore& store, KeyHandle key, const std::string& name)
{
    std::optional<std::string> text = ReadTextValue(store, key, name);
    return text && IsGuid(*text) ? *text : std::string();
}

std::optional<std::string> ReadTextValue(KeyStore& store, KeyHandle key, const std::string& name)
{
    std::uint32_t type = 0;
    std::string text;
    if (store.QueryValue(key, name, type, text) != kErrorSuccess || (type != kRegSz && type != kRegExpandSz))
        return std::nullopt;
    const auto zero = text.find('\0');
    if (zero != std::string::npos)
        text.resize(zero);
    return text;
}

std::string ReadDescription(KeyStore& store, KeyHandle section, const std::string& name, RegistryView view)
{
    if (const ReadKey own{store, section, name, view})
        return ReadStringValue(store, own.get(), "");
    return {};
}

ServerFileState FileChecks::Resolve(const std::string& path, RegistryView view)
{
    const auto key = std::make_pair(path, view);
    {
        std::lock_guard lock(mutex_);
        const auto it = known_.find(key);
        if (it != known_.end())
            return it->second;
    }
    // Looked for outside the lock: two threads may look for the same path,
    // and find the same.
    const ServerFileState state = check_.Resolve(path, view).state;
    std::lock_guard lock(mutex_);
    known_.emplace(key, state);
    return state;
}

ServerFileState FileChecks::ResolveLibrary(const std::string& path, bool win32)
{
    const auto key = std::make_pair(path, win32);
    {
        std::lock_guard lock(mutex_);
        const auto it = libraries_.find(key);
        if (it != libraries_.end())
            return it->second;
    }
    const std::string file = WithoutResourceNumber(path);
    ServerFileState state = Resolve(file, RegistryView::Native);
    if (state == ServerFileState::Missing && win32 &&
        check_.CandidateFiles(file, RegistryView::Wow64_32) != check_.CandidateFiles(file, RegistryView::Native))
        state = Resolve(file, RegistryView::Wow64_32);
    std::lock_guard lock(mutex_);
    libraries_.emplace(key, state);
    return state;
}

bool RegistryKeys::LibraryExists(const std::string& id)
{
    return !ReadKey(store_, kClassesRoot, std::string(kLibrarySection) + "\\" + id, RegistryView::Native).Absent();
}

bool RegistryKeys::ClassExists(const std::string& id)
{
    const std::string path = std::string(kClassSection) + "\\" + id;
    return !ReadKey(store_, kClassesRoot, path, RegistryView::Native).Absent() ||
           !ReadKey(store_, kClassesRoot, path, RegistryView::Wow64_32).Absent();
}

bool RegistryKeys::RootKeyExists(const std::string& name)
{
    return !ReadKey(store_, kClassesRoot, name, RegistryView::Native).Absent();
}

void ListedKeys::Add(SectionKind kind, const std::string& name)
{
    if (kind == SectionKind::Class)
        classes_.insert(FoldCase(name));
    else if (kind == SectionKind::TypeLibrary)
        libraries_.insert(FoldCase(name));
}

bool ListedKeys::LibraryExists(const std::string& id)
{
    return libraries_.count(FoldCase(id)) != 0 || RegistryKeys::LibraryExists(id);
}

bool ListedKeys::ClassExists(const std::string& id)
{
    return classes_.count(FoldCase(id)) != 0 || RegistryKeys::ClassExists(id);
}

void ListedKeys::AddRootNames(const std::vector<std::string>& names)
{
    for (const std::string& name : names)
        roots_.insert(FoldCase(name));
}

bool ListedKeys::RootKeyExists(const std::string& name)
{
    return roots_.count(FoldCase(name)) != 0 || RegistryKeys::RootKeyExists(name);
}

}  // namespace qob
