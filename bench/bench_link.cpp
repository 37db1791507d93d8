// Read and write against morvane-r7-sim --baud-pace, next to the time the bytes need on a
// 9600-baud line (10 bits per byte). The ratio shows what the program adds to the wire.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>

#include "image/editor_defaults.h"
#include "image/image_codec.h"
#include "link/transfer_controller.h"

namespace {

void Transfer(benchmark::State& st, char command) {
    QProcess sim;
    sim.start(R7_SIM_PATH, {"--baud-pace"});
    sim.waitForStarted(5000);
    while (!sim.canReadLine() && sim.waitForReadyRead(5000)) {
    }
    const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();
    const r7::EditorState editor = r7::NewConfiguration();
    double wireSeconds = 0, measuredSeconds = 0;
    for (auto _ : st) {
        r7::link::TransferController c;
        if (!c.link().open(device)) {
            st.SkipWithError("cannot open the simulated radio");
            break;
        }
        c.setImageSource([&] { return r7::EncodeImage(editor); });
        qint64 bytes = 0;
        QObject::connect(&c, &r7::link::TransferController::bytesSent,
                         [&](const QByteArray& b) { bytes += b.size(); });
        QObject::connect(&c.link(), &r7::link::SerialLink::bytesReceived,
                         [&](const QByteArray& b) { bytes += b.size(); });
        QEventLoop loop;
        bool ok = false;
        QObject::connect(&c, &r7::link::TransferController::transferSucceeded, [&] {
            ok = true;
            loop.quit();
        });
        QObject::connect(&c, &r7::link::TransferController::transferFailed, [&] { loop.quit(); });
        QElapsedTimer clock;
        clock.start();
        if (command == 'R')
            c.startRead();
        else
            c.startWrite(0);
        loop.exec();
        c.link().flush();
        const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        if (!ok) {
            st.SkipWithError("transfer failed");
            break;
        }
        st.SetIterationTime(seconds);
        wireSeconds = static_cast<double>(bytes) * 10.0 / 9600.0;
        measuredSeconds += seconds;
    }
    sim.closeWriteChannel();
    sim.waitForFinished(5000);
    if (st.iterations() > 0 && wireSeconds > 0) {
        const double mean = measuredSeconds / static_cast<double>(st.iterations());
        st.counters["wire_s"] = wireSeconds;
        st.counters["measured_s"] = mean;
        st.counters["ratio"] = mean / wireSeconds;
    }
}

void BM_ReadPaced(benchmark::State& st) { Transfer(st, 'R'); }
void BM_WritePaced(benchmark::State& st) { Transfer(st, 'W'); }
BENCHMARK(BM_ReadPaced)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WritePaced)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
