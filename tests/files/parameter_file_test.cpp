#include "files/parameter_file.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "data_table.h"
#include "test_files.h"

namespace r7 {
namespace {

// Bytes 1 and 2 are read and written in place: the table parameter_bytes.
TEST(ParameterFile, FirstTwoBytesReadAndWrittenInPlace) {
    for (const test::Fields& c : test::Table("parameter_bytes")) {
        SCOPED_TRACE(c[0]);
        QTemporaryDir dir;
        const ParameterFile file(dir.path());
        const QByteArray before = QByteArray::fromStdString(c[0]);
        if (before != "-") {
            ASSERT_TRUE(test::WriteFile(file.path(), QByteArray::fromHex(before)));
        }
        const SavedSettings read = file.Restore();
        EXPECT_EQ(std::to_string(read.lockByte) + " " + std::to_string(read.portByte),
                  c[1] + " " + c[2]);
        EXPECT_EQ(test::Contents(file.path()).toHex(), before == "-" ? "" : before);  // created
        EXPECT_TRUE(file.Store(c[3] == "1", std::stoi(c[4])).has_value());
        EXPECT_EQ(test::Contents(file.path()).toHex().toStdString(), c[5]);
    }
}

}  // namespace
}  // namespace r7
