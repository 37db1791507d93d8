#pragma once

// Start-up and shut-down steps that keep the lock state and the serial port in the
// "parameter" file.

#include <QString>

#include "ui/main/form1.h"

namespace r7::ui {

// folder empty: the parameter file's usual place (ParameterFile::DefaultFolder()).
Form1Hooks SavedSettingsHooks(const QString& folder = {});

}  // namespace r7::ui
