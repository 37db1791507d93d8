// The message box: flag decoding, English captions, result codes, the real QMessageBox.

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "ui/main/message_box.h"

using namespace r7::ui;

class MessageBoxTest : public QObject {
    Q_OBJECT
private slots:
    void decodesFlags_data() {
        QTest::addColumn<unsigned>("flags");
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QList<int>>("results");
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("defaultIndex");
        QTest::addColumn<int>("escape");
        const int none = static_cast<int>(MessageIcon::None);
        const int stop = static_cast<int>(MessageIcon::Stop);
        const int question = static_cast<int>(MessageIcon::Question);
        const int exclamation = static_cast<int>(MessageIcon::Exclamation);
        const int information = static_cast<int>(MessageIcon::Information);
        const QStringList ok{"OK"};
        QTest::newRow("0 OK") << 0u << ok << QList<int>{1} << none << 0 << 1;
        QTest::newRow("16 OK stop") << 16u << ok << QList<int>{1} << stop << 0 << 1;
        QTest::newRow("36 Yes/No question") << 36u << QStringList{"Yes", "No"} << QList<int>{6, 7} << question << 0 << 7;
        QTest::newRow("64 OK information") << 64u << ok << QList<int>{1} << information << 0 << 1;
        QTest::newRow("305 OK/Cancel exclamation, second default")
            << 305u << QStringList{"OK", "Cancel"} << QList<int>{1, 2} << exclamation << 1 << 2;
        QTest::newRow("2 Abort/Retry/Ignore, third default 0x202")
            << 0x202u << QStringList{"Abort", "Retry", "Ignore"} << QList<int>{3, 4, 5} << none << 2 << 3;
        QTest::newRow("3 Yes/No/Cancel exclamation, second default 0x133")
            << 0x133u << QStringList{"Yes", "No", "Cancel"} << QList<int>{6, 7, 2} << exclamation << 1 << 2;
        QTest::newRow("5 Retry/Cancel stop") << 21u << QStringList{"Retry", "Cancel"} << QList<int>{4, 2} << stop << 0 << 2;
        QTest::newRow("third default on two buttons falls back") << 0x204u << QStringList{"Yes", "No"}
                                                                 << QList<int>{6, 7} << none << 0 << 7;
        QTest::newRow("unknown set 7 shows OK") << 7u << ok << QList<int>{1} << none << 0 << 1;
    }

    void decodesFlags() {
        QFETCH(unsigned, flags);
        QFETCH(QStringList, captions);
        QFETCH(QList<int>, results);
        QFETCH(int, icon);
        QFETCH(int, defaultIndex);
        QFETCH(int, escape);
        const MessageBoxLayout layout = DecodeMessageBoxFlags(flags);
        QStringList gotCaptions;
        QList<int> gotResults;
        for (MessageButton b : layout.buttons) {
            gotCaptions << ButtonCaption(b);
            gotResults << ButtonResult(b);
        }
        QCOMPARE(gotCaptions, captions);
        QCOMPARE(gotResults, results);
        QCOMPARE(static_cast<int>(layout.icon), icon);
        QCOMPARE(layout.defaultIndex, defaultIndex);
        QCOMPARE(layout.escapeResult, escape);
    }

    void realBoxShowsEnglishButtonsAndReturnsTheirCodes_data() {
        QTest::addColumn<unsigned>("flags");
        QTest::addColumn<QString>("click");  // empty: press Enter on the default button
        QTest::addColumn<QStringList>("captions");
        QTest::addColumn<QString>("defaultCaption");
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("result");
        QTest::newRow("36, click No") << 36u << "No" << QStringList{"Yes", "No"} << "Yes"
                                      << int(QMessageBox::Question) << 7;
        QTest::newRow("305, Enter takes Cancel") << 305u << "" << QStringList{"OK", "Cancel"} << "Cancel"
                                                 << int(QMessageBox::Warning) << 2;
        QTest::newRow("2, click Retry") << 2u << "Retry" << QStringList{"Abort", "Retry", "Ignore"} << "Abort"
                                        << int(QMessageBox::NoIcon) << 4;
    }

    void realBoxShowsEnglishButtonsAndReturnsTheirCodes() {
        QFETCH(unsigned, flags);
        QFETCH(QString, click);
        QFETCH(QStringList, captions);
        QFETCH(QString, defaultCaption);
        QFETCH(int, icon);
        QFETCH(int, result);
        QString title;
        QStringList seen;
        QString seenDefault;
        int seenIcon = -1;
        // Runs inside the modal loop of the box.
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            title = box->windowTitle();
            seenIcon = box->icon();
            for (QAbstractButton* b : box->buttons()) seen << b->text();
            if (box->defaultButton()) seenDefault = box->defaultButton()->text();
            if (click.isEmpty()) {
                QTest::keyClick(box, Qt::Key_Return);
                return;
            }
            for (QAbstractButton* b : box->buttons()) {
                if (b->text() == click) b->click();
            }
        });
        const int answer = ShowMessageBox("Prompt", flags, "");
        QCOMPARE(answer, result);
        QCOMPARE(title, QString("Morvane-R7"));
        seen.sort();
        captions.sort();
        QCOMPARE(seen, captions);
        QCOMPARE(seenDefault, defaultCaption);
        QCOMPARE(seenIcon, icon);
    }

};

QTEST_MAIN(MessageBoxTest)
#include "message_box_test.moc"
