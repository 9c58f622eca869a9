// TfrmAbout: the About box, created hidden at start-up.
#pragma once

#include "app/TForm.h"

namespace qob {

class TfrmAbout final : public TForm {
public:
    TfrmAbout();
    ~TfrmAbout() override;
};

}  // namespace qob
