#include "cli_io.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli_commands.h"
#include "files/dat_file.h"
#include "files/input_file.h"
#include "image/editor_defaults.h"
#include "image/image_codec.h"
#include "image/storable_values.h"

namespace r7::cli {

namespace {

int gOutputError = 0;  // errno of the first failed write to standard output

void NoteOutputError() {
    if (gOutputError == 0) gOutputError = errno != 0 ? errno : EIO;
}

}  // namespace

std::optional<EditorState> ReadConfiguration(const QString& path) {
    DatReadResult file = ReadDatFile(path);
    if (!file) {
        PrintError(file.error().text);
        return std::nullopt;
    }
    EditorState state = NewConfiguration();
    if (!DecodeImageBytes(*file, state)) {
        PrintError(QStringLiteral("%1 cannot be decoded").arg(path));
        return std::nullopt;
    }
    return state;
}

std::optional<QByteArray> ReadInput(const QString& path) {
    InputReadResult read;
    if (path == QLatin1String("-")) {
        QFile in;
        if (in.open(stdin, QIODevice::ReadOnly))
            read = ReadBoundedInput(in, QStringLiteral("standard input"));
        else
            read =
                Unexpected(QStringLiteral("cannot read standard input: %1").arg(in.errorString()));
    } else {
        read = ReadInputFile(path);
    }
    if (!read) {
        PrintError(read.error());
        return std::nullopt;
    }
    return std::move(read).value();
}

QString OutputPath(const QString& option) {
    return option == QLatin1String("-") ? QStringLiteral("/dev/stdout") : option;
}

std::unique_ptr<FileLock> LockForChange(const QString& path) {
    auto lock = std::make_unique<FileLock>(path);
    if (const FileResult locked = lock->acquire(); !locked) {
        PrintError(locked.error());
        return nullptr;
    }
    return lock;
}

bool WriteConfiguration(const QString& path, const EditorState& state) {
    // The last check before any command writes: no value reaches the file as another one.
    QStringList refused;
    for (const UnstorableValue& value : UnstorableValues(state))
        refused << QString::fromStdString(value.describe());
    PrintProblems(refused);
    if (!refused.empty()) return false;
    const FileResult written = WriteDatFile(path, EncodeImageBytes(state));
    if (!written) PrintError(written.error());
    return written.has_value();
}

bool MayReplaceConfiguration(const QString& path, const QString& kind, bool force) {
    if (force || !QFileInfo(path).isFile()) return true;  // a stream or device holds nothing
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) ||
        file.read(kDatMarkSize) != QByteArray(kDatTypeMark, kDatMarkSize))
        return true;
    PrintError(QStringLiteral("%1 holds a configuration; it is not replaced by a %2 unless "
                              "--force is given")
                   .arg(path, kind));
    return false;
}

void PrintProblems(const QStringList& lines) {
    for (qsizetype i = 0; i < lines.size() && i < kScreenfulLines; ++i) PrintError(lines[i]);
    if (lines.size() > kScreenfulLines)
        PrintError(QStringLiteral("... and %1 more").arg(lines.size() - kScreenfulLines));
}

void PrintOut(std::string_view text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) NoteOutputError();
}

void PrintOut(const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    PrintOut(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void FlushOut() {
    if (std::fflush(stdout) != 0) NoteOutputError();
}

int CloseOutput(int status) {
    FlushOut();
    if (std::ferror(stdout) && gOutputError == 0) gOutputError = EIO;
    if (std::fclose(stdout) != 0) NoteOutputError();
    // A reader that stopped reading (| head) has what it wanted: no message, and the status
    // keeps saying what the command did.
    if (gOutputError == 0 || gOutputError == EPIPE) return status;
    PrintError(
        QStringLiteral("write error: %1").arg(QString::fromLocal8Bit(std::strerror(gOutputError))));
    return kExitFailure;
}

}  // namespace r7::cli
