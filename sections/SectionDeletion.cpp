#include "sections/SectionDeletion.h"

#include "catalogue/KeyOwner.h"
#include "catalogue/Registry.h"
#include "sections/VerdictSupport.h"
#include "texts/Texts.h"

namespace qob {

namespace {

// Problems listed one by one in the message; the rest are counted.
constexpr std::size_t kProblemsShown = 20;

// A file type loses only its default value: the key usually holds more
// (OpenWithProgids, ShellNew, PerceivedType), and without the value Windows
// takes the type as one without a program, "Open with" still working.
bool DeletesDefaultValueOnly(const BrokenKey& key) { return key.kind == SectionKind::FileType; }

// What the deletion takes of the key is still there.
bool StillThere(KeyStore& store, const BrokenKey& key)
{
    if (DeletesDefaultValueOnly(key)) {
        const ReadKey own(store, kClassesRoot, key.path, key.view);
        std::uint32_t type = 0;
        std::string data;
        return own && store.QueryValue(own.get(), "", type, data) != kErrorFileNotFound;
    }
    TRegistry registry(store);
    registry.SetRootKey(kClassesRoot);
    registry.SetViewFlags(ViewFlags(key.view));
    return registry.KeyExists(key.path);
}

}  // namespace

RemovedNames NamesOfDeletedKeys(const std::vector<BrokenKey>& keys, const std::vector<std::size_t>& gone)
{
    RemovedNames removed;
    for (std::size_t position : gone) {
        const BrokenKey& key = keys.at(position);
        const std::string id = key.path.substr(key.path.find('\\') + 1);
        if (key.kind == SectionKind::Class)
            removed.classes.emplace_back(id, key.view);
        else if (key.kind == SectionKind::TypeLibrary)
            removed.typeLibraries.push_back(id);
    }
    return removed;
}

std::string SectionProblemsMessage(const std::vector<std::string>& problems)
{
    if (problems.empty())
        return {};
    std::string text(Text(TextId::RemovalFailuresHeading));
    const auto addLine = [&text](const std::string& line) {
        text += '\r';
        text += line;
    };
    for (std::size_t i = 0; i < problems.size() && i < kProblemsShown; ++i)
        addLine(problems[i]);
    if (problems.size() > kProblemsShown)
        addLine(Text(TextId::OtherBrokenMoreProblems, {std::to_string(problems.size() - kProblemsShown)}));
    return text;
}

SectionDeletion::SectionDeletion(KeyStore& store, RemovalBackup& backup, ExamineAgain examineAgain,
                                 ErrorText errorText)
    : store_(store), backup_(backup), examineAgain_(std::move(examineAgain)),
      deletion_(store, backup, errorText), values_(store, backup, std::move(errorText))
{
}

SectionDeletionOutcome SectionDeletion::Run(const std::vector<BrokenKey>& keys, const SectionProgress& progress,
                                            const std::atomic<bool>& cancel)
{
    SectionDeletionOutcome outcome;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (cancel) {
            outcome.cancelled = true;
            break;
        }
        const Result result = DeleteOne(keys[i], outcome);
        outcome.problemKeys.resize(outcome.problems.size(), i);
        switch (result) {
        case Result::Gone:
            outcome.gone.push_back(i);
            break;
        case Result::Healthy:
            outcome.healthy.push_back(i);
            break;
        case Result::Protected:
            outcome.protectedByWindows.push_back(i);
            break;
        case Result::Kept:
            break;
        }
        if (progress)
            progress(i + 1, keys.size());
    }
    outcome.folder = backup_.Folder();
    return outcome;
}

SectionDeletion::Result SectionDeletion::DeleteOne(const BrokenKey& key, SectionDeletionOutcome& outcome)
{
    std::vector<std::string>& problems = outcome.problems;
    // Whatever the list held, a section itself is never deleted whole.
    if (!IsSingleSectionKey(key)) {
        problems.push_back(Text(TextId::OtherBrokenNotOneKey, {key.name}));
        return Result::Kept;
    }
    // Nor a key that Windows keeps for itself, whatever the list thought of
    // it: its owner is read again.
    if (key.protectedByWindows || ProtectedByWindows(store_, key.path, key.view)) {
        problems.push_back(Text(TextId::RemovalProtectedKey, {"HKEY_CLASSES_ROOT\\" + key.name}));
        return Result::Protected;
    }
    if (!examineAgain_(key)) {
        if (!StillThere(store_, key))
            return Result::Gone;
        problems.push_back(Text(TextId::OtherBrokenNoLongerBroken, {key.name}));
        return Result::Healthy;
    }
    if (dryRun_)
        return Result::Gone;
    const KeyDeletionTexts texts{TextId::RemovalKeyNotBackedUp, TextId::RemovalKeyFailed};
    KeyDeletionOutcome deletion = DeletesDefaultValueOnly(key) ? values_.Delete(key.path, key.view, "", texts)
                                                               : deletion_.Delete(key.path, key.view, texts);
    if (deletion.gone)
        return Result::Gone;
    problems.push_back(std::move(deletion.problem));
    outcome.deniedMachineKey = outcome.deniedMachineKey || deletion.deniedMachineKey;
    return Result::Kept;
}

}  // namespace qob
