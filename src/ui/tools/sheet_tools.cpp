#include "ui/tools/sheet_tools.h"

#include <QDate>
#include <QFileInfo>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QMenu>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

#include "files/channel_sheet.h"
#include "files/safe_file_writer.h"
#include "ui/main/editor_document.h"
#include "ui/main/file_dialog.h"
#include "ui/main/form1.h"
#include "ui/main/message_box.h"
#include "ui/main/screen_fit.h"

namespace r7::ui {

SheetTools::SheetTools(Form1& form, QMenu* menu)
    : QObject(&form),
      form_(form),
      print_(menu->addAction(tr("Pri&nt channel sheet..."))),
      export_(menu->addAction(tr("Export channel sheet as P&DF..."))) {
    print_->setObjectName(QStringLiteral("toolsPrintSheet"));
    export_->setObjectName(QStringLiteral("toolsExportSheet"));
    connect(print_, &QAction::triggered, this, &SheetTools::printSheet);
    connect(export_, &QAction::triggered, this, &SheetTools::exportPdf);
}

QString SheetTools::sheetHtml() const {
    return ChannelSheetHtml(form_.document()->state(), QFileInfo(form_.currentFile()).fileName(),
                            QDate::currentDate());
}

namespace {

// The print preview: the page, the zoom and Print are reached by Tab like any window's
// controls, and Ctrl+P prints from anywhere in it.
class SheetPreview : public QDialog {
public:
    SheetPreview(QPrinter& printer, const QString& html, Form1& form)
        : QDialog(&form),
          form_(form),
          printer_(printer),
          page_(new QPrintPreviewWidget(&printer, this)) {
        setObjectName(QStringLiteral("sheetPreview"));
        setWindowTitle(printer.docName());
        connect(page_, &QPrintPreviewWidget::paintRequested, this,
                [html](QPrinter* target) { PaintChannelSheet(html, *target); });
        // The page itself is the view inside the preview.
        if (auto* view = page_->findChild<QGraphicsView*>()) {
            view->setObjectName(QStringLiteral("sheetPreviewPage"));
            view->setAccessibleName(tr("Channel sheet page"));
            page_->setFocusProxy(view);
        }
        auto* buttons = new QHBoxLayout;
        const auto button = [this, buttons](const char* name, const QString& text,
                                            QKeySequence::StandardKey key, auto slot) {
            auto* b = new QPushButton(text, this);
            b->setObjectName(QLatin1String(name));
            b->setAutoDefault(false);
            buttons->addWidget(b);
            connect(b, &QPushButton::clicked, this, slot);
            auto* shortcut = new QAction(this);
            shortcut->setShortcut(key);
            addAction(shortcut);
            connect(shortcut, &QAction::triggered, this, slot);
        };
        button("sheetZoomIn", tr("Zoom &in"), QKeySequence::ZoomIn, [this] { page_->zoomIn(); });
        button("sheetZoomOut", tr("Zoom &out"), QKeySequence::ZoomOut,
               [this] { page_->zoomOut(); });
        buttons->addStretch(1);
        button("sheetPrint", tr("&Print..."), QKeySequence::Print, [this] { print(); });
        button("sheetClose", tr("Close"), QKeySequence::Close, [this] { reject(); });
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(page_, 1);
        layout->addLayout(buttons);
        resize(720, 900);
    }

private:
    void print() {
        // The system's print dialog, then the same painting on the printer it set up.
        QPrintDialog dialog(&printer_, this);
        KeepOnScreen(&dialog);
        if (form_.environment().dialogRunner(dialog) != QDialog::Accepted) return;
        page_->print();
        accept();
    }

    Form1& form_;
    QPrinter& printer_;
    QPrintPreviewWidget* page_;
};

}  // namespace

void SheetTools::printSheet() {
    QPrinter printer(QPrinter::HighResolution);
    // The job's title, which print queues and PDF printers show and name files by.
    printer.setDocName(ChannelSheetTitle(QFileInfo(form_.currentFile()).fileName()));
    SheetPreview preview(printer, sheetHtml(), form_);
    form_.runDialog(preview);
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
    const FileResult written = WriteFileSafely(path, pdf);
    if (!written)
        form_.environment().showMessage(
            written.error() + tr("\nThe channel sheet has not been exported."), IconStop);
}

}  // namespace r7::ui
