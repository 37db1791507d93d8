#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "data_table.h"
#include "files/parameter_file.h"

namespace r7 {
namespace {

// An installed program keeps no file in its own folder; a build or an unpacked copy does.
TEST(ParameterFile, InstalledFolderKnownByPrefixOrInstalledDataFolder) {
    const QTemporaryDir dir;
    for (const char* folder : {"prefix/bin", "prefix/share/morvane-r7", "copy/share/morvane-r7x"})
        ASSERT_TRUE(QDir(dir.path()).mkpath(QString::fromLatin1(folder)));
    for (const test::Fields& c : test::Table("installed_folders")) {
        const QString folder = QString::fromStdString(c[0]).replace(QLatin1Char('~'), dir.path());
        EXPECT_EQ(ParameterFile::IsInstalledFolder(folder), c[1] == "1") << c[0];
    }
}

}  // namespace
}  // namespace r7
