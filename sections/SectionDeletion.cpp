#include "sections/SectionDeletion.h"

#include "catalogue/Registry.h"
#include "catalogue/Utf8.h"
#include "texts/Texts.h"

namespace qob {

namespace {

// Problems listed one by one in the message; the rest are counted.
constexpr std::size_t kProblemsShown = 20;

std::uint32_t ViewFlags(RegistryView view) { return view == RegistryView::Wow64_32 ? kKeyWow64_32Key : 0; }

}  // namespace

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
    : store_(store), backup_(backup), examineAgain_(std::move(examineAgain)), errorText_(std::move(errorText))
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
        switch (DeleteOne(keys[i], outcome.problems)) {
        case Result::Gone:
            outcome.gone.push_back(i);
            break;
        case Result::Healthy:
            outcome.healthy.push_back(i);
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

SectionDeletion::Result SectionDeletion::DeleteOne(const BrokenKey& key, std::vector<std::string>& problems)
{
    if (!IsSingleSectionKey(key)) {
        problems.push_back(Text(TextId::OtherBrokenNotOneKey, {key.name}));
        return Result::Kept;
    }
    if (!examineAgain_(key)) {
        TRegistry registry(store_);
        registry.SetRootKey(kClassesRoot);
        registry.SetViewFlags(ViewFlags(key.view));
        if (!registry.KeyExists(key.path))
            return Result::Gone;
        problems.push_back(Text(TextId::OtherBrokenNoLongerBroken, {key.name}));
        return Result::Healthy;
    }
    std::string reason;
    if (!backup_.SaveKey(key.path, key.view, reason)) {
        problems.push_back(Text(TextId::RemovalKeyNotBackedUp, {key.name, reason}));
        return Result::Kept;
    }
    std::string problem = DeleteSaved(key);
    if (problem.empty())
        return Result::Gone;
    problems.push_back(std::move(problem));
    return Result::Kept;
}

std::string SectionDeletion::DeleteSaved(const BrokenKey& key)
{
    // Checked again at the last moment: whatever the list held, a section
    // itself is never deleted whole.
    if (!IsSingleSectionKey(key))
        return Text(TextId::OtherBrokenNotOneKey, {key.name});
    TRegistry registry(store_);
    registry.SetRootKey(kClassesRoot);
    registry.SetViewFlags(ViewFlags(key.view));
    if (registry.DeleteKey(key.path) || registry.LastError() == kErrorFileNotFound) {
        // HKEY_CLASSES_ROOT shows the user's classes over the machine's: the
        // deletion takes one, and the other then shows through.
        if (!registry.KeyExists(key.path))
            return {};
        return Text(TextId::RemovalSameNameRemains, {"HKEY_CLASSES_ROOT\\" + key.name});
    }
    // The keys as the system names them.
    const auto shown = [&key](const std::string& path) { return KeyNameInView(path, key.view); };
    const std::string reason = errorText_(registry.LastError());
    if (!registry.PartlyDeleted())
        return Text(TextId::RemovalKeyFailed, {shown(registry.FailedKey()), reason});
    std::string left;
    for (const std::string& below : registry.KeysOf(key.path)) {
        left.append(left.empty() ? "HKEY_CLASSES_ROOT\\" : ", HKEY_CLASSES_ROOT\\");
        left.append(shown(below));
    }
    return Text(TextId::RemovalKeyPartlyDeleted, {key.name, reason, left, backup_.Folder()});
}

}  // namespace qob
