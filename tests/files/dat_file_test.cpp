#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "files/dat_file.h"
#include "image/editor_defaults.h"

namespace r7 {
namespace {

QByteArray Mark() { return QByteArray("P3207"); }

TEST(ParseDat, ChecksMarkAndReadsEightHundredSixtyNinePositions) {
    // Open reads positions 1 to 869 whatever the length: 864 after the mark, FF past the end.
    struct Case {
        const char* name;
        QByteArray contents;
        DatStatus status;
        qsizetype bytesFromFile;  // of the 864, the rest FF
    };
    const Case cases[] = {
        {"saved file", Mark() + QByteArray(848, '\x11'), DatStatus::Ok, 848},
        {"shortest usable", Mark() + QByteArray(0x330, '\x11'), DatStatus::Ok, 0x330},
        {"one byte too short", Mark() + QByteArray(0x32F, '\x11'), DatStatus::TooShort, 0},
        {"exactly 869", Mark() + QByteArray(864, '\x11'), DatStatus::Ok, 864},
        {"longer than 869", Mark() + QByteArray(2000, '\x11'), DatStatus::Ok, 864},
        {"lower-case mark", QByteArray("p3207") + QByteArray(848, '\x11'), DatStatus::WrongType, 0},
        {"empty", QByteArray(), DatStatus::WrongType, 0},
        {"mark only", Mark(), DatStatus::TooShort, 0},
        {"P2207 mark", QByteArray("P2207") + QByteArray(848, '\x11'), DatStatus::WrongType, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DatReadResult r = ParseDat(c.contents);
        EXPECT_EQ(r.status, c.status);
        if (c.status != DatStatus::Ok) {
            EXPECT_TRUE(r.image.empty());
            continue;
        }
        ASSERT_EQ(r.image.size(), 864u);
        for (qsizetype k = 0; k < 864; ++k) {
            ASSERT_EQ(r.image[static_cast<std::size_t>(k)], k < c.bytesFromFile ? 0x11 : 0xFF) << k;
        }
    }
}

TEST(DatFile, SaveWritesMarkAndImageAndReplacesLongerFiles) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.DAT");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(2000, 'x'));
    }
    const ImageBytes image = EncodeImageBytes(NewConfiguration());
    ASSERT_TRUE(WriteDatFile(path, image).ok);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray contents = f.readAll();
    ASSERT_EQ(contents.size(), 853);  // no stale tail of the longer old file
    EXPECT_EQ(contents.left(5), Mark());
    EXPECT_EQ(contents.mid(5), QByteArray(reinterpret_cast<const char*>(image.data()), 848));
    DatReadResult back = ReadDatFile(path);
    ASSERT_EQ(back.status, DatStatus::Ok);
    ASSERT_EQ(back.image.size(), 864u);  // the 848 saved, then the 16 positions past the end
    EXPECT_TRUE(std::equal(image.begin(), image.end(), back.image.begin()));
}

// A folder in the way of the file: nothing is written, the folder stays (the other ways a
// write fails are the write failure tests' table).
TEST(DatFile, FolderInTheWayIsNotReplaced) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.DAT"));
    EXPECT_FALSE(WriteDatFile(dir.filePath("taken.DAT"), EncodeImageBytes(NewConfiguration())).ok);
    EXPECT_TRUE(QFileInfo(dir.filePath("taken.DAT")).isDir());
}

TEST(DatFile, MissingFileCannotBeRead) {
    DatReadResult r = ReadDatFile("/nonexistent/dir/x.DAT");
    EXPECT_EQ(r.status, DatStatus::CannotRead);
    EXPECT_TRUE(r.error.contains("/nonexistent/dir/x.DAT"));
}

}  // namespace
}  // namespace r7
