#include "ui/main/screen_fit.h"

#include <QBoxLayout>
#include <QEvent>
#include <QMainWindow>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>

namespace r7::ui {

namespace {

// The screen's free area less the frame the desktop draws around the window; before the
// window is first mapped its frame is unknown, so a title bar and thin borders are assumed.
QSize Room(const QWidget* window) {
    QMargins frame(window->geometry().left() - window->frameGeometry().left(),
                   window->geometry().top() - window->frameGeometry().top(),
                   window->frameGeometry().right() - window->geometry().right(),
                   window->frameGeometry().bottom() - window->geometry().bottom());
    if (frame.isNull()) {
        const int border = window->style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
        frame = QMargins(border, window->style()->pixelMetric(QStyle::PM_TitleBarHeight) + border,
                         border, border);
    }
    return window->screen()->availableGeometry().size().shrunkBy(frame);
}

QScrollArea* NewScrollArea(QWidget* parent, QWidget* content) {
    auto* scroll = new QScrollArea(parent);
    scroll->setObjectName(QStringLiteral("screenFitScrollArea"));
    scroll->setFrameShape(QFrame::NoFrame);
    // Tab goes on through the controls inside; the area scrolls to the one with the focus.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);
    return scroll;
}

// Moves what `window` shows into a scroll area that fills it.
void ScrollContents(QWidget* window) {
    if (auto* main = qobject_cast<QMainWindow*>(window)) {
        QWidget* central = main->takeCentralWidget();
        QScrollArea* scroll = NewScrollArea(main, central);
        main->setCentralWidget(scroll);
        scroll->show();  // now, not once the window's events run
        return;
    }
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("screenFitContents"));
    QLayout* old = window->layout();
    if (auto* box = qobject_cast<QBoxLayout*>(old)) {
        // The items, with their stretch, move into the same kind of layout on the contents.
        auto* moved = new QBoxLayout(box->direction(), content);
        moved->setContentsMargins(box->contentsMargins());
        moved->setSpacing(box->spacing());
        while (box->count() > 0) {
            const int stretch = box->stretch(0);
            QLayoutItem* item = box->takeAt(0);
            moved->addItem(item);
            if (QLayout* inner = item->layout()) inner->setParent(moved);
            moved->setStretch(moved->count() - 1, stretch);
        }
        delete old;
    } else {
        // Laid out by position: the contents keep the designed size and places.
        content->setFixedSize(window->size());
    }
    for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child == content || child->isWindow()) continue;
        const bool shown = child->isVisibleTo(window);
        child->setParent(content);
        child->setVisible(shown);
    }
    window->setMinimumSize(0, 0);
    window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    QScrollArea* scroll = NewScrollArea(window, content);
    layout->addWidget(scroll);
    scroll->show();
}

void Fit(QWidget* window) {
    const QSize room = Room(window);
    const QSize need = window->minimumSizeHint().expandedTo(window->minimumSize());
    if (!room.isValid() || (need.width() <= room.width() && need.height() <= room.height())) {
        if (window->width() > room.width() || window->height() > room.height())
            window->resize(window->size().boundedTo(room));
        return;
    }
    const QSize designed = window->size();
    ScrollContents(window);
    // The window's minimum follows its layout, which must learn of the change first.
    window->layout()->activate();
    window->resize(designed.boundedTo(room));
}

class ScreenFit : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // Shown, laid out, not yet on the screen: the last moment to change its size unseen.
        if (event->type() == QEvent::Show && watched == parent())
            Fit(static_cast<QWidget*>(watched));
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

void KeepOnScreen(QWidget* window) { window->installEventFilter(new ScreenFit(window)); }

}  // namespace r7::ui
