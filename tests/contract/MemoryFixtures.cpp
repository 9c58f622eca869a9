#include "tests/support/MemoryKeyStore.h"
#include "tests/contract/ContractPlatform.h"
#include "tests/support/MemoryKeyTree.h"
#include "tests/support/MemoryPlatform.h"
#include "removal/BackupFormat.h"

#include <iconv.h>

namespace qob::contract {

namespace {

// UTF-16 to CP932 as the A functions show it: '?' for what has no code.
std::string ToCodePage(const std::u16string& text)
{
    std::string out;
    iconv_t cd = iconv_open("CP932", "UTF-16LE");
    for (char16_t ch : text) {
        char in[2] = {static_cast<char>(ch & 0xFF), static_cast<char>(ch >> 8)};
        char buf[8];
        char* inp = in;
        char* outp = buf;
        size_t inLeft = 2;
        size_t outLeft = sizeof buf;
        if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == static_cast<size_t>(-1))
            out += '?';
        else
            out.append(buf, outp);
    }
    iconv_close(cd);
    return out;
}

class MemoryPlatform final : public ContractPlatform {
public:
    KeyStore& Store() override { return store_; }
    const NameOrder& Order() override { return order_; }
    FileSystem& Files() override { return files_; }
    KeyTreeReader& Trees() override { return trees_; }
    // Every key and value goes into both stores: the key store as the A
    // functions show it, the key trees as stored (strings in UTF-16).
    void CreateKey(const std::string& path) override
    {
        store_.CreateKey(kClassesRoot, path);
        trees_.CreateKey(WidenCodePage(path));
    }
    void SetValue(const std::string& path, std::uint32_t type, const std::string& bytes) override
    {
        store_.SetValue(kClassesRoot, path, "", type, bytes);
        trees_.SetValue(WidenCodePage(path), u"", type,
                        type == kRegSz || type == kRegExpandSz ? ToUtf16Le(WidenCodePage(bytes)) : bytes);
    }
    void SetNamedValue(const std::string& path, const std::u16string& name, std::uint32_t type,
                       const std::string& bytes) override
    {
        store_.SetValue(kClassesRoot, path, ToCodePage(name), type, bytes);
        trees_.SetValue(WidenCodePage(path), name, type, bytes);
    }
    void CreateKeyWide(const std::string& parent, const std::u16string& name) override
    {
        store_.CreateUnnamedKey(kClassesRoot, parent, ToCodePage(name));
        trees_.CreateKey(WidenCodePage(parent) + u'\\' + name);
    }
    void CreateClassKey32(const std::string& classId) override
    {
        store_.CreateKey(kClassesRoot, "Wow6432Node\\CLSID\\" + classId);
        trees_.CreateKey(u"Wow6432Node\\CLSID\\" + WidenCodePage(classId));
    }
    bool KeyExists(const std::string& path) override { return store_.KeyExists(kClassesRoot, path); }
    std::string SandboxDirectory() override { return "C:\\qobcontract\\"; }
    void MakeFile(const std::string& path, int, int, int) override { files_.AddFile(path); }
    void SetVariable(const std::string& name, const std::string& value) override { files_.SetVariable(name, value); }
    void MakeDirectory(const std::string& path) override { files_.AddDirectory(path); }
    void MakeReadOnly(const std::string& path) override { files_.AddReadOnlyFile(path); }

private:
    MemoryKeyStore store_;
    FoldedNameOrder order_;
    MemoryFileSystem files_;
    MemoryKeyTree trees_;
};

}  // namespace

std::unique_ptr<ContractPlatform> MakeContractPlatform() { return std::make_unique<MemoryPlatform>(); }

}  // namespace qob::contract
