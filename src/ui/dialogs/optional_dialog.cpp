#include "optional_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QScrollBar>
#include <QTableWidget>

#include "dialog_support.h"

namespace r7::ui {

namespace {

// Hidden controls lie beyond the right edge of the client area (4680 twips).
constexpr int kDtmfFrameLeft = 4800;
constexpr int kScanFrameLeft = 9120;
constexpr int kLooseLeft = 14400;
constexpr int kRowStep = 480;

}  // namespace

OptionalDialog::OptionalDialog(EditorState& state, QWidget* parent)
    : QDialog(parent), state_(state) {
    SetUpDialog(this, "Form5", "Optional", {4680, 4245});

    buildVoxGroup();
    buildHiddenControls();
    load();

    AddOkCancel(this, "OK", {960, 3720, 1095, 375}, "Cancel", {2280, 3720, 1095, 375},
                [this] { store(); });
}

void OptionalDialog::buildVoxGroup() {
    auto* frame = new QGroupBox("VOX", this);
    Place(frame, "Frame1", {240, 120, 4095, 3375});
    int top = 360;
    int labelNumber = 1;
    for (const OptionalList& list : OptionalLists()) {
        if (!list.visible) continue;
        auto* label = new QLabel(Utf8(list.label), frame);
        Place(label, QString("Label%1").arg(labelNumber++), {240, top, 1470, 330});
        auto* combo = new QComboBox(frame);
        Place(combo, Utf8(list.name), {1800, top, 1935, 330});
        label->setBuddy(combo);  // a list's accessible name is its current entry
        lists_.push_back({&list, combo, {}, -1});
        top += kRowStep;
    }
    int checkTop = 2280;
    for (const OptionalCheck& check : OptionalChecks()) {
        auto* box = new QCheckBox(Utf8(check.caption), frame);
        Place(box, Utf8(check.name), {480, checkTop, 3495, 330});
        checks_.push_back({&check, box, {}, false});
        checkTop += kRowStep;
    }
}

void OptionalDialog::buildHiddenControls() {
    auto* dtmf = new QGroupBox("DTMF", this);
    Place(dtmf, "Frame3", {kDtmfFrameLeft, 120, 4200, 4200});
    auto* scan = new QGroupBox("扫描", this);
    Place(scan, "Frame2", {kScanFrameLeft, 120, 5200, 4200});

    int labelNumber = 10;
    auto addLabel = [&labelNumber](QWidget* parent, std::string_view text, QRect twips) {
        auto* label = new QLabel(Utf8(text), parent);
        Place(label, QString("Label%1").arg(labelNumber++), twips);
        return label;
    };

    int dtmfTop = 360, scanTop = 360, looseTop = 240;
    for (const OptionalList& list : OptionalLists()) {
        if (list.visible) continue;
        auto* combo = new QComboBox;
        if (list.list == ValueList::Dtmf) {
            combo->setParent(dtmf);
            addLabel(dtmf, list.label, {120, dtmfTop, 1800, 330});
            Place(combo, Utf8(list.name), {2040, dtmfTop, 2000, 330});
            dtmfTop += kRowStep;
        } else if (list.position >= 11) {
            combo->setParent(scan);
            addLabel(scan, list.label, {120, scanTop, 2700, 330});
            Place(combo, Utf8(list.name), {2880, scanTop, 2000, 330});
            scanTop += kRowStep;
        } else {
            combo->setParent(this);
            addLabel(this, list.label, {kLooseLeft, looseTop, 1500, 330})->hide();
            Place(combo, Utf8(list.name), {kLooseLeft + 1560, looseTop, 2000, 330});
            combo->hide();
            looseTop += kRowStep;
        }
        lists_.push_back({&list, combo, {}, -1});
    }

    for (const OptionalText& text : OptionalTexts()) {
        QLineEdit* edit = text.codeLength > 0
                              ? new FilteredLineEdit(CodeKeyFilter(text.codeLength), this)
                              : new QLineEdit(scan);
        if (text.codeLength > 0) {
            addLabel(this, text.label, {kLooseLeft, looseTop, 1500, 330})->hide();
            Place(edit, Utf8(text.name), {kLooseLeft + 1560, looseTop, 2000, 330});
            edit->hide();
            looseTop += kRowStep;
        } else {
            // Text5 / Text6 with the scroll bar VScroll1 / VScroll2 beside them.
            const int n = text.position - 18;
            addLabel(scan, text.label, {120, scanTop, 2700, 330});
            Place(edit, Utf8(text.name), {2880, scanTop, 1600, 330});
            auto* bar = new QScrollBar(Qt::Vertical, scan);
            Place(bar, QString("VScroll%1").arg(n), {4500, scanTop, 255, 330});
            bar->setRange(0, 255);
            bar->setSingleStep(1);
            // Not set from the text box: the bar only ever writes into it.
            connect(bar, &QScrollBar::valueChanged, edit,
                    [edit](int value) { edit->setText(QString::number(value)); });
            scanTop += kRowStep;
        }
        texts_.push_back({&text, edit, {}});
    }

    grid_ = MakeFixedGrid(this, "mfgrid1", "Memory", kDtmfCount, {"编号", "自动拨号存储器"},
                          {600, 1995});
    grid_->setGeometry(Twips(kLooseLeft, looseTop + 120, 2700, 2900));
    grid_->setItemDelegate(new GridEditorDelegate(MemoryKeyFilter(), {}, grid_));
    grid_->hide();

    dtmf->hide();
    scan->hide();
}

void OptionalDialog::load() {
    for (ListBinding& b : lists_) {
        for (const auto& item : b.description->items)
            b.combo->addItem(QString::fromStdString(item));
        b.loaded = ValueOf(state_, b.description->list, b.description->position);
        b.shown = ListIndexOf(b.description->form, b.description->items, b.loaded);
        b.combo->setCurrentIndex(b.shown);
    }
    for (TextBinding& b : texts_) {
        b.loaded = state_.option(b.description->position);
        b.edit->setText(QString::fromStdString(b.loaded));
    }
    for (CheckBinding& b : checks_) {
        b.loaded = state_.option(b.description->position);
        b.shown = CheckedOf(b.loaded);
        b.box->setChecked(b.shown);
    }
    for (int row = 1; row <= kDtmfCount; ++row) {
        grid_->item(row - 1, 0)->setText(QString::number(row));
        grid_->item(row - 1, 1)->setText(QString::fromStdString(state_.DtmfMemories[row - 1]));
    }
}

void OptionalDialog::store() {
    for (const ListBinding& b : lists_) {
        const int index = b.combo->currentIndex();
        ValueOf(state_, b.description->list, b.description->position) =
            ValueToStore(b.loaded, index == b.shown,
                         ListValueOf(b.description->form, b.description->items, index));
    }
    for (const TextBinding& b : texts_) {
        const QString text = b.edit->text();
        state_.option(b.description->position) =
            ValueToStore(b.loaded, text == QString::fromStdString(b.loaded), text.toStdString());
    }
    for (const CheckBinding& b : checks_) {
        const bool checked = b.box->isChecked();
        state_.option(b.description->position) =
            ValueToStore(b.loaded, checked == b.shown, CheckValueOf(checked));
    }
    for (int row = 1; row <= kDtmfCount; ++row) {
        std::string& memory = state_.DtmfMemories[row - 1];
        const QString text = CellText(grid_, row - 1, 1);
        memory = ValueToStore(memory, text == QString::fromStdString(memory), text.toStdString());
    }
}

}  // namespace r7::ui
