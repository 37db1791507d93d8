#include "ui/main/saved_settings.h"

#include "files/parameter_file.h"
#include "link/port_selection.h"

namespace r7::ui {

Form1Hooks SavedSettingsHooks(const QString& folder) {
    Form1Hooks hooks;
    hooks.restoreSettings = [folder](Form1& form) {
        const SavedSettings saved = ParameterFile(folder).Restore();
        if (const std::optional<bool> locked = saved.locked()) form.restoreLock(*locked);
        form.ports()->SelectPort(saved.port());
    };
    hooks.storeSettings = [folder](Form1& form) {
        // A folder we cannot write to must not keep the program from ending.
        (void)ParameterFile(folder).Store(form.locked(), form.ports()->PortNumber());
    };
    return hooks;
}

}  // namespace r7::ui
