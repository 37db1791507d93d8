#pragma once

// "Print channel sheet..." (print preview, then the system's print dialog) and "Export
// channel sheet as PDF..." in the "Tools" menu.

#include <QObject>

class QAction;
class QMenu;

namespace r7::ui {

class Form1;

class SheetTools : public QObject {
    Q_OBJECT
public:
    SheetTools(Form1& form, QMenu* menu);

public slots:
    void printSheet();
    void exportPdf();

private:
    QString sheetHtml() const;

    Form1& form_;
    QAction* print_;
    QAction* export_;
};

}  // namespace r7::ui
