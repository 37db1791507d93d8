#include "transfer_controller.h"

namespace r7::link {

namespace {
// A write block's reply takes a few milliseconds at 9600 baud; past this the radio is not
// answering and End goes out anyway.
constexpr int kInterruptGraceMs = 500;
}  // namespace

TransferController::TransferController(QObject* parent)
    : QObject(parent),
      link_(this),
      timer1_(this),
      timer2_(this),
      session_([this](const Effect& e) { apply(e); },
               [this] { return encodeImage_ ? encodeImage_() : std::string(); }) {
    timer1_.setInterval(kWatchdogIntervalMs);
    timer1_.setSingleShot(true);
    timer1_.setTimerType(Qt::PreciseTimer);
    timer2_.setInterval(kBlinkIntervalMs);
    connect(&timer1_, &QTimer::timeout, this, [this] { session_.OnWatchdogTick(); });
    connect(&timer2_, &QTimer::timeout, this, [this] { session_.OnBlinkTick(); });
    interruptGrace_.setInterval(kInterruptGraceMs);
    interruptGrace_.setSingleShot(true);
    connect(&interruptGrace_, &QTimer::timeout, this, [this] { session_.Abort(); });
    connect(&link_, &SerialLink::bytesReceived, this, [this](const QByteArray& bytes) {
        session_.OnBytesReceived(
            {reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())});
    });
    connect(&link_, &SerialLink::breakReceived, this, [this] { session_.OnBreak(); });
    // Queued: the port can fail inside a write the session is making.
    connect(&link_, &SerialLink::portLost, this, [this](const QString& reason) {
        if (session_.State() == TransferState::Transferring) portLoss_ = reason;
    });
    connect(&link_, &SerialLink::portLost, this, [this] { session_.OnPortError(); }, Qt::QueuedConnection);
}

StartResult TransferController::startRead() {
    if (session_.State() == TransferState::Idle) {
        portLoss_.clear();
        link_.discardInput();
    }
    return session_.StartRead(link_.isOpen());
}

StartResult TransferController::startWrite(int serviceUnlocked) {
    if (session_.State() == TransferState::Idle) {
        portLoss_.clear();
        link_.discardInput();
    }
    return session_.StartWrite(link_.isOpen(), serviceUnlocked);
}

void TransferController::interrupt() {
    session_.Interrupt();
    if (session_.InterruptPending()) interruptGrace_.start();
}

void TransferController::abort() {
    session_.Abort();
    link_.flush();
}

QString TransferController::failureReason() const {
    if (!portLoss_.isEmpty()) return portLoss_;
    return QString::fromLatin1(kWatchdogMessage).trimmed();
}

QString TransferController::writeProgressText() const {
    const int held = session_.WriteBlocksAcknowledged();
    if (held == 0) return {};
    return QStringLiteral("the radio holds %1 of the %2 new blocks").arg(held).arg(session_.WriteBlocksTotal());
}

void TransferController::apply(const Effect& e) {
    switch (e.kind) {
    case EffectKind::SendBytes: {
        const QByteArray bytes(reinterpret_cast<const char*>(e.bytes.data()), static_cast<qsizetype>(e.bytes.size()));
        link_.send(bytes);
        emit bytesSent(bytes);
        break;
    }
    case EffectKind::WatchdogRestart: timer1_.start(); break;
    case EffectKind::WatchdogStop: timer1_.stop(); break;
    case EffectKind::BlinkStart: timer2_.start(); break;
    case EffectKind::BlinkStop: timer2_.stop(); break;
    case EffectKind::ProgressShow: emit progressShown(0, kProgressMaximum, e.number); break;
    case EffectKind::ProgressValue: emit progressValueChanged(e.number); break;
    case EffectKind::ProgressHide: emit progressHidden(); break;
    case EffectKind::StatusCaption: emit statusCaptionChanged(QString::fromStdString(e.text)); break;
    case EffectKind::StatusVisible: emit statusVisibleChanged(e.enabled); break;
    case EffectKind::ShowMessage:
        emit messageRequested(QString::fromStdString(e.text), e.number, QString::fromStdString(e.title));
        break;
    case EffectKind::ToolBarEnabled: emit toolBarEnabledChanged(e.enabled); break;
    case EffectKind::ProgrammeMenuEnabled: emit programmeMenuEnabledChanged(e.enabled); break;
    case EffectKind::ToolButtonEnabled: emit toolButtonEnabledChanged(e.number, e.enabled); break;
    case EffectKind::EnableModelFrameAndFocus: emit modelFrameEnableAndFocusRequested(); break;
    case EffectKind::ReadImageReady: emit readImageReady(QString::fromStdString(e.text)); break;
    case EffectKind::TransferSucceeded:
        emit transferSucceeded(e.text.empty() ? QChar() : QChar(e.text[0]));
        break;
    case EffectKind::TransferFailed: emit transferFailed(); break;
    case EffectKind::TransferInterrupted:
        interruptGrace_.stop();
        emit transferInterrupted();
        break;
    case EffectKind::UiRestored: emit uiRestored(); break;
    }
}

}  // namespace r7::link
