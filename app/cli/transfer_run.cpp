#include "transfer_run.h"

#include <QDir>
#include <QEventLoop>
#include <cstdio>

#include "cli_commands.h"
#include "cli_io.h"
#include "files/programming_log.h"
#include "image/image_codec.h"
#include "progress_line.h"

namespace r7::cli {

namespace {

using link::InterruptGuard;

// While the port is open a second signal can still put End on the line.
struct PortForSignals {
    explicit PortForSignals(link::TransferController& controller) {
        InterruptGuard::setPort(controller.link().nativeHandle());
    }
    ~PortForSignals() { InterruptGuard::setPort(-1); }
    PortForSignals(const PortForSignals&) = delete;
    PortForSignals& operator=(const PortForSignals&) = delete;
};

// One radio on its own port: the controller with the image to write, the progress line, and
// the event loop a transfer runs in.
class PortSession {
public:
    PortSession(const TransferOptions& options, const EditorState& state) : state_(state) {
        controller_.setWatchdogInterval(options.watchdogMs);
        if (!controller_.link().open(options.device)) return;
        controller_.setImageSource([this] { return EncodeImage(state_); });
        port_.emplace(controller_);
    }
    bool open(Outcome& outcome) {
        if (!port_) outcome.message = controller_.link().openErrorText();
        return port_.has_value();
    }
    link::TransferController& controller() { return controller_; }
    ProgressLine& progress() { return progress_; }
    void quit() { loop_.quit(); }
    // Runs until quit(); End must reach the radio before the port closes.
    void exec() {
        loop_.exec();
        controller_.link().flush();
    }

private:
    const EditorState& state_;
    link::TransferController controller_;
    ProgressLine progress_{controller_};
    std::optional<PortForSignals> port_;
    QEventLoop loop_;
};

Outcome Finished(Outcome outcome) {
    if (!outcome.ok && outcome.message.isEmpty())
        outcome.message = QStringLiteral("the transfer failed");
    return outcome;
}

Outcome NotStarted() {
    Outcome outcome;
    outcome.message = QStringLiteral("the transfer could not start");
    return outcome;
}

void ReportRadioWriteSteps(link::RadioWrite& sequence, ProgressLine& progress) {
    QObject::connect(&sequence, &link::RadioWrite::backupSaved, [&progress](const QString& file) {
        progress.end();
        PrintOut(QStringLiteral("backup saved as %1\n").arg(QDir::toNativeSeparators(file)));
        FlushOut();
    });
    QObject::connect(
        &sequence, &link::RadioWrite::verified, [&progress](int compared, int unverifiable) {
            progress.end();
            PrintOut(QStringLiteral(
                         "verified %1 written bytes; %2 bytes at 340-34F cannot be read back\n")
                         .arg(compared)
                         .arg(unverifiable));
            FlushOut();
        });
}

}  // namespace

// Runs one transfer to its end: success (End sent), the watchdog's outcome or an interruption.
Outcome RunTransfer(const TransferOptions& options, char command, const EditorState& state,
                    InterruptGuard& guard) {
    Outcome outcome;
    PortSession session(options, state);
    if (!session.open(outcome)) return outcome;
    link::TransferController& controller = session.controller();
    session.progress().setVerb(command == 'R' ? "reading" : "writing");
    QObject::connect(&controller, &link::TransferController::messageRequested,
                     [&](const QString& text) { outcome.message = text.trimmed(); });
    QObject::connect(&controller, &link::TransferController::readImageReady,
                     [&](const QString& hex) { outcome.imageHex = hex; });
    QObject::connect(&controller, &link::TransferController::transferSucceeded, [&] {
        outcome.ok = true;
        session.quit();
    });
    QObject::connect(&controller, &link::TransferController::transferFailed, [&] {
        outcome.message = controller.failureReason();
        session.quit();
    });
    QObject::connect(&controller, &link::TransferController::transferInterrupted, [&] {
        outcome.signal = InterruptGuard::signalNumber();
        session.quit();
    });
    QObject::connect(&guard, &InterruptGuard::interrupted, &controller,
                     &link::TransferController::interrupt);
    if (InterruptGuard::signalNumber() != 0) {
        outcome.signal = InterruptGuard::signalNumber();
        return outcome;
    }
    if ((command == 'R' ? controller.startRead() : controller.startWrite(state.ServiceUnlocked)) !=
        link::StartResult::Started)
        return NotStarted();
    session.exec();
    if (session.progress().shown() &&
        outcome.signal == 0) {  // the interruption notice has ended the line already
        if (outcome.ok) session.progress().draw(link::kProgressMaximum);
        std::fputc('\n', stderr);
    }
    return Finished(outcome);
}

// One radio: open the port, run backup, write and read-back as asked, close the port.
Outcome RunRadioWrite(const TransferOptions& options, const EditorState& state,
                      const link::RadioWriteOptions& safe, InterruptGuard& guard,
                      const link::WriteContext& logContext) {
    Outcome outcome;
    if (InterruptGuard::signalNumber() != 0) {
        outcome.signal = InterruptGuard::signalNumber();
        outcome.message = QStringLiteral("interrupted: nothing was written");
        return outcome;
    }
    PortSession session(options, state);
    if (!session.open(outcome)) return outcome;
    link::RadioWrite sequence(session.controller());
    // The programming log: the radio's line, or a warning that leaves the outcome as it is.
    link::WriteLogger logger(session.controller(), DefaultLogPath());
    logger.follow(&sequence);
    logger.setContextSource([&logContext] { return logContext; });
    QObject::connect(&logger, &link::WriteLogger::appendFailed, [](const QString& reason) {
        PrintError(QStringLiteral("warning: this write is missing from the programming log: %1")
                       .arg(reason));
    });
    ProgressLine& progress = session.progress();
    ShowRadioWriteProgress(sequence, session.controller(), progress, safe);
    ReportRadioWriteSteps(sequence, progress);
    const auto ended = [&](bool ok, const QString& reason) {
        outcome.ok = ok;
        outcome.message = reason;
        if (sequence.interrupted()) outcome.signal = InterruptGuard::signalNumber();
        session.quit();
    };
    QObject::connect(&sequence, &link::RadioWrite::succeeded, [&] { ended(true, {}); });
    QObject::connect(&sequence, &link::RadioWrite::failed,
                     [&](const QString& reason) { ended(false, reason); });
    QObject::connect(&guard, &InterruptGuard::interrupted, &sequence, [&] {
        progress.forget();  // the interruption notice has ended the line
        sequence.interrupt();
    });
    if (!sequence.start(safe)) return NotStarted();
    if (sequence.running())
        session.exec();
    else
        session.controller().link().flush();
    progress.end();
    return Finished(outcome);
}

}  // namespace r7::cli
