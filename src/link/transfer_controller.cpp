#include "transfer_controller.h"

namespace r7::link {

namespace {
// A write block's reply takes a few milliseconds at 9600 baud; past this the radio is not
// answering and End goes out anyway.
constexpr int kInterruptGraceMs = 500;

template <class... Visitors>
struct Overloaded : Visitors... {
    using Visitors::operator()...;
};
template <class... Visitors>
Overloaded(Visitors...) -> Overloaded<Visitors...>;
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
    connect(&timer1_, &QTimer::timeout, this, [this] { session_.Timer1_Timer(); });
    connect(&timer2_, &QTimer::timeout, this, [this] { session_.Timer2_Timer(); });
    interruptGrace_.setInterval(kInterruptGraceMs);
    interruptGrace_.setSingleShot(true);
    connect(&interruptGrace_, &QTimer::timeout, this, [this] { session_.abort(); });
    connect(&link_, &SerialLink::bytesReceived, this, [this](const QByteArray& bytes) {
        session_.onBytesReceived({reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                  static_cast<std::size_t>(bytes.size())});
    });
    // Queued: the port can fail inside a write the session is making.
    connect(&link_, &SerialLink::portLost, this, [this](const QString& reason) {
        if (session_.state() == TransferState::Transferring) portLoss_ = reason;
    });
    connect(
        &link_, &SerialLink::portLost, this, [this] { session_.onPortError(); },
        Qt::QueuedConnection);
}

StartResult TransferController::startRead() {
    if (session_.state() == TransferState::Idle) {
        portLoss_.clear();
        link_.discardInput();
    }
    return session_.startRead(link_.isOpen());
}

StartResult TransferController::startWrite(int serviceUnlocked) {
    if (session_.state() == TransferState::Idle) {
        portLoss_.clear();
        link_.discardInput();
    }
    const StartResult started = session_.startWrite(link_.isOpen(), serviceUnlocked);
    if (started == StartResult::Started) emit writeStarted();
    return started;
}

void TransferController::interrupt() {
    session_.interrupt();
    if (session_.interruptPending()) interruptGrace_.start();
}

void TransferController::abort() {
    session_.abort();
    link_.flush();
}

QString TransferController::failureReason() const {
    if (!portLoss_.isEmpty()) return portLoss_;
    return QString::fromLatin1(kWatchdogMessage).trimmed();
}

QString TransferController::writeProgressText() const {
    const int held = session_.writeBlocksAcknowledged();
    if (held == 0) return {};
    return QStringLiteral("the radio holds %1 of the %2 new blocks")
        .arg(held)
        .arg(session_.writeBlocksTotal());
}

void TransferController::apply(const Effect& effect) {
    std::visit(
        Overloaded{
            [this](const effect::SendBytes& e) {
                const QByteArray bytes(reinterpret_cast<const char*>(e.bytes.data()),
                                       static_cast<qsizetype>(e.bytes.size()));
                link_.send(bytes);
                emit bytesSent(bytes);
            },
            [this](const effect::WatchdogRestart&) { timer1_.start(); },
            [this](const effect::WatchdogStop&) { timer1_.stop(); },
            [this](const effect::BlinkStart&) { timer2_.start(); },
            [this](const effect::BlinkStop&) { timer2_.stop(); },
            [this](const effect::ProgressShow& e) {
                emit progressShown(0, kProgressMaximum, e.value);
            },
            [this](const effect::ProgressValue& e) { emit progressValueChanged(e.value); },
            [this](const effect::ProgressHide&) { emit progressHidden(); },
            [this](const effect::StatusCaption& e) {
                emit statusCaptionChanged(QString::fromStdString(e.text));
            },
            [this](const effect::StatusVisible& e) { emit statusVisibleChanged(e.visible); },
            [this](const effect::ShowMessage& e) {
                emit messageRequested(QString::fromStdString(e.text), e.kind);
            },
            [this](const effect::Busy& e) { emit busy(e.command); },
            [this](const effect::Ready&) { emit ready(); },
            [this](const effect::ReadImageReady& e) {
                emit readImageReady(QString::fromStdString(e.imageHex));
            },
            [this](const effect::TransferSucceeded& e) { emit transferSucceeded(e.command); },
            [this](const effect::TransferFailed&) { emit transferFailed(); },
            [this](const effect::TransferInterrupted&) {
                interruptGrace_.stop();
                emit transferInterrupted();
            },
            [this](const effect::UiRestored&) { emit uiRestored(); },
        },
        effect);
}

}  // namespace r7::link
