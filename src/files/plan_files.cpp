#include "files/plan_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include "files/channel_csv.h"
#include "image/setting_lists.h"

namespace r7 {

namespace {

struct BuiltInPlan {
    const char* id;
    const char* title;
};
constexpr BuiltInPlan kBuiltInPlans[] = {{"pmr446", "PMR446"}, {"frs", "FRS"}};

const BuiltInPlan* BuiltIn(const QString& id) {
    for (const BuiltInPlan& p : kBuiltInPlans) {
        if (id.compare(QLatin1String(p.id), Qt::CaseInsensitive) == 0) return &p;
    }
    return nullptr;
}

QString FileOf(const QString& idOrPath) {
    const BuiltInPlan* p = BuiltIn(idOrPath);
    return p ? QStringLiteral(":/plans/%1.csv").arg(QLatin1String(p->id)) : idOrPath;
}

// Comment lines become blank lines, which the CSV reader skips, so line numbers stay true.
QByteArray WithoutComments(QByteArray bytes, QString* notes) {
    qsizetype start = 0;
    while (start < bytes.size() && bytes.at(start) == '#') {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0) end = bytes.size();
        if (notes)
            *notes += QString::fromUtf8(bytes.mid(start + 1, end - start - 1)).trimmed() + ' ';
        for (qsizetype i = start; i < end; ++i) bytes[i] = ' ';
        start = end + 1;
    }
    return bytes;
}

}  // namespace

QString UserDataFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QLatin1Char('/') +
           QString::fromUtf8(kApplicationTitle.data(),
                             static_cast<qsizetype>(kApplicationTitle.size()));
}

QString UserPlansFolder() { return UserDataFolder() + QStringLiteral("/plans"); }

std::vector<PlanSource> AvailablePlans() {
    std::vector<PlanSource> plans;
    for (const BuiltInPlan& p : kBuiltInPlans)
        plans.push_back({QLatin1String(p.id), QLatin1String(p.title)});
    const QFileInfoList files =
        QDir(UserPlansFolder())
            .entryInfoList({QStringLiteral("*.csv")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& file : files)
        plans.push_back({file.absoluteFilePath(), file.completeBaseName()});
    return plans;
}

PlanLoad LoadPlan(const QString& idOrPath) {
    QFile file(FileOf(idOrPath));
    if (!file.open(QIODevice::ReadOnly)) {
        return Unexpected(
            QStringLiteral("Cannot read the plan %1: %2").arg(idOrPath, file.errorString()));
    }
    const CsvReadResult read = ReadCsvRecords(WithoutComments(file.readAll(), nullptr));
    const BuiltInPlan* builtIn = BuiltIn(idOrPath);
    const QString title =
        builtIn ? QLatin1String(builtIn->title) : QFileInfo(idOrPath).completeBaseName();
    if (!read) {
        return Unexpected(QStringLiteral("%1 is no channel plan: %2")
                              .arg(idOrPath, QString::fromStdString(read.error().text())));
    }
    PlanReadResult plan = ReadChannelPlan(title.toStdString(), *read);
    if (plan) return std::move(plan).value();
    QString error = QStringLiteral("%1 is no channel plan:").arg(idOrPath);
    for (const std::string& problem : plan.error())
        error += QLatin1Char('\n') + QString::fromStdString(problem);
    return Unexpected(error);
}

QString PlanNotes(const QString& idOrPath) {
    QFile file(FileOf(idOrPath));
    QString notes;
    if (file.open(QIODevice::ReadOnly)) WithoutComments(file.readAll(), &notes);
    return notes.trimmed();
}

}  // namespace r7
