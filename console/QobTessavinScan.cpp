// QobTessavinScan: runs the registration scan on HKEY_CLASSES_ROOT and
// writes the resulting tree to standard output, for audits from scripts.
//
//   QobTessavinScan.exe [--utf8] [--faulty] [--threads N]
//   QobTessavinScan.exe [--utf8] --sections [--threads N]   the broken classes,
//                                            type libraries and interfaces
//   QobTessavinScan.exe --csv (--faulty | --sections) [--threads N]   the same as a report
//   QobTessavinScan.exe [--utf8] --sections --fix [--dry-run] [--threads N]
//                                            deletes the broken keys --sections lists
//   QobTessavinScan.exe [--utf8] --restore <folder>   puts a removal's backup back
//
// --sections writes one line per broken key, "kind TAB key TAB description
// TAB reason LF", by kind (class, typelib, interface) and then by key.
// --csv writes the report of the window's "save report" instead, always in
// UTF-8 with its byte order mark. --fix deletes each key listed with the
// other-broken window's rules (sections/FixLines.h writes its lines); with
// --dry-run it only tells what it would delete.
// --threads sets the number of threads that read the registry (1 to 8; 1
// reads everything on the main thread); without it the number is chosen from
// the machine's processors. Text goes to a console as it is; redirected, it
// is written in the system's code page, or in UTF-8 with --utf8. Messages
// are in the user interface's language.
//
// Exit status 0 when the scan completed, 1 when it ended by an error (the
// partial tree is written, the message goes to standard error; --fix then
// deletes nothing), 2 for a bad command line, 3 when --fix could not delete
// every key.
#include "catalogue/Scan.h"
#include "catalogue/TreeDump.h"
#include "catalogue/Win32Text.h"
#include "catalogue/Win32Platform.h"
#include "console/ConsoleOutput.h"
#include "removal/Restore.h"
#include "removal/Win32Backup.h"
#include "sections/CsvReport.h"
#include "sections/FixLines.h"
#include "sections/SectionDeletion.h"
#include "sections/SectionScan.h"
#include "texts/Texts.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

namespace {

struct Options {
    bool utf8 = false;
    bool faultyOnly = false;
    bool sections = false;
    bool csv = false;
    bool fix = false;
    bool dryRun = false;
    unsigned threads = 0;
    bool restore = false;
    std::wstring folder;
};

// The command line's arguments after the program's name, as typed.
std::vector<std::wstring> Arguments()
{
    std::vector<std::wstring> arguments;
    int count = 0;
    if (wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        arguments.assign(wide + std::min(count, 1), wide + count);
        ::LocalFree(wide);
    }
    return arguments;
}

// A thread count from 1 to kMaxScanThreads, in decimal digits only.
bool ParseThreads(const std::wstring& text, unsigned& threads)
{
    unsigned value = 0;
    for (const wchar_t c : text) {
        if (c < L'0' || c > L'9' || value > qob::kMaxScanThreads)
            return false;
        value = value * 10 + static_cast<unsigned>(c - L'0');
    }
    if (text.empty() || value < 1 || value > qob::kMaxScanThreads)
        return false;
    threads = value;
    return true;
}

// False for a bad command line. `--utf8` may stand anywhere; `--restore`
// takes the folder and nothing else.
bool ParseOptions(std::vector<std::wstring> arguments, Options& options)
{
    const auto utf8 = std::remove(arguments.begin(), arguments.end(), L"--utf8");
    options.utf8 = utf8 != arguments.end();
    arguments.erase(utf8, arguments.end());
    if (!arguments.empty() && arguments[0] == L"--restore") {
        options.restore = true;
        if (arguments.size() != 2 || arguments[1].empty())
            return false;
        options.folder = arguments[1];
        return true;
    }
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const bool hasValue = i + 1 < arguments.size();
        if (arguments[i] == L"--faulty" && !options.sections)
            options.faultyOnly = true;
        else if (arguments[i] == L"--sections" && !options.faultyOnly)
            options.sections = true;
        else if (arguments[i] == L"--csv" && !options.fix)
            options.csv = true;
        else if (arguments[i] == L"--fix" && !options.csv)
            options.fix = true;
        else if (arguments[i] == L"--dry-run")
            options.dryRun = true;
        else if (arguments[i] == L"--threads" && hasValue && ParseThreads(arguments[i + 1], options.threads))
            ++i;
        else
            return false;
    }
    // A report is of the faulty entries or of the sections; only the
    // sections' keys are cleaned up by a script.
    if (options.csv && !options.faultyOnly && !options.sections)
        return false;
    if ((options.fix && !options.sections) || (options.dryRun && !options.fix))
        return false;
    return true;
}

// The registration tree of HKEY_CLASSES_ROOT; a scan that ended by an error
// leaves the partial tree and the message in `error`.
bool ScanTree(qob::TTreeNodes& tree, unsigned threads, std::string& error)
{
    qob::Win32KeyStore store;
    qob::Win32NameOrder order;
    qob::Win32FileSystem files;
    qob::CheckedServers servers(files);
    try {
        qob::RunRegistrationScan(tree, store, order, servers, threads, {qob::MonotonicMicroseconds});
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
    return true;
}

int Scan(const Options& options, const qob::ConsoleOutput& out, const qob::ConsoleOutput& err)
{
    qob::TTreeNodes tree;
    std::string error;
    const bool scanned = ScanTree(tree, options.threads, error);
    out.Write(options.csv ? qob::CsvReport(qob::FaultyEntryReportRows(tree)) : qob::DumpTree(tree, options.faultyOnly));
    if (scanned)
        return 0;
    err.Write(error + "\n");
    return 1;
}

// Deletes the keys (or, in a dry run, tells which would go) with the
// other-broken window's rules: each examined again, all saved into one
// backup folder, each deleted in its own view. A key of a ProgID is never
// among them: the sections hold classes, type libraries and interfaces only.
int FixKeys(const Options& options, const std::vector<qob::BrokenKey>& keys, qob::KeyStore& store,
            qob::SectionExamination& examination, const qob::ConsoleOutput& out)
{
    qob::Win32RemovalBackup backup(std::string(qob::Text(qob::TextId::OtherBrokenCaption)));
    qob::SectionDeletion deletion(
        store, backup, [&examination](const qob::BrokenKey& key) { return examination.ExamineAgain(key); },
        [](long code) { return qob::SystemErrorText(static_cast<unsigned long>(code)); });
    deletion.SetDryRun(options.dryRun);
    const std::atomic<bool> never{false};
    const qob::SectionDeletionOutcome outcome = deletion.Run(keys, {}, never);
    out.Write(qob::FixLines(keys, outcome, options.dryRun));
    return qob::FixExitStatus(keys, outcome);
}

// The report of the broken keys names the ProgIDs of the tree that name
// them: the tree is scanned for it.
std::string SectionReport(const std::vector<qob::BrokenKey>& keys, unsigned threads, std::string& error)
{
    qob::TTreeNodes tree;
    ScanTree(tree, threads, error);
    return qob::CsvReport(qob::BrokenKeyReportRows(keys, qob::ProgIdNames(tree)));
}

int ExamineSections(const Options& options, const qob::ConsoleOutput& out, const qob::ConsoleOutput& err)
{
    qob::Win32KeyStore store;
    qob::Win32NameOrder order;
    qob::Win32FileSystem files;
    const std::atomic<bool> never{false};
    qob::SectionExamination examination(store, files, order, options.threads, {qob::MonotonicMicroseconds});
    const qob::SectionFindings findings = examination.ExamineAll({}, never);
    std::string error;
    if (findings.error) {
        try {
            std::rethrow_exception(findings.error);
        } catch (const std::exception& e) {
            error = e.what();
        }
    } else if (options.fix) {
        return FixKeys(options, findings.keys, store, examination, out);
    }
    // A listing cut short by an error is not cleaned up: only written.
    out.Write(options.csv ? SectionReport(findings.keys, options.threads, error) : qob::SectionLines(findings.keys));
    if (error.empty())
        return 0;
    err.Write(error + "\n");
    return 1;
}

}  // namespace

int main()
{
    qob::SelectLanguage(qob::LanguageForUiLanguage(::GetUserDefaultUILanguage()));
    Options options;
    const bool understood = ParseOptions(Arguments(), options);
    // A report is a UTF-8 file with its byte order mark, wherever it goes.
    const auto encoding =
        options.utf8 || options.csv ? qob::OutputEncoding::Utf8 : qob::OutputEncoding::SystemCodePage;
    const qob::ConsoleOutput out(STD_OUTPUT_HANDLE, encoding);
    const qob::ConsoleOutput err(STD_ERROR_HANDLE, encoding);
    if (!understood) {
        err.Write(std::string(qob::Text(options.restore ? qob::TextId::RestoreUsage : qob::TextId::ScanUsage)) + "\n");
        return 2;
    }
    if (options.restore)
        return qob::RestoreBackup(
            options.folder, [&out](const std::string& line) { out.Write(line + "\n"); },
            [&err](const std::string& line) { err.Write(line + "\n"); });
    if (options.sections)
        return ExamineSections(options, out, err);
    return Scan(options, out, err);
}
