#include "files/parameter_file.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "test_files.h"

namespace r7 {
namespace {

// The file's bytes before (- : no file), the lock and port bytes read from positions 1 and 2,
// what is stored, and the bytes afterwards: the two written in place, nothing cut.
TEST(ParameterFile, FirstTwoBytesReadAndWrittenInPlace) {
    const struct {
        const char* before;
        int lock, port;
        bool storeLocked;
        int storePort;
        const char* after;
    } cases[] = {
        {"-", 0, 0, false, 1, "0001"},
        {"", 0, 0, true, 8, "0108"},
        {"01", 1, 0, false, 3, "0003"},
        {"0103", 1, 3, true, 3, "0103"},
        {"0002ff", 0, 2, true, 2, "0102ff"},
        {"0701aabbccdd", 7, 1, false, 0x105, "0005aabbccdd"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before);
        QTemporaryDir dir;
        const ParameterFile file(dir.path());
        const bool existed = QByteArray(c.before) != "-";
        if (existed) {
            ASSERT_TRUE(test::WriteFile(file.path(), QByteArray::fromHex(c.before)));
        }
        const SavedSettings read = file.Restore();
        EXPECT_EQ(read.lockByte, c.lock);
        EXPECT_EQ(read.portByte, c.port);
        EXPECT_EQ(test::Contents(file.path()).toHex(), existed ? c.before : "");  // created empty
        EXPECT_TRUE(file.Store(c.storeLocked, c.storePort).ok);
        EXPECT_EQ(test::Contents(file.path()).toHex(), QByteArray(c.after));
    }
}

}  // namespace
}  // namespace r7
