// Main-form routines of subsystems that are not built yet. Each body is empty until the
// subsystem that owns it exists; the frame loop and start-up already call them in order.
#include "app/main_form.h"

namespace orva {

// Message window buttons.
void TForm1::NOVL_DrawButton() {}
void TForm1::NOVL_CheckButton() {}
// Menus.
void TForm1::NOVL_DispConfigMenu() {}
void TForm1::NOVL_WaitConfigMenu() {}
void TForm1::NOVL_DrawConfigMenu() {}

}  // namespace orva
