#include "ui/main/signal_close.h"

#include <cstdio>

#include "link/interrupt_guard.h"
#include "link/transfer_controller.h"
#include "ui/main/form1.h"

namespace r7::ui {

void CloseOnSignals(Form1& window, link::InterruptGuard& guard, std::function<void(int)> quit) {
    QObject::connect(
        &guard, &link::InterruptGuard::interrupted, &window,
        [&window, quit = std::move(quit)](int signal) {
            // Should closing hang, a second signal still puts End on the line before quitting.
            link::InterruptGuard::setPort(window.transfer()->link().nativeHandle());
            std::fprintf(stderr, "morvane-r7: ended by signal %d (any unsaved changes are lost)\n",
                         signal);
            window.closeWithoutAsking();
            quit(128 + signal);
        });
}

}  // namespace r7::ui
