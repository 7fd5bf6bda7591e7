// Main-form routines of subsystems that are not built yet. Each body is empty until the
// subsystem that owns it exists; the frame loop and start-up already call them in order.
#include "app/main_form.h"

namespace orva {

// Menus.
void TForm1::NOVL_DispAlbumMenu() {}
void TForm1::NOVL_WaitAlbumMenu() {}
void TForm1::NOVL_DrawAlbumMenu() {}
void TForm1::NOVL_DispBgmMenu() {}
void TForm1::NOVL_WaitBgmMenu() {}
void TForm1::NOVL_DrawBgmMenu() {}
void TForm1::NOVL_DispCgMenu() {}
void TForm1::NOVL_WaitCgMenu() {}
void TForm1::NOVL_DrawCgMenu() {}
void TForm1::NOVL_DispCg() {}
void TForm1::NOVL_WaitCg() {}
void TForm1::NOVL_DispEvMenu() {}
void TForm1::NOVL_WaitEvMenu() {}
void TForm1::NOVL_DrawEvMenu() {}

}  // namespace orva
