#include "ui/tools/log_window.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

#include "files/dat_file.h"
#include "files/safe_file_writer.h"
#include "image/image_codec.h"
#include "link/write_logger.h"
#include "ui/dialogs/dialog_support.h"
#include "ui/main/editor_document.h"
#include "ui/main/form1.h"
#include "ui/main/message_box.h"

namespace r7::ui {

namespace {

const char* const kOutcomes[] = {"written", "verified", "failed", "interrupted"};

QDate DayOf(const std::vector<LogEntry>& entries, bool last) {
    QDate day;
    for (const LogEntry& e : entries) {
        const QDate d = e.time.date();
        if (!day.isValid() || (last ? d > day : d < day)) day = d;
    }
    return day.isValid() ? day : QDate::currentDate();
}

}  // namespace

QString LogPathFor(const QString& settingsPath) {
    if (settingsPath == DefaultToolsSettingsPath()) return DefaultLogPath();
    return QFileInfo(settingsPath).absolutePath() + QStringLiteral("/programming-log.csv");
}

LogWindow::LogWindow(Form1& form, const QString& logPath)
    : QDialog(&form),
      form_(form),
      summary_(new QLabel(this)),
      from_(new QDateEdit(this)),
      to_(new QDateEdit(this)),
      outcome_(new QComboBox(this)),
      table_(new QTableWidget(this)),
      export_(new QPushButton(tr("&Export..."), this)) {
    setObjectName(QStringLiteral("logWindow"));
    setWindowTitle(tr("Programming log"));
    const LogRead read = ReadLog(logPath);
    if (read) entries_ = *read;
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    loadError_ = read ? QString() : read.error();

    for (QDateEdit* edit : {from_, to_}) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    }
    from_->setDate(DayOf(entries_, false));
    to_->setDate(std::max(DayOf(entries_, true), QDate::currentDate()));
    from_->setAccessibleName(tr("Writes from"));
    to_->setAccessibleName(tr("Writes up to"));
    outcome_->addItem(tr("All outcomes"));
    for (const char* o : kOutcomes) outcome_->addItem(QLatin1String(o), QLatin1String(o));
    outcome_->setAccessibleName(tr("Outcome"));

    table_->setColumnCount(static_cast<int>(LogColumns().size()));
    table_->setHorizontalHeaderLabels(LogColumns());
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setTabKeyNavigation(false);  // Tab leaves the table
    table_->setAccessibleName(tr("Writes to radios"));
    table_->verticalHeader()->hide();
    export_->setAccessibleName(tr("Export the writes shown as CSV"));

    auto* filters = new QGridLayout;
    const auto addFilter = [&](int column, const QString& caption, QWidget* field) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(field);
        filters->addWidget(label, 0, column);
        filters->addWidget(field, 0, column + 1);
    };
    addFilter(0, tr("&From:"), from_);
    addFilter(2, tr("&To:"), to_);
    addFilter(4, tr("&Outcome:"), outcome_);
    filters->setColumnStretch(6, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(export_, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(export_, &QPushButton::clicked, this, &LogWindow::exportShown);
    connect(from_, &QDateEdit::dateChanged, this, &LogWindow::refilter);
    connect(to_, &QDateEdit::dateChanged, this, &LogWindow::refilter);
    connect(outcome_, &QComboBox::currentIndexChanged, this, &LogWindow::refilter);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(table_, 1);
    layout->addWidget(summary_);
    layout->addWidget(buttons);
    refilter();

    const QScreen* screen = form.screen() ? form.screen() : QGuiApplication::primaryScreen();
    const QSize wanted(900, 480);
    resize(screen ? wanted.boundedTo(screen->availableGeometry().size() * 9 / 10) : wanted);
}

void LogWindow::refilter() {
    LogFilter filter{from_->date(), to_->date(), outcome_->currentData().toString()};
    shown_ = FilterLog(entries_, filter);
    table_->setRowCount(static_cast<int>(shown_.size()));
    for (int row = 0; row < static_cast<int>(shown_.size()); ++row) {
        const QStringList cells = LogFields(shown_[static_cast<std::size_t>(row)]);
        for (int col = 0; col < cells.size(); ++col)
            table_->setItem(row, col, new QTableWidgetItem(cells[col]));
    }
    table_->resizeColumnsToContents();
    export_->setEnabled(!shown_.empty());
    summary_->setText(loadError_.isEmpty()
                          ? tr("%1 of %2 writes shown.").arg(shown_.size()).arg(entries_.size())
                          : loadError_);
}

void LogWindow::exportShown() {
    const std::optional<QString> chosen =
        form_.environment().chooseFile(FileDialogMode::Save, QStringLiteral("CSV (*.csv)"));
    if (!chosen || chosen->isEmpty()) return;
    if (!form_.environment().mayReplace(*chosen)) return;
    const FileResult written = WriteFileSafely(*chosen, LogCsv(shown_));
    if (!written) {
        form_.environment().showMessage(written.error() + tr("\nThe log has not been exported."),
                                        IconStop);
    }
}

namespace {

// The file's name when what is written is the configuration that file holds now; otherwise
// the log says the editor had changes, so it never names a file for another configuration.
QString WrittenFileName(const QString& file, const EditorState& state) {
    if (file.isEmpty()) return {};
    const DatReadResult saved = ReadDatFile(file);
    EditorState fromFile = state;
    if (saved && DecodeImageBytes(*saved, fromFile) &&
        EncodeImageBytes(fromFile) == EncodeImageBytes(state))
        return file;
    return file + QStringLiteral(" (changed, not saved)");
}

}  // namespace

LogTools::LogTools(Form1& form, QMenu* menu, const QString& settingsPath,
                   const ToolsOptions& options)
    : QObject(menu),
      form_(form),
      logger_(new link::WriteLogger(*form.transfer(), LogPathFor(settingsPath), this)) {
    QAction* show = NewAction(menu, "toolsProgrammingLog", tr("Programming &log..."));
    connect(show, &QAction::triggered, this, &LogTools::showLog);
    logger_->follow(form.radioWrite());
    logger_->setContextSource([this, &form, &options] {
        link::WriteContext context;
        context.file = WrittenFileName(form.currentFile(), form.document()->state());
        context.verifyAsked = options.verifyAfterWriting;
        // The window's write with neither option is logged as its transfer alone.
        context.writeAlone =
            batch_.batch.isEmpty() && !options.verifyAfterWriting && !options.backupBeforeWriting;
        context.batch = batch_.batch;
        context.radio = batch_.radio;
        context.infoLine = batch_.infoLine;
        return context;
    });
    connect(logger_, &link::WriteLogger::appendFailed, this, [this](const QString& reason) {
        form_.environment().showMessage(
            tr("This write cannot be added to the programming log; the log keeps its earlier "
               "lines.\n%1")
                .arg(reason),
            IconStop);
    });
}

void LogTools::setBatch(const QString& batch, int radio, const QString& infoLine) {
    batch_.batch = batch;
    batch_.radio = radio;
    batch_.infoLine = infoLine;
}

void LogTools::showLog() {
    LogWindow window(form_, logger_->logPath());
    form_.environment().dialogRunner(window);
}

}  // namespace r7::ui
