#include "cli_io.h"

#include <QFile>

#include "cli_commands.h"
#include "files/dat_file.h"
#include "image/editor_defaults.h"
#include "image/image_codec.h"
#include "image/storable_values.h"

namespace r7::cli {

std::optional<EditorState> ReadConfiguration(const QString& path) {
    DatReadResult file = ReadDatFile(path);
    if (file.status != DatStatus::Ok) {
        PrintError(file.error);
        return std::nullopt;
    }
    EditorState state = NewConfiguration();
    if (!DecodeImageBytes(file.image, state)) {
        PrintError(QStringLiteral("%1 cannot be decoded").arg(path));
        return std::nullopt;
    }
    return state;
}

std::optional<QByteArray> ReadInput(const QString& path) {
    QFile in;
    const bool opened = path == QLatin1String("-")
                            ? in.open(stdin, QIODevice::ReadOnly)
                            : (in.setFileName(path), in.open(QIODevice::ReadOnly));
    if (!opened) {
        PrintError(QStringLiteral("cannot read %1: %2").arg(path, in.errorString()));
        return std::nullopt;
    }
    return in.readAll();
}

QString OutputPath(const QString& option) {
    return option == QLatin1String("-") ? QStringLiteral("/dev/stdout") : option;
}

std::unique_ptr<FileLock> LockForChange(const QString& path) {
    auto lock = std::make_unique<FileLock>(path);
    if (const FileResult locked = lock->acquire(); !locked.ok) {
        PrintError(locked.error);
        return nullptr;
    }
    return lock;
}

bool WriteConfiguration(const QString& path, const EditorState& state) {
    // The last check before any command writes: no value reaches the file as another one.
    const std::vector<UnstorableValue> refused = UnstorableValues(state);
    for (const UnstorableValue& value : refused)
        PrintError(QString::fromStdString(value.describe()));
    if (!refused.empty()) return false;
    const DatWriteResult written = WriteDatFile(path, EncodeImageBytes(state));
    if (!written.ok) PrintError(written.error);
    return written.ok;
}

}  // namespace r7::cli
