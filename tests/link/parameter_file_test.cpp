// The "parameter" file: by position, never truncated, lenient when short or missing.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "files/parameter_file.h"

namespace r7 {
namespace {

QByteArray Contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void Put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(ParameterFile, RestoreReadsTheFirstTwoBytes) {
    const struct {
        QByteArray contents;
        std::optional<bool> locked;
        int port;
    } cases[] = {
        {QByteArray(), false, 0},
        {QByteArray("\x01", 1), true, 0},
        {QByteArray("\x00\x03", 2), false, 3},
        {QByteArray("\x01\x09", 2), true, 9},  // SelectPort makes it COM1
        {QByteArray("\x02\x05", 2), std::nullopt, 5},
        {QByteArray("\xFF\x08rest", 6), std::nullopt, 8},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        ParameterFile file(dir.path());
        Put(file.path(), c.contents);
        const SavedSettings s = file.Restore();
        EXPECT_EQ(s.locked(), c.locked) << c.contents.toHex().constData();
        EXPECT_EQ(s.port(), c.port) << c.contents.toHex().constData();
    }
}

TEST(ParameterFile, MissingFileIsCreatedEmptyAndThenStored) {
    QTemporaryDir dir;
    ParameterFile file(dir.path());
    const SavedSettings s = file.Restore();
    EXPECT_EQ(s.locked(), false);
    EXPECT_EQ(s.port(), 0);
    EXPECT_EQ(Contents(file.path()), QByteArray());
    ASSERT_TRUE(file.Store(false, 3));
    EXPECT_EQ(Contents(file.path()), QByteArray("\x00\x03", 2));
    EXPECT_EQ(file.Restore().port(), 3);
}

TEST(ParameterFile, StoreKeepsBytesThreeToTen) {
    QTemporaryDir dir;
    ParameterFile file(dir.path());
    const QByteArray ten("\x00\x01\x02\x03\x04\x05\x06\x07\x08\x09", 10);
    Put(file.path(), ten);
    ASSERT_TRUE(file.Store(true, 0));  // no port opened during the run
    QByteArray expected = ten;
    expected[0] = 1;
    expected[1] = 0;
    EXPECT_EQ(Contents(file.path()), expected);
}

TEST(ParameterFile, UnwritableFolderFailsQuietly) {
    ParameterFile file(QStringLiteral("/nonexistent-folder/for/parameter"));
    EXPECT_EQ(file.Restore().port(), 0);
    EXPECT_FALSE(file.Store(true, 2));
}

}  // namespace
}  // namespace r7
