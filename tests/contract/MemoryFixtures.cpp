#include "tests/support/MemoryKeyStore.h"
#include "tests/contract/ContractPlatform.h"
#include "tests/support/MemoryKeyTree.h"
#include "tests/support/MemoryPlatform.h"
#include "removal/BackupFormat.h"

#include <iconv.h>

namespace qob::contract {

namespace {

// UTF-16 to UTF-8 (iconv).
std::string NarrowUtf16(const std::u16string& text)
{
    const std::string in = ToUtf16Le(text);
    std::string out(in.size() * 2 + 4, '\0');
    iconv_t cd = iconv_open("UTF-8", "UTF-16LE");
    char* inp = const_cast<char*>(in.data());
    char* outp = out.data();
    std::size_t inLeft = in.size();
    std::size_t outLeft = out.size();
    iconv(cd, &inp, &inLeft, &outp, &outLeft);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

bool IsStringType(std::uint32_t type) { return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz; }

class MemoryPlatform final : public ContractPlatform {
public:
    KeyStore& Store() override { return store_; }
    const NameOrder& Order() override { return order_; }
    FileSystem& Files() override { return files_; }
    KeyTreeReader& Trees() override { return trees_; }
    // Every key and value goes into both stores: the key store as the W
    // functions show it converted to UTF-8, the key trees as stored (strings
    // in UTF-16).
    void CreateKey(const std::string& path) override
    {
        store_.CreateKey(kClassesRoot, path);
        trees_.CreateKey(WidenUtf8(path));
    }
    void SetValue(const std::string& path, std::uint32_t type, const std::string& bytes) override
    {
        store_.SetValue(kClassesRoot, path, "", type, bytes);
        trees_.SetValue(WidenUtf8(path), u"", type, IsStringType(type) ? ToUtf16Le(WidenUtf8(bytes)) : bytes);
    }
    void SetNamedValue(const std::string& path, const std::u16string& name, std::uint32_t type,
                       const std::string& bytes) override
    {
        store_.SetValue(kClassesRoot, path, NarrowUtf16(name), type,
                        IsStringType(type) ? NarrowUtf16(FromUtf16Le(bytes)) : bytes);
        trees_.SetValue(WidenUtf8(path), name, type, bytes);
    }
    void CreateClassKey32(const std::string& classId) override
    {
        store_.CreateKey(kClassesRoot, "Wow6432Node\\CLSID\\" + classId);
        trees_.CreateKey(u"Wow6432Node\\CLSID\\" + WidenUtf8(classId));
    }
    bool KeyExists(const std::string& path) override { return store_.KeyExists(kClassesRoot, path); }
    long SetOwner(const std::string& path, const std::string& owner) override
    {
        store_.SetOwner(kClassesRoot, path, owner);
        return 0;
    }
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
