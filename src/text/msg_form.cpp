// The detached message window over the platform's Msg window.
#include "text/msg_form.h"

namespace orva {

void TMsgForm::FormShow() {
    Plat.PlaceWindow(WindowId::Msg, kPlace);
    Plat.ShowWindow(WindowId::Msg, true);
    Visible = true;
}

void TMsgForm::Hide() {
    Plat.ShowWindow(WindowId::Msg, false);
    Visible = false;
}

}  // namespace orva
