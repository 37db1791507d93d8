#include "ui/tools/sheet_tools.h"

#include <QDate>
#include <QFileInfo>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "files/channel_sheet.h"
#include "files/safe_file_writer.h"
#include "ui/main/editor_document.h"
#include "ui/main/file_dialog.h"
#include "ui/main/form1.h"
#include "ui/main/message_box.h"

namespace r7::ui {

SheetTools::SheetTools(Form1& form, QMenu* menu)
    : QObject(&form),
      form_(form),
      print_(menu->addAction(tr("Print channel sheet..."))),
      export_(menu->addAction(tr("Export channel sheet as PDF..."))) {
    print_->setObjectName(QStringLiteral("toolsPrintSheet"));
    export_->setObjectName(QStringLiteral("toolsExportSheet"));
    connect(print_, &QAction::triggered, this, &SheetTools::printSheet);
    connect(export_, &QAction::triggered, this, &SheetTools::exportPdf);
}

QString SheetTools::sheetHtml() const {
    return ChannelSheetHtml(form_.document()->state(), QFileInfo(form_.currentFile()).fileName(),
                            QDate::currentDate());
}

void SheetTools::printSheet() {
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, &form_);
    preview.setWindowTitle(tr("Channel sheet"));
    const QString html = sheetHtml();
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [&html](QPrinter* target) { PaintChannelSheet(html, *target); });
    // Its Print button opens the system's print dialog.
    preview.exec();
}

void SheetTools::exportPdf() {
    const std::optional<QString> chosen =
        form_.environment().chooseFile(FileDialogMode::Save, QStringLiteral("PDF (*.pdf)"));
    if (!chosen || chosen->isEmpty()) return;
    QString path = *chosen;
    if (QFileInfo(path).suffix().isEmpty())
        path += path.endsWith(QLatin1Char('.')) ? "pdf" : ".pdf";
    if (!form_.environment().mayReplace(path)) return;
    const QByteArray pdf = ChannelSheetPdf(sheetHtml());
    const FileWriteResult written = WriteFileSafely(path, pdf);
    if (!written.ok)
        form_.environment().showMessage(
            written.error + tr("\nThe channel sheet has not been exported."), IconStop);
}

}  // namespace r7::ui
