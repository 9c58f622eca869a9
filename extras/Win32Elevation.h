// The Win32 side of Elevation: this process's token, read once when made,
// and the restart of the program's own file with the verb "runas".
#pragma once

#include "extras/Elevation.h"

namespace qob {

class Win32Elevation final : public Elevation {
public:
    Win32Elevation();

    bool Elevated() const override { return elevated_; }
    ElevationType Type() const override { return type_; }
    long StartElevated() override;

private:
    bool elevated_ = false;
    ElevationType type_ = ElevationType::Default;
};

}  // namespace qob
