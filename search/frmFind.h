// TfrmFind: the search progress window, created hidden at start-up.
#pragma once

#include "app/TForm.h"

namespace qob {

class TfrmFind final : public TForm {
public:
    TfrmFind();
    ~TfrmFind() override;
};

}  // namespace qob
