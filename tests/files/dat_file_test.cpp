#include "files/dat_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "data_table.h"
#include "image/editor_defaults.h"
#include "test_files.h"

namespace r7 {
namespace {

// Open reads positions 1 to 869 whatever the length: 864 after the mark, FF past the end.
TEST(ParseDat, ChecksMarkAndReadsEightHundredSixtyNinePositions) {
    const char* statuses[] = {"CannotRead", "WrongType", "TooShort"};
    for (const test::Fields& c : test::Table("dat_reads")) {
        SCOPED_TRACE(c[0] + " + " + c[1]);
        const qsizetype length = std::stoi(c[1], nullptr, 0);
        const DatReadResult r =
            ParseDat(QByteArray::fromStdString(c[0]) + QByteArray(length, '\x11'));
        EXPECT_EQ(r ? "Ok" : statuses[static_cast<int>(r.error().status)], c[2]);
        ASSERT_EQ(r ? r->size() : 864u, 864u);
        for (qsizetype k = 0; r && k < 864; ++k)
            ASSERT_EQ((*r)[static_cast<std::size_t>(k)], k < length ? 0x11 : 0xFF) << k;
    }
}

// Save replaces a longer file whole and reads back; a folder in the way stays (the other ways
// a write fails are the write failure tests' table); a missing file is named.
TEST(DatFile, SaveReadAndFailures) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.DAT");
    ASSERT_TRUE(test::WriteFile(path, QByteArray(2000, 'x')));
    const ImageBytes image = EncodeImageBytes(NewConfiguration());
    ASSERT_TRUE(WriteDatFile(path, image).has_value());
    EXPECT_EQ(test::Contents(path),
              "P3207" + QByteArray(reinterpret_cast<const char*>(image.data()), 848));
    const DatReadResult back = ReadDatFile(path);
    ASSERT_TRUE(back);
    ASSERT_EQ(back->size(), 864u);  // the 848 saved, then the 16 positions past the end
    EXPECT_TRUE(std::equal(image.begin(), image.end(), back->begin()));

    ASSERT_TRUE(QDir(dir.path()).mkdir("taken.DAT"));
    EXPECT_FALSE(WriteDatFile(dir.filePath("taken.DAT"), image).has_value());
    EXPECT_TRUE(QFileInfo(dir.filePath("taken.DAT")).isDir());
    const DatReadResult missing = ReadDatFile("/nonexistent/dir/x.DAT");
    EXPECT_EQ(missing.error().status, DatStatus::CannotRead);
    EXPECT_TRUE(missing.error().text.contains("/nonexistent/dir/x.DAT"));
}

}  // namespace
}  // namespace r7
