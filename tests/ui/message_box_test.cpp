// The message box: flag decoding, English captions, result codes, the real QMessageBox.

#include "ui_test_support.h"

class MessageBoxTest : public QObject {
    Q_OBJECT
private slots:
    void decodesFlags() {
        using enum MessageIcon;
        const QStringList ok{"OK"};
        const struct {
            unsigned flags;
            QStringList captions;
            QList<int> results;
            MessageIcon icon;
            int defaultIndex, escape;
        } rows[] = {
            {0u, ok, {1}, None, 0, 1},
            {16u, ok, {1}, Stop, 0, 1},
            {36u, {"Yes", "No"}, {6, 7}, Question, 0, 7},
            {64u, ok, {1}, Information, 0, 1},
            {305u, {"OK", "Cancel"}, {1, 2}, Exclamation, 1, 2},          // second default
            {0x202u, {"Abort", "Retry", "Ignore"}, {3, 4, 5}, None, 2, 3},  // third default
            {0x133u, {"Yes", "No", "Cancel"}, {6, 7, 2}, Exclamation, 1, 2},
            {21u, {"Retry", "Cancel"}, {4, 2}, Stop, 0, 2},
            {0x204u, {"Yes", "No"}, {6, 7}, None, 0, 7},  // third default on two buttons falls back
            {7u, ok, {1}, None, 0, 1},                    // unknown set 7 shows OK
        };
        for (const auto& r : rows) {
            const MessageBoxLayout layout = DecodeMessageBoxFlags(r.flags);
            QStringList captions;
            QList<int> results;
            for (MessageButton b : layout.buttons) {
                captions << ButtonCaption(b);
                results << ButtonResult(b);
            }
            QVERIFY2(captions == r.captions && results == r.results && layout.icon == r.icon &&
                         layout.defaultIndex == r.defaultIndex && layout.escapeResult == r.escape,
                     qPrintable(QString::number(r.flags)));
        }
    }

    // The real box, answered inside its modal loop: "title|captions sorted|default|icon|result".
    void realBoxShowsEnglishButtonsAndReturnsTheirCodes() {
        const struct {
            unsigned flags;
            QString click;  // empty: press Enter on the default button
            QString seen;
        } rows[] = {
            {36u, "No", "Morvane-R7|No,Yes|Yes|4|7"},
            {305u, "", "Morvane-R7|Cancel,OK|Cancel|2|2"},
            {2u, "Retry", "Morvane-R7|Abort,Ignore,Retry|Abort|0|4"},
        };
        for (const auto& r : rows) {
            QString seen;
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QStringList captions;
                for (QAbstractButton* b : box->buttons()) captions << b->text();
                captions.sort();
                seen = QString("%1|%2|%3|%4|").arg(box->windowTitle(), captions.join(','),
                                                   box->defaultButton()->text()).arg(box->icon());
                if (r.click.isEmpty()) QTest::keyClick(box, Qt::Key_Return);
                for (QAbstractButton* b : box->buttons()) {
                    if (b->text() == r.click) b->click();
                }
            });
            const int answer = ShowMessageBox("Prompt", r.flags, "");
            QCOMPARE(seen + QString::number(answer), r.seen);
        }
    }
};

QTEST_MAIN(MessageBoxTest)
#include "message_box_test.moc"
