#include "batch_command.h"

#include <QDateTime>
#include <cstdio>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <termios.h>
#include <unistd.h>
#endif

#include "cli_commands.h"
#include "cli_io.h"
#include "transfer_run.h"

namespace r7::cli {

namespace {

using link::InterruptGuard;

// Keys pressed while a radio was being written are not the go-ahead for the next one.
void DiscardTypeAhead() {
#ifdef _WIN32
    if (_isatty(_fileno(stdin))) FlushConsoleInputBuffer(GetStdHandle(STD_INPUT_HANDLE));
#else
    if (isatty(STDIN_FILENO)) tcflush(STDIN_FILENO, TCIFLUSH);
#endif
}

// Blocks until a line (Enter) arrives on standard input; false at its end or on a signal.
// Unbuffered, so no line read ahead survives DiscardTypeAhead.
bool WaitForEnter() {
#ifdef _WIN32
    int c;
    while ((c = std::getchar()) != EOF)
        if (c == '\n') return true;
    return false;
#else
    char c = 0;
    while (::read(STDIN_FILENO, &c, 1) == 1)
        if (c == '\n') return true;
    return false;  // end of input, or a signal interrupted the read
#endif
}

// "1 radio", "2 radios".
QString Radios(int count) {
    return QStringLiteral("%1 radio%2").arg(count).arg(QLatin1String(count == 1 ? "" : "s"));
}

int BatchEnded(int programmed) {
    PrintOut(QStringLiteral("batch ended: %1 programmed\n").arg(Radios(programmed)));
    return kExitOk;
}

// Asks for the next radio: nullopt once Enter came, otherwise the exit status of the batch.
std::optional<int> AwaitNextRadio(int radio, int programmed) {
    DiscardTypeAhead();
    PrintOut(
        QStringLiteral("connect radio %1 and press Enter (Ctrl+D ends the batch)\n").arg(radio));
    FlushOut();
    if (WaitForEnter()) return std::nullopt;
    if (const int signal = InterruptGuard::signalNumber()) {
        PrintOut(
            QStringLiteral("\ninterrupted: batch ended: %1 programmed\n").arg(Radios(programmed)));
        return InterruptedExit(signal);
    }
    return BatchEnded(programmed);
}

// Puts the next number into the configuration and says so; false (reported) when the line
// cannot hold it, before the radio is written. The number goes to the next radio programmed.
bool NumberNextRadio(WriteJob& job, int radio, int programmed) {
    if (!job.numbering) return true;
    const int number = job.numbering->first + programmed;
    if (!job.numbering->apply(job.state, number)) {
        PrintError(QStringLiteral("radio %1 not written: %2")
                       .arg(radio)
                       .arg(QString::fromStdString(job.numbering->problem(job.state, number))));
        BatchEnded(programmed);
        return false;
    }
    job.log.infoLine = QString::fromStdString(job.numbering->logText(number));
    PrintOut(QStringLiteral("radio %1 gets information line %2 \"%3\"\n")
                 .arg(radio)
                 .arg(job.numbering->line)
                 .arg(QString::fromStdString(job.numbering->text(number))));
    FlushOut();
    return true;
}

}  // namespace

int WriteOneRadio(const WriteJob& job, InterruptGuard& guard) {
    const Outcome outcome = RunRadioWrite(job.options, job.state, job.safe, guard, job.log);
    if (outcome.signal != 0) {
        PrintError(outcome.message);
        return InterruptedExit(outcome.signal);
    }
    if (!outcome.ok) {
        PrintError(
            QStringLiteral("write to %1 failed: %2").arg(job.options.device, outcome.message));
        return kExitFailure;
    }
    return kExitOk;
}

int WriteBatch(WriteJob& job, InterruptGuard& guard) {
    int programmed = 0;
    job.log.batch = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    for (int radio = 1; job.radios == 0 || programmed < job.radios; ++radio) {
        if (radio > 1) {
            if (const auto end = AwaitNextRadio(radio, programmed)) return *end;
        }
        job.safe.radioNumber = radio;
        job.log.radio = radio;
        if (!NumberNextRadio(job, radio, programmed)) return kExitFailure;
        const Outcome outcome = RunRadioWrite(job.options, job.state, job.safe, guard, job.log);
        if (outcome.signal != 0) {
            PrintError(QStringLiteral("radio %1 %2").arg(radio).arg(outcome.message));
            PrintOut(
                QStringLiteral("%1 programmed before the interruption\n").arg(Radios(programmed)));
            return InterruptedExit(outcome.signal);
        }
        if (!outcome.ok) {
            PrintError(QStringLiteral("radio %1 failed: %2").arg(radio).arg(outcome.message));
            PrintOut(QStringLiteral("%1 programmed before the failure\n").arg(Radios(programmed)));
            return kExitFailure;
        }
        ++programmed;
        PrintOut(
            QStringLiteral("radio %1 programmed (%2 in this batch)\n").arg(radio).arg(programmed));
        FlushOut();
    }
    return BatchEnded(programmed);
}

}  // namespace r7::cli
