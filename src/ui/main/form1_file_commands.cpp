#include "ui/main/form1.h"

namespace r7::ui {

void Form1::mnuNew_Click() {}
void Form1::mnuOpen_Click() {}
void Form1::mnuAssave_Click() {}
bool Form1::SaveTo(const QString& path) {
    (void)path;
    return false;
}

}  // namespace r7::ui
