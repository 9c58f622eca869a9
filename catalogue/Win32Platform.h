// The Win32 implementations of the platform interfaces (Windows build only).
#pragma once

#include "catalogue/KeyStore.h"
#include "catalogue/Platform.h"

#include <string>

namespace qob {

class Win32KeyStore final : public KeyStore {
public:
    long OpenKey(KeyHandle base, const std::string& path, std::uint32_t access, KeyHandle& out) override;
    long QueryInfoKey(KeyHandle key, std::uint32_t& subkeyCount) override;
    long EnumKey(KeyHandle key, std::uint32_t index, std::string& name) override;
    long QueryValue(KeyHandle key, const std::string& name, std::uint32_t& type, std::string& data) override;
    long DeleteKey(KeyHandle base, const std::string& path, std::uint32_t viewFlags) override;
    long DeleteValue(KeyHandle key, const std::string& name) override;
    long CloseKey(KeyHandle key) override;
    long QueryOwner(KeyHandle key, std::string& owner) override;
};

// The order of the Japanese locale on every system, so that the tree's order
// does not depend on where the program runs.
class Win32NameOrder final : public NameOrder {
public:
    int Compare(const std::string& a, const std::string& b) const override;
};

class Win32FileSystem final : public FileSystem {
public:
    FileSearch FindFirst(const std::string& path) const override;
    std::string ExpandEnvironment(const std::string& text) const override;
    std::string WindowsDirectory() const override;
    long RemoveFile(const std::string& path) override;
};

// Makes the folder and the folders above it that are missing, below the
// share of a network path: a Win32 error code, ERROR_ALREADY_EXISTS when a
// file of a folder's name is in the way.
unsigned long MakeFolders(const std::wstring& folder);

// A steady clock in microseconds (QueryPerformanceCounter).
long long MonotonicMicroseconds();

}  // namespace qob
