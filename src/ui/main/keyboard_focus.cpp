#include "ui/main/keyboard_focus.h"

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QEvent>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace r7::ui {

namespace {

class WheelGuard : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Wheel) {
            const auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && !widget->hasFocus()) {
                // Not accepted: Qt offers the event to the parents.
                event->ignore();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

bool TakesWheel(const QWidget* widget) {
    return qobject_cast<const QComboBox*>(widget) || qobject_cast<const QAbstractSlider*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget);
}

}  // namespace

void GuardWheel(QWidget* root) {
    auto* guard = new WheelGuard(root);
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        // Scroll bars belong to what they scroll; the wheel over them is theirs.
        if (!TakesWheel(widget) || widget->inherits("QScrollBar")) continue;
        widget->setFocusPolicy(Qt::StrongFocus);
        widget->installEventFilter(guard);
    }
}

void OrderTabsByPosition(QWidget* root) {
    struct Placed {
        QWidget* widget;
        QRect rect;
    };
    std::vector<Placed> placed;
    for (QWidget* widget : root->findChildren<QWidget*>()) {
        if (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isVisibleTo(root) ||
            widget->focusProxy())
            continue;
        placed.push_back({widget, QRect(widget->mapTo(root, QPoint(0, 0)), widget->size())});
    }
    std::stable_sort(placed.begin(), placed.end(),
                     [](const Placed& a, const Placed& b) { return a.rect.top() < b.rect.top(); });
    // A widget whose middle lies above the bottom of a row's first widget belongs to that row.
    for (auto row = placed.begin(); row != placed.end();) {
        const int bottom = row->rect.bottom();
        auto end = std::find_if(row, placed.end(),
                                [bottom](const Placed& p) { return p.rect.center().y() > bottom; });
        if (end == row) ++end;
        std::stable_sort(row, end, [](const Placed& a, const Placed& b) {
            return a.rect.left() < b.rect.left();
        });
        row = end;
    }
    for (std::size_t i = 1; i < placed.size(); ++i)
        QWidget::setTabOrder(placed[i - 1].widget, placed[i].widget);
}

}  // namespace r7::ui
