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
    void decodesFlags() {
        const int none = static_cast<int>(MessageIcon::None), stop = static_cast<int>(MessageIcon::Stop),
                  question = static_cast<int>(MessageIcon::Question),
                  exclamation = static_cast<int>(MessageIcon::Exclamation),
                  information = static_cast<int>(MessageIcon::Information);
        const QStringList ok{"OK"};
        const struct {
            unsigned flags;
            QStringList captions;
            QList<int> results;
            int icon, defaultIndex, escape;
        } rows[] = {
            {0u, ok, {1}, none, 0, 1},
            {16u, ok, {1}, stop, 0, 1},
            {36u, {"Yes", "No"}, {6, 7}, question, 0, 7},
            {64u, ok, {1}, information, 0, 1},
            {305u, {"OK", "Cancel"}, {1, 2}, exclamation, 1, 2},          // second default
            {0x202u, {"Abort", "Retry", "Ignore"}, {3, 4, 5}, none, 2, 3},  // third default
            {0x133u, {"Yes", "No", "Cancel"}, {6, 7, 2}, exclamation, 1, 2},
            {21u, {"Retry", "Cancel"}, {4, 2}, stop, 0, 2},
            {0x204u, {"Yes", "No"}, {6, 7}, none, 0, 7},  // third default on two buttons falls back
            {7u, ok, {1}, none, 0, 1},                    // unknown set 7 shows OK
        };
        for (const auto& r : rows) {
            const MessageBoxLayout layout = DecodeMessageBoxFlags(r.flags);
            QStringList captions;
            QList<int> results;
            for (MessageButton b : layout.buttons) {
                captions << ButtonCaption(b);
                results << ButtonResult(b);
            }
            const QString row = QString::number(r.flags);
            QVERIFY2(captions == r.captions && results == r.results, qPrintable(row));
            QVERIFY2(static_cast<int>(layout.icon) == r.icon, qPrintable(row));
            QVERIFY2(layout.defaultIndex == r.defaultIndex && layout.escapeResult == r.escape, qPrintable(row));
        }
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
