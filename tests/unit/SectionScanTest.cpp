#include "sections/SectionScan.h"

#include "catalogue/Registry.h"
#include "tests/support/MemoryKeyStore.h"
#include "tests/support/MemoryPlatform.h"

#include <gtest/gtest.h>

#include <random>

namespace qob {
namespace {

// How a case examines the keys: the findings must not tell the ways apart.
struct ExamineWay {
    const char* name;
    unsigned threads;
    bool paced;  // the helpers and the calling thread take turns
};

// A clock that makes the pacing's choices at random, with a fixed seed.
long long ShakyClock()
{
    static thread_local std::minstd_rand random(11);
    static thread_local long long time = 0;
    time += random() % 5 == 0 ? 1000 : 1;
    return time;
}

class SectionScanTest : public ::testing::TestWithParam<ExamineWay> {
protected:
    void Text(const std::string& path, const std::string& value, const std::string& name = "")
    {
        store.SetValue(kClassesRoot, path, name, kRegSz, value + '\0');
    }
    SectionFindings ExamineAll()
    {
        std::atomic<bool> cancel{false};
        return Examination().ExamineAll({}, cancel);
    }
    SectionExamination Examination()
    {
        return SectionExamination(store, files, order, GetParam().threads,
                                  GetParam().paced ? ScanPacing{ShakyClock, 2, 5} : ScanPacing{});
    }
    std::string Lines()
    {
        const SectionFindings findings = ExamineAll();
        EXPECT_FALSE(findings.error);
        EXPECT_FALSE(findings.cancelled);
        return SectionLines(findings.keys);
    }

    MemoryKeyStore store;
    MemoryFileSystem files;
    FoldedNameOrder order;
};

INSTANTIATE_TEST_SUITE_P(Ways, SectionScanTest,
                         ::testing::Values(ExamineWay{"alone", 1, false}, ExamineWay{"helpers", 4, false},
                                           ExamineWay{"paced", 4, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// Every verdict rule, healthy and broken side by side; the lines come by
// kind, then by key in the name order whatever the case.
TEST_P(SectionScanTest, VerdictTable)
{
    files.AddFile("C:\\app\\here.dll");
    files.AddFile("C:\\app\\here.tlb");
    files.AddFile("C:\\windows\\SysWOW64\\wow.dll");
    files.AddFile("C:\\windows\\SysWOW64\\wow.tlb");
    files.AddDirectory("C:\\app\\folder.dll");
    files.SetVariable("APP", "C:\\app");
    files.FailSearch("\\\\server\\share", 53);

    // Classes.
    Text("CLSID\\{C1}\\TreatAs", "{C2}");                            // no server subkey: never broken
    Text("CLSID\\{C2}\\InprocServer32", "bare.dll");                 // a bare name is found on the path
    Text("CLSID\\{C3}\\InprocServer32", "C:\\app\\gone.dll");        // one of two servers there
    Text("CLSID\\{C3}\\LocalServer32", "\"C:\\app\\here.dll\" -Embedding");
    Text("CLSID\\{c4}", "Both\tgone");                              // both missing: broken, in that order
    Text("CLSID\\{c4}\\InprocServer32", "C:\\app\\gone.dll");
    Text("CLSID\\{c4}\\LocalServer32", "C:\\app\\gone.exe /automation");
    Text("CLSID\\{C5}\\InprocServer32", "C:\\app\\folder.dll");      // a folder is no server
    Text("CLSID\\{C6}\\LocalServer32", "\\\\server\\share\\x.exe");  // cannot be examined: healthy
    Text("CLSID\\{C7}\\InprocServer32", "%APP%\\here.dll");
    Text("Wow6432Node\\CLSID\\{C8}\\InprocServer32", "C:\\windows\\system32\\wow.dll");  // in SysWOW64
    Text("Wow6432Node\\CLSID\\{C9}", "32-bit");
    Text("Wow6432Node\\CLSID\\{C9}\\InprocServer32", "C:\\app\\gone32.dll");
    Text("CLSID\\{C8}\\InprocServer32", "C:\\windows\\system32\\wow.dll");  // the native view has no SysWOW64

    // Type libraries.
    Text("TypeLib\\{T1}\\1.0\\0\\win32", "C:\\app\\gone.tlb");  // one healthy version of two
    Text("TypeLib\\{T1}\\2.0\\409\\win64", "%APP%\\here.tlb");
    Text("TypeLib\\{T2}", "resources");
    Text("TypeLib\\{T2}\\1.0\\0\\win32", "C:\\app\\here.dll\\3");  // a resource of a file that is there
    Text("TypeLib\\{T2}\\1.0\\9\\win64", "C:\\app\\gone.dll\\2");
    Text("TypeLib\\{T3}\\1.0\\0\\win32", "C:\\app\\gone.dll\\2");  // all missing
    Text("TypeLib\\{T3}\\1.0\\0\\win64", "\"C:\\app\\gone64.tlb\"");
    Text("TypeLib\\{T3}\\1.0\\HELPDIR", "C:\\app");                  // no file entry
    Text("TypeLib\\{T4}\\1.0\\0\\win32", "C:\\windows\\system32\\wow.tlb");  // found in SysWOW64
    Text("TypeLib\\{T5}\\1.0\\0\\win64", "C:\\windows\\system32\\wow.tlb");  // win64: not looked for there
    Text("TypeLib\\{T6}\\1.0\\0\\win32", "stdole2.tlb");
    Text("TypeLib\\{T7}\\1.0\\FLAGS", "0");                          // no file entry at all
    Text("TypeLib\\{T7}\\1.0\\0\\win16", "C:\\app\\gone16.tlb");

    // Interfaces.
    const std::string lib = "{0B0B5E71-0000-4000-8000-000000000001}";
    const std::string noLib = "{0B0B5E71-0000-4000-8000-0000000000FF}";
    const std::string proxy = "{0B0B5EC1-0000-4000-8000-000000000001}";
    const std::string proxy32 = "{0B0B5EC1-0000-4000-8000-000000000032}";
    const std::string noProxy = "{0B0B5EC1-0000-4000-8000-0000000000FF}";
    store.CreateKey(kClassesRoot, "TypeLib\\" + lib);
    store.CreateKey(kClassesRoot, "CLSID\\" + proxy);
    store.CreateKey(kClassesRoot, "Wow6432Node\\CLSID\\" + proxy32);
    Text("Interface\\{I1}\\TypeLib", "{0b0b5e71-0000-4000-8000-000000000001}");  // registered, in any case
    Text("Interface\\{I1}\\ProxyStubClsid32", noProxy);                         // the library decides
    Text("Interface\\{I2}", "IGone");
    Text("Interface\\{I2}\\TypeLib", noLib);
    Text("Interface\\{I2}\\ProxyStubClsid32", "{00020424-0000-0000-C000-000000000046}");  // the library decides
    Text("Interface\\{I3}\\ProxyStubClsid32", proxy);
    Text("Interface\\{I4}\\ProxyStubClsid32", proxy32);  // the 32-bit view's class will do
    Text("Interface\\{I5}\\ProxyStubClsid32", noProxy);
    Text("Interface\\{I6}\\TypeLib", "");                 // an empty or malformed id names nothing
    Text("Interface\\{I7}\\TypeLib", "{0B0B5E71-0000-4000-8000-00000000001}");
    Text("Interface\\{I8}\\ProxyStubClsid32", "0B0B5EC1-0000-4000-8000-0000000000FF");
    Text("Interface\\{I9}\\ProxyStubClsid32", "{0B0B5EC1-0000-4000-8000-0000000000FG}");
    store.CreateKey(kClassesRoot, "Interface\\{IA}\\TypeLib");  // no value at all
    Text("Wow6432Node\\Interface\\{J1}\\ProxyStubClsid32", noProxy);  // the 32-bit view's, by the same rules
    Text("Wow6432Node\\Interface\\{J2}\\ProxyStubClsid32", proxy32);

    // Shell extension handlers: a class in either view will do, even a broken
    // one; a value that is no class id names nothing.
    const std::string noHandler = "{0B0B5EC1-0000-4000-8000-0000000000EE}";
    const std::string menus = "txtfile\\shellex\\ContextMenuHandlers\\";
    Text(menus + "Gone", noHandler);
    Text(menus + "Wow", proxy32);
    Text(menus + "Native", "{0b0b5ec1-0000-4000-8000-000000000001}");
    Text(menus + "Off", "--" + noHandler);
    Text(menus + noHandler, "");                                       // named by its key
    store.CreateKey(kClassesRoot, menus + "{0B0B5EC1-0000-4000-8000-0000000000ED}");  // no value at all
    store.SetValue(kClassesRoot, menus + "Dword", "", kRegDword, std::string(4, '\0'));
    Text("*\\shellex\\PropertySheetHandlers\\Sheet", noHandler);
    Text("Directory\\Background\\shellex\\ContextMenuHandlers\\Back", noHandler);
    const std::string thumbnail = "{BB2E617C-0920-11D1-9A0B-00C04FC2D6C1}";
    Text("SystemFileAssociations\\.xyz\\shellex\\" + thumbnail, noHandler);
    store.CreateKey(kClassesRoot, "SystemFileAssociations\\.abc\\shellex\\" + thumbnail);  // an interface's id
    Text("txtfile\\shellex\\IconHandler", proxy);
    Text("txtfile\\shellex\\Unknown", noHandler);                     // no handler key at all
    Text("txtfile\\Handlers\\ContextMenuHandlers\\Elsewhere", noHandler);

    // File types: a ProgID in any case will do.
    Text(".gone", "Gone.Document");
    Text(".gone", "text/gone", "Content Type");
    Text(".case", "TXTFILE");
    Text(".empty", "");
    store.CreateKey(kClassesRoot, ".none\\OpenWithProgids");
    store.SetValue(kClassesRoot, ".dword", "", kRegDword, std::string(4, '\0'));

    EXPECT_EQ(Lines(),
              "class\tCLSID\\{c4}\tBoth\\x09gone\tmissing-server C:\\app\\gone.dll|C:\\app\\gone.exe /automation\n"
              "class\tCLSID\\{C5}\t\tmissing-server C:\\app\\folder.dll\n"
              "class\tCLSID\\{C8}\t\tmissing-server C:\\windows\\system32\\wow.dll\n"
              "class\tWow6432Node\\CLSID\\{C9}\t32-bit\tmissing-server C:\\app\\gone32.dll\n"
              "typelib\tTypeLib\\{T3}\t\tmissing-file C:\\app\\gone.dll\\2|\"C:\\app\\gone64.tlb\"\n"
              "typelib\tTypeLib\\{T5}\t\tmissing-file C:\\windows\\system32\\wow.tlb\n"
              "interface\tInterface\\{I2}\tIGone\tunregistered-typelib " + noLib + "\n"
              "interface\tInterface\\{I5}\t\tunregistered-class " + noProxy + "\n"
              "interface\tWow6432Node\\Interface\\{J1}\t\tunregistered-class " + noProxy + "\n"
              "shellex\t*\\shellex\\PropertySheetHandlers\\Sheet\tPropertySheetHandlers\tmissing-class " + noHandler + "\n"
              "shellex\tDirectory\\Background\\shellex\\ContextMenuHandlers\\Back\tContextMenuHandlers\tmissing-class " +
                  noHandler + "\n"
              "shellex\tSystemFileAssociations\\.xyz\\shellex\\" + thumbnail + "\t" + thumbnail + "\tmissing-class " +
                  noHandler + "\n"
              "shellex\ttxtfile\\shellex\\ContextMenuHandlers\\Gone\tContextMenuHandlers\tmissing-class " + noHandler + "\n"
              "shellex\ttxtfile\\shellex\\ContextMenuHandlers\\{0B0B5EC1-0000-4000-8000-0000000000ED}\tContextMenuHandlers"
              "\tmissing-class {0B0B5EC1-0000-4000-8000-0000000000ED}\n"
              "shellex\ttxtfile\\shellex\\ContextMenuHandlers\\" + noHandler + "\tContextMenuHandlers\tmissing-class " +
                  noHandler + "\n"
              "filetype\t.gone\ttext/gone\tmissing-progid Gone.Document\n");
}

// A class whose servers are all gone is healthy when Windows activates it
// another way: through the class its TreatAs names, or through the service
// its AppID names. Anything less leaves it broken.
TEST_P(SectionScanTest, ClassesActivatedAnotherWay)
{
    const std::string target = "{0B0B5EC1-0000-4000-8000-000000000001}";
    const std::string target32 = "{0B0B5EC1-0000-4000-8000-000000000032}";
    const std::string service = "{0B0B5EA1-0000-4000-8000-000000000001}";
    const std::string server = "{0B0B5EA1-0000-4000-8000-000000000002}";
    const std::string noApp = "{0B0B5EA1-0000-4000-8000-0000000000FF}";
    store.CreateKey(kClassesRoot, "CLSID\\" + target);
    store.CreateKey(kClassesRoot, "Wow6432Node\\CLSID\\" + target32);
    Text("AppID\\" + service, "QobService", "LocalService");
    Text("AppID\\" + server, "Interactive User", "RunAs");
    const auto gone = [this](const std::string& key) { Text(key + "\\LocalServer32", "C:\\app\\gone.exe"); };

    gone("CLSID\\{A1}");  // forwarded to a class there, in either view, in any case
    Text("CLSID\\{A1}\\TreatAs", "{0b0b5ec1-0000-4000-8000-000000000001}");
    gone("CLSID\\{A2}");
    Text("CLSID\\{A2}\\TreatAs", target32);
    gone("Wow6432Node\\CLSID\\{A3}");
    Text("Wow6432Node\\CLSID\\{A3}\\TreatAs", target);
    gone("CLSID\\{A4}");  // hosted by a service, in either view
    Text("CLSID\\{A4}", service, "AppID");
    gone("Wow6432Node\\CLSID\\{A5}");
    Text("Wow6432Node\\CLSID\\{A5}", service, "AppID");

    gone("CLSID\\{B1}");  // a TreatAs that names nothing, or the class itself
    Text("CLSID\\{B1}\\TreatAs", "{0B0B5EC1-0000-4000-8000-0000000000FF}");
    gone("CLSID\\{B2}");
    Text("CLSID\\{B2}\\TreatAs", "");
    gone("CLSID\\{B3}");
    Text("CLSID\\{B3}\\TreatAs", "0B0B5EC1-0000-4000-8000-000000000001");
    const std::string self = "{0B0B5EC1-0000-4000-8000-0000000000B4}";
    gone("CLSID\\" + self);
    Text("CLSID\\" + self + "\\TreatAs", self);
    gone("CLSID\\{B5}");  // an AppID without a service, without a key, malformed, of another type
    Text("CLSID\\{B5}", server, "AppID");
    gone("CLSID\\{B6}");
    Text("CLSID\\{B6}", noApp, "AppID");
    gone("CLSID\\{B7}");
    Text("CLSID\\{B7}", "QobService", "AppID");
    gone("CLSID\\{B8}");
    store.SetValue(kClassesRoot, "CLSID\\{B8}", "AppID", kRegDword, std::string(4, '\0'));
    store.SetValue(kClassesRoot, "CLSID\\{B8}\\TreatAs", "", kRegDword, std::string(4, '\0'));

    const std::string tail = "\t\tmissing-server C:\\app\\gone.exe\n";
    EXPECT_EQ(Lines(), "class\tCLSID\\" + self + tail + "class\tCLSID\\{B1}" + tail + "class\tCLSID\\{B2}" + tail +
                           "class\tCLSID\\{B3}" + tail + "class\tCLSID\\{B5}" + tail + "class\tCLSID\\{B6}" + tail +
                           "class\tCLSID\\{B7}" + tail + "class\tCLSID\\{B8}" + tail);
}

// An interface marshalled by a proxy of its own does not need its type
// library; one marshalled from the type library does, and its proxy class
// still decides when there is no TypeLib subkey.
TEST_P(SectionScanTest, InterfacesWithTheirOwnProxy)
{
    const std::string noLib = "{0B0B5E71-0000-4000-8000-0000000000FF}";
    const std::string proxy = "{0B0B5EC1-0000-4000-8000-000000000001}";
    const std::string proxy32 = "{0B0B5EC1-0000-4000-8000-000000000032}";
    const std::string noProxy = "{0B0B5EC1-0000-4000-8000-0000000000FF}";
    const std::string automation = "{00020424-0000-0000-C000-000000000046}";
    const std::string dispatch = "{00020420-0000-0000-c000-000000000046}";
    store.CreateKey(kClassesRoot, "CLSID\\" + proxy);
    store.CreateKey(kClassesRoot, "Wow6432Node\\CLSID\\" + proxy32);
    store.CreateKey(kClassesRoot, "CLSID\\" + automation);
    store.CreateKey(kClassesRoot, "CLSID\\{00020420-0000-0000-C000-000000000046}");
    const auto unregistered = [&](const std::string& key, const std::string& proxyId) {
        Text(key + "\\TypeLib", noLib);
        Text(key + "\\ProxyStubClsid32", proxyId);
    };

    unregistered("Interface\\{A1}", proxy);    // its own proxy, in either view
    unregistered("Interface\\{A2}", proxy32);
    unregistered("Interface\\{B1}", automation);  // the marshallers, in any case
    unregistered("Interface\\{B2}", dispatch);
    unregistered("Interface\\{B3}", noProxy);  // a proxy that is not registered
    unregistered("Interface\\{B4}", "");
    Text("Interface\\{B5}\\TypeLib", noLib);  // no proxy; a proxy value of another type
    Text("Interface\\{B6}\\TypeLib", noLib);
    store.SetValue(kClassesRoot, "Interface\\{B6}\\ProxyStubClsid32", "", kRegDword, std::string(4, '\0'));
    Text("Interface\\{C1}\\ProxyStubClsid32", automation);  // no TypeLib subkey: the proxy class decides
    Text("Interface\\{C2}\\ProxyStubClsid32", noProxy);

    const std::string typelib = "\t\tunregistered-typelib " + noLib + "\n";
    EXPECT_EQ(Lines(), "interface\tInterface\\{B1}" + typelib + "interface\tInterface\\{B2}" + typelib +
                           "interface\tInterface\\{B3}" + typelib + "interface\tInterface\\{B4}" + typelib +
                           "interface\tInterface\\{B5}" + typelib + "interface\tInterface\\{B6}" + typelib +
                           "interface\tInterface\\{C2}\t\tunregistered-class " + noProxy + "\n");
}

// The common keys - a class whose server is there, an interface whose type
// library is registered - are settled by the reads they always took: what
// else may make a key healthy is looked for only when it would be broken.
TEST_P(SectionScanTest, HealthyKeysTakeNoExtraReads)
{
    files.AddFile("C:\\app\\here.dll");
    const std::string lib = "{0B0B5E71-0000-4000-8000-000000000001}";
    store.CreateKey(kClassesRoot, "TypeLib\\" + lib);
    for (int i = 0; i < 5; ++i) {
        const std::string id = "{0B0B5EC1-0000-4000-8000-00000000000" + std::to_string(i) + "}";
        Text("CLSID\\" + id + "\\InprocServer32", "C:\\app\\here.dll");
        Text("CLSID\\" + id + "\\TreatAs", "{0B0B5EC1-0000-4000-8000-000000000001}");
        Text("CLSID\\" + id, "{0B0B5EA1-0000-4000-8000-000000000001}", "AppID");
        Text("Interface\\{I" + std::to_string(i) + "}\\TypeLib", lib);
        Text("Interface\\{I" + std::to_string(i) + "}\\ProxyStubClsid32", "{0B0B5EC1-0000-4000-8000-000000000001}");
    }
    Text("AppID\\{0B0B5EA1-0000-4000-8000-000000000001}", "service", "LocalService");

    std::atomic<bool> cancel{false};
    const SectionFindings findings = SectionExamination(store, files, order, 1).ExamineAll({}, cancel);
    EXPECT_TRUE(findings.keys.empty());
    // The five sections listed (the 32-bit classes' and interfaces' keys are
    // not there) and opened again by the examiner, the type library's own
    // key, then one server subkey a class and one TypeLib subkey an
    // interface; for the handlers SystemFileAssociations listed, and one
    // shellex key looked for by each of the root's four keys and by
    // Directory\Background.
    EXPECT_EQ(store.OpenCount(), 5u + 3u + 1u + 5u + 5u + 1u + 4u + 1u);
}

// A value that cannot be read ends the examination: the broken keys listed
// before it stay, none after it, whatever the number of threads.
TEST_P(SectionScanTest, ReadErrorKeepsWhatCameBefore)
{
    for (const char* id : {"{A}", "{C}"})
        Text(std::string("CLSID\\") + id + "\\InprocServer32", "C:\\gone.dll");
    store.SetValue(kClassesRoot, "CLSID\\{B}\\InprocServer32", "", kRegDword, std::string(4, '\0'));
    for (int i = 0; i < 40; ++i)
        Text("Interface\\{I" + std::to_string(i) + "}\\ProxyStubClsid32", "{0B0B5EC1-0000-4000-8000-0000000000FF}");

    const SectionFindings findings = ExamineAll();
    ASSERT_TRUE(findings.error);
    EXPECT_THROW(std::rethrow_exception(findings.error), ERegistryException);
    EXPECT_EQ(SectionLines(findings.keys), "class\tCLSID\\{A}\t\tmissing-server C:\\gone.dll\n");
}

TEST_P(SectionScanTest, ProgressCountsEveryKeyAndCancelStops)
{
    for (int i = 0; i < 30; ++i)
        Text("CLSID\\{K" + std::to_string(i) + "}\\InprocServer32", "C:\\gone.dll");
    std::atomic<bool> cancel{false};
    std::size_t lastDone = 0;
    std::size_t lastTotal = 0;
    const SectionFindings all = Examination().ExamineAll([&](std::size_t done, std::size_t total) {
                                        EXPECT_LE(done, total);
                                        lastDone = done;
                                        lastTotal = total;
                                    }, cancel);
    EXPECT_EQ(all.keys.size(), 30u);
    // The classes, and the two places a shellex key is looked for: the
    // root's one key and Directory\Background.
    EXPECT_EQ(lastTotal, 32u);
    EXPECT_EQ(lastDone, 32u);

    // Cancelled before it begins: nothing examined.
    cancel = true;
    const SectionFindings none = Examination().ExamineAll({}, cancel);
    EXPECT_TRUE(none.cancelled);
    EXPECT_TRUE(none.keys.empty());

    // Cancelled after the tenth key on one thread: those examined stay, the
    // rest is not begun.
    cancel = false;
    const SectionFindings part = SectionExamination(store, files, order, 1)
                                     .ExamineAll([&](std::size_t done, std::size_t) {
                                         if (done >= 10)
                                             cancel = true;
                                     }, cancel);
    EXPECT_TRUE(part.cancelled);
    EXPECT_FALSE(part.error);
    EXPECT_EQ(part.keys.size(), 10u);
}

// Just before a deletion: the key as it is now, and only a key one level
// below its section.
TEST_P(SectionScanTest, ExamineAgainSeesTheKeyAsItIsNow)
{
    Text("CLSID\\{A}\\InprocServer32", "C:\\app\\a.dll");
    Text("Wow6432Node\\CLSID\\{A}\\InprocServer32", "C:\\app\\a32.dll");
    Text("Interface\\{I}\\ProxyStubClsid32", "{0B0B5EC1-0000-4000-8000-0000000000FF}");
    SectionFindings findings = ExamineAll();
    ASSERT_EQ(findings.keys.size(), 3u);
    SectionExamination examination = Examination();
    const BrokenKey native = findings.keys[0];
    const BrokenKey wow = findings.keys[1];
    const BrokenKey iface = findings.keys[2];
    ASSERT_EQ(wow.name, "Wow6432Node\\CLSID\\{A}");
    EXPECT_EQ(wow.path, "CLSID\\{A}");

    files.AddFile("C:\\app\\a.dll");
    EXPECT_FALSE(examination.ExamineAgain(native));
    const std::optional<BrokenKey> still = examination.ExamineAgain(wow);
    ASSERT_TRUE(still);
    EXPECT_EQ(still->name, wow.name);
    EXPECT_EQ(still->missing, std::vector<std::string>{"C:\\app\\a32.dll"});
    ASSERT_TRUE(examination.ExamineAgain(iface));
    store.CreateKey(kClassesRoot, "Wow6432Node\\CLSID\\{0B0B5EC1-0000-4000-8000-0000000000FF}");
    EXPECT_FALSE(examination.ExamineAgain(iface));

    for (const char* path : {"CLSID", "CLSID\\", "CLSID\\{A}\\InprocServer32", "TypeLib\\{A}", "\\CLSID\\{A}"}) {
        BrokenKey other = wow;
        other.path = path;
        EXPECT_FALSE(examination.ExamineAgain(other)) << path;
    }
    store.SetValue(kClassesRoot, "Wow6432Node\\CLSID\\{A}\\InprocServer32", "", kRegDword, std::string(4, '\0'));
    EXPECT_FALSE(examination.ExamineAgain(wow)) << "a key that cannot be read is not deleted";
}

// Each broken key says which hives hold it, named there as the system names
// it: the user's 32-bit classes too are below Wow6432Node. (The in-memory
// classes root is the machine's alone, as under Wine: a key only the user
// holds is asked of the hives directly.)
TEST_P(SectionScanTest, BrokenKeysTellTheirHives)
{
    const std::string userClasses = "Software\\Classes\\";
    for (const char* id : {"{M}", "{B}"})
        Text(std::string("CLSID\\") + id + "\\InprocServer32", "C:\\app\\gone.dll");
    Text("Wow6432Node\\CLSID\\{W}\\InprocServer32", "C:\\app\\gone32.dll");
    store.CreateKey(kCurrentUser, userClasses + "CLSID\\{B}");
    store.CreateKey(kCurrentUser, userClasses + "Wow6432Node\\CLSID\\{W}");
    store.CreateKey(kCurrentUser, userClasses + "CLSID\\{W}");  // the 64-bit view's name: not the 32-bit key
    const SectionFindings findings = ExamineAll();
    ASSERT_EQ(findings.keys.size(), 3u);
    EXPECT_EQ(findings.keys[0].name, "CLSID\\{B}");
    EXPECT_EQ(findings.keys[0].hives, KeyHives::Both);
    EXPECT_EQ(findings.keys[1].hives, KeyHives::Machine);
    EXPECT_EQ(findings.keys[2].name, "Wow6432Node\\CLSID\\{W}");
    EXPECT_EQ(findings.keys[2].hives, KeyHives::Both);

    store.CreateKey(kCurrentUser, userClasses + "TypeLib\\{U}");
    store.DenyReading(kCurrentUser, userClasses + "TypeLib\\{U}");
    EXPECT_EQ(FindKeyHives(store, "TypeLib\\{U}", RegistryView::Wow64_32), KeyHives::User) << "there, if unreadable";
    EXPECT_EQ(FindKeyHives(store, "TypeLib\\{gone}", RegistryView::Native), KeyHives::None);
}

// The handlers and file types too, each key on its own: never its shellex
// key, its handler list or a key below a file type.
TEST_P(SectionScanTest, ExamineAgainSeesHandlersAndFileTypesAsTheyAreNow)
{
    const std::string noHandler = "{0B0B5EC1-0000-4000-8000-0000000000EE}";
    Text("SystemFileAssociations\\.a\\shellex\\ContextMenuHandlers\\Foo", noHandler);
    Text(".gone", "Gone.Document");
    SectionFindings findings = ExamineAll();
    ASSERT_EQ(findings.keys.size(), 2u);
    SectionExamination examination = Examination();
    const BrokenKey handler = findings.keys[0];
    const BrokenKey type = findings.keys[1];
    EXPECT_TRUE(examination.ExamineAgain(handler));
    EXPECT_TRUE(examination.ExamineAgain(type));

    for (const char* path : {"SystemFileAssociations\\.a\\shellex\\ContextMenuHandlers",
                             "SystemFileAssociations\\.a\\shellex", "a\\b\\shellex\\ContextMenuHandlers\\Foo",
                             "SystemFileAssociations\\.a\\shellex\\ContextMenuHandlers\\Foo\\Sub", "\\.gone"}) {
        BrokenKey other = handler;
        other.path = path;
        EXPECT_FALSE(examination.ExamineAgain(other)) << path;
    }
    for (const char* path : {".gone\\OpenWithProgids", ".", "gone"}) {
        BrokenKey other = type;
        other.path = path;
        EXPECT_FALSE(examination.ExamineAgain(other)) << path;
    }

    store.CreateKey(kClassesRoot, "Wow6432Node\\CLSID\\" + noHandler);
    store.CreateKey(kClassesRoot, "gone.document");
    EXPECT_FALSE(examination.ExamineAgain(handler));
    EXPECT_FALSE(examination.ExamineAgain(type));
}

}  // namespace
}  // namespace qob
