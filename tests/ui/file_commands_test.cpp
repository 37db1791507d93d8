#include <QTest>
class FileCommandsTest : public QObject {
    Q_OBJECT
};
QTEST_MAIN(FileCommandsTest)
#include "file_commands_test.moc"
