// The application-wide cursor value and its rule around modal windows
// (portable: no <windows.h>).
#pragma once

#include "interaction/Interaction.h"

namespace qob {

class CursorState {
public:
    short Value() const { return value_; }
    // Number of settings the program made; a modal window's own changes
    // are not counted.
    unsigned SetCount() const { return setCount_; }
    void Set(short value)
    {
        value_ = value;
        ++setCount_;
    }

    // What a modal window keeps from its opening.
    struct ModalMark {
        short saved;
        unsigned setCount;
    };
    // Opening a modal window: the cursor in force is kept and the default shown.
    ModalMark OpenModal()
    {
        const ModalMark mark{value_, setCount_};
        value_ = crDefault;
        return mark;
    }
    // Closing it: the kept cursor comes back unless the program set the
    // cursor meanwhile (even to the same value); then the default stays.
    void CloseModal(const ModalMark& mark) { value_ = setCount_ == mark.setCount ? mark.saved : crDefault; }

private:
    short value_ = crDefault;
    unsigned setCount_ = 0;
};

}  // namespace qob
