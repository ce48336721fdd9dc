// The main window's creation event, which runs before the window is shown.
#include "credits_ticker.h"
#include "handlers.h"
#include "skin_setup.h"

namespace xl {

void MainWindowCreated() {
    ResetCreditCounter();
    SetUpSkin();
}

}  // namespace xl
