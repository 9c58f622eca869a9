#include "search/SearchCommand.h"

#include "interaction/Interaction.h"
#include "texts/Texts.h"

namespace qob {

void SearchCommand::Find()
{
    if (search_.Active()) {
        host_.ShowError(Text(TextId::SearchBusy, {host_.FindText()}));
        return;
    }
    host_.OpenFindDialog();
}

void SearchCommand::Start()
{
    host_.SetCursor(crAppStart);
    const TTreeNode* selected = nodes_.Selected();
    host_.CloseFindDialog();
    host_.ShowProgress(Text(TextId::SearchProgressLabel, {host_.FindText()}));
    search_.Start(selected);
    host_.SetStepping(true);
}

void SearchCommand::Step(const std::function<long long()>& now)
{
    host_.SetStepping(false);
    const std::string text = host_.FindText();
    const TreeSearch::Outcome outcome = search_.StepFor(text, now);
    switch (outcome.result) {
    case TreeSearch::Result::NotFound:
        host_.HideProgress();
        host_.ShowError(Text(TextId::SearchNotFound, {text}));
        End();
        break;
    case TreeSearch::Result::Found:
        host_.HideProgress();
        nodes_.ScrollToTop(*outcome.node);
        nodes_.Select(*outcome.node);
        nodes_.Focus();
        host_.CloseFindDialog();
        End();
        break;
    case TreeSearch::Result::Continue:
        host_.SetStepping(true);
        break;
    }
}

void SearchCommand::End()
{
    search_.Stop();
    host_.SetCursor(crDefault);
}

}  // namespace qob
