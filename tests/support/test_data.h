#pragma once

// Cases kept as data under tests/data: one case a line, its fields split by tabs; blank lines
// and lines starting with # are skipped; \n, \r and \t in a field stand for those characters.

#include <QFile>
#include <QList>

namespace r7::test {

inline QList<QByteArrayList> DataRows(const char* name) {
    QFile f(QStringLiteral(R7_TEST_DATA "/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly)) qFatal("cannot read the test data %s", name);
    QList<QByteArrayList> rows;
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.trimmed().isEmpty() || line.startsWith('#')) continue;
        QByteArrayList fields = line.split('\t');
        for (QByteArray& field : fields) field.replace("\\n", "\n").replace("\\r", "\r").replace("\\t", "\t");
        rows.append(fields);
    }
    return rows;
}

}  // namespace r7::test
