#include "CVtrView.h"

#include <algorithm>
#include <utility>

#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFocusEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QUrl>

#include "CLayer.h"
#include "CVtrDoc.h"
#include "DialogUnits.h"
#include "FieldDialog.h"
#include "FilterSchematic.h"
#include "FormDialogs.h"
#include "FormHost.h"
#include "PlaneEdits.h"
#include "ShownText.h"
#include "StepSpin.h"
#include "Values.h"

namespace vantor::ui {

namespace {

// The size of the form in dialog units.
constexpr int kFormWidth = 488;
constexpr int kFormHeight = 290;
// Slot rows start here and follow each other at this pitch.
constexpr int kFirstRow = 33;
constexpr int kRowPitch = 15;

// The property that holds the help a control answers F1 with: a help page
// and the anchor of the section about the control.
constexpr char kHelpProperty[] = "helpTarget";

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

// A widget's accessible name: its visible words, without mnemonic marks
// and layout spaces.
QString Spoken(QString text) {
    text.remove(QLatin1Char('&'));
    return text.simplified();
}

// The spin keeps to the range the attenuation field's own check accepts;
// the other fields of the probe are valid so that only this one counts.
bool AttenuationAccepted(double value) {
    return !FilterFields{"2Hz", "1Hz", ExactText(value) + "dB", "1A"}.Check().has_value();
}

}  // namespace

QString CVtrView::HelpTarget(const QWidget* control) { return control->property(kHelpProperty).toString(); }

CVtrView::CVtrView(FormHost& host, QWidget* parent) : QWidget(parent), host_(host) {
    setAccessibleName(QStringLiteral("Entkopplung"));
    buildOptimisationBox();
    buildGroupBox();
    buildFilterBox();
    buildBoardBox();
    // Every control answers F1 with the help about it.
    for (const Placed& p : placed_) p.widget->installEventFilter(this);
    placeControls();
    host_.document().AddView(*this);
    OnUpdate(ChangeHint::Everything);
}

CVtrView::~CVtrView() { host_.document().RemoveView(*this); }

ViewRecord* CVtrView::Record() { return &host_.document().MainFormRecord(); }

// The form is attached from its construction to its destruction.
const MainFormState& CVtrView::form() const { return *host_.document().MainForm(); }

// ---------------------------------------------------------------- building

void CVtrView::place(QWidget* widget, const char* help, QRect at) {
    placed_.push_back({widget, at});
    if (help != nullptr) widget->setProperty(kHelpProperty, QString::fromLatin1(help));
}

QLabel* CVtrView::addLabel(const QString& text, QRect at) {
    auto* label = new QLabel(text, this);
    place(label, nullptr, at);
    return label;
}

QLineEdit* CVtrView::addField(const char* help, const QString& name, QRect at, bool readOnly) {
    auto* field = new QLineEdit(this);
    field->setReadOnly(readOnly);
    field->setAccessibleName(Spoken(name));
    place(field, help, at);
    return field;
}

QPushButton* CVtrView::addButton(const char* help, const QString& text, QRect at) {
    auto* button = new QPushButton(text, this);
    button->setAccessibleName(Spoken(text));
    button->setAutoDefault(false);
    place(button, help, at);
    return button;
}

void CVtrView::buildOptimisationBox() {
    auto* box = new QGroupBox(QStringLiteral("Optimierung:"), this);
    box->setAccessibleName(QStringLiteral("Optimierung:"));
    place(box, nullptr, {15, 7, 69, 190});
    addLabel(QStringLiteral("Fmax:"), {21, 17, 22, 9});
    fmax_ = new QLabel(this);
    fmax_->setAccessibleName(QStringLiteral("Fmax:"));
    fmax_->setFocusPolicy(Qt::ClickFocus);  // F1 on it shows its help
    place(fmax_, "hauptformular.html#fmax", {45, 17, 36, 9});
    for (int k = 1; k <= kSlotCount; ++k) {
        const int y = kFirstRow + (k - 1) * kRowPitch;
        addLabel(QStringLiteral("C%1:").arg(k), {24, y + 2, 17, 9});
        // Apart from the group's slot of the same number.
        optimised_[k - 1] = addField("hauptformular.html#optimierung", QStringLiteral("Optimierung C%1").arg(k),
                                     {42, y, 36, 12}, true);
    }
    connect(addButton("hauptformular.html#neue-gruppe", QStringLiteral(">> + >>"), {87, 99, 39, 15}),
            &QPushButton::clicked, this, &CVtrView::newGroup);
}

void CVtrView::buildGroupBox() {
    auto* box = new QGroupBox(this);
    box->setAccessibleName(QStringLiteral("Aktuelle Gruppe"));
    place(box, nullptr, {130, 7, 89, 255});
    // The group's name stands in the box's frame, where a title would.
    // Unnamed, so that a screen reader reads the name it shows.
    groupName_ = NewPlainLabel(this);
    groupName_->setAccessibleDescription(QStringLiteral("Aktuelle Gruppe"));
    place(groupName_, "hauptformular.html#gruppe", {137, 3, 62, 9});
    groupSpin_ = new StepSpin(this);
    groupSpin_->setAccessibleName(QStringLiteral("Gruppe wechseln"));
    groupSpin_->onStep = [this](int steps) {
        stepGroup(steps);
        return true;
    };
    place(groupSpin_, "hauptformular.html#gruppe", {201, 2, 9, 12});

    e6_ = new QRadioButton(QStringLiteral("E6"), this);
    e12_ = new QRadioButton(QStringLiteral("E12"), this);
    for (auto [radio, x] : {std::pair{e6_, 139}, std::pair{e12_, 185}}) {
        radio->setAccessibleName(radio->text());
        place(radio, "hauptformular.html#e-reihe", {x, 20, 30, 10});
    }
    connect(e6_, &QRadioButton::toggled, this, [this](bool on) { setSeries(on); });

    for (int k = 1; k <= kSlotCount; ++k) {
        const int y = kFirstRow + (k - 1) * kRowPitch;
        auto* combo = new QComboBox(this);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setMaxVisibleItems(12);
        combo->setAccessibleName(QStringLiteral("C%1").arg(k));
        // The text field inside is what a screen reader lands on.
        combo->lineEdit()->setAccessibleName(combo->accessibleName());
        place(combo, "hauptformular.html#c-werte", {139, y, 48, 12});
        slots_[k - 1] = combo;
        fields_[static_cast<SlotField>(k - 1)] = combo;
        // A typed value is checked and written when it is committed (Enter
        // or leaving the field), not at every key: "0.47uF" passes through
        // "0" on its way. A chosen entry is a series value and is written
        // without the check.
        connect(combo->lineEdit(), &QLineEdit::returnPressed, this, [this] { applySlots(true); });
        connect(combo, &QComboBox::textActivated, this, [this] { applySlots(false); });

        // Ten buttons read "Edit"; the name says which slot each edits.
        QPushButton* edit = addButton("bearbeiten.html", QStringLiteral("Edit"), {190, y, 24, 12});
        edit->setAccessibleName(QStringLiteral("Edit C%1").arg(k));
        connect(edit, &QPushButton::clicked, this, [this, k] { editSlot(k); });
        editButtons_[k - 1] = edit;
    }

    addLabel(QStringLiteral("Position:"), {139, 216, 50, 9});
    addLabel(QStringLiteral("X:"), {139, 229, 8, 9});
    posX_ = addField("hauptformular.html#position", QStringLiteral("X:"), {147, 227, 28, 12}, false);
    addLabel(QStringLiteral("Y:"), {177, 229, 7, 9});
    posY_ = addField("hauptformular.html#position", QStringLiteral("Y:"), {184, 227, 29, 12}, false);
    connect(addButton("hauptformular.html#gruppe-loeschen", QStringLiteral("Gruppe löschen"), {139, 244, 72, 14}),
            &QPushButton::clicked, this, &CVtrView::deleteGroup);
    transfer_ = addButton("hauptformular.html#transfer", QStringLiteral(">>>"), {223, 99, 40, 15});
    connect(transfer_, &QPushButton::clicked, this, &CVtrView::transfer);
}

void CVtrView::buildFilterBox() {
    auto* box = new QGroupBox(QStringLiteral("Filterdimensionierung:"), this);
    box->setAccessibleName(QStringLiteral("Filterdimensionierung:"));
    place(box, nullptr, {267, 6, 213, 275});

    source_ = addButton("hauptformular.html#quelle", QStringLiteral("Quelle:\n50 Ohm"), {273, 54, 33, 27});
    choke_ = addButton("hauptformular.html#drossel", QStringLiteral("Drossel"), {329, 25, 33, 27});
    groupButton_ = addButton("hauptformular.html#c-gruppe", QStringLiteral("C-Gruppe"), {382, 54, 37, 27});
    load_ = addButton("hauptformular.html#last", QStringLiteral("Last:\n50 Ohm"), {441, 54, 33, 27});
    source_->setEnabled(false);
    load_->setEnabled(false);
    connect(choke_, &QPushButton::clicked, this, &CVtrView::openDataSheet);
    connect(groupButton_, &QPushButton::clicked, this, &CVtrView::toggleGroupInFilter);

    addLabel(QStringLiteral("Filtereigenschaften:"), {273, 113, 80, 9});
    addLabel(QStringLiteral("Obere Grenzfrequenz:"), {273, 130, 82, 9});
    fo_ = addField("hauptformular.html#fo", QStringLiteral("Obere Grenzfrequenz:"), {356, 128, 36, 12}, false);
    addLabel(QStringLiteral("Untere Grenzfrequenz:"), {273, 147, 82, 9});
    fu_ = addField("hauptformular.html#fu", QStringLiteral("Untere Grenzfrequenz:"), {356, 145, 36, 12}, false);
    addLabel(QStringLiteral("Maximaler Gleichstrom:"), {273, 167, 82, 9});
    imax_ = addField("hauptformular.html#imax", QStringLiteral("Maximaler Gleichstrom:"), {356, 165, 36, 12}, false);
    addLabel(QStringLiteral("Dämpfung:"), {394, 139, 39, 9});
    attenuation_ = addField("hauptformular.html#daempfung", QStringLiteral("Dämpfung:"), {433, 137, 31, 12}, false);
    attenuationSpin_ = new StepSpin(this);
    attenuationSpin_->setAccessibleName(QStringLiteral("Dämpfung:"));
    attenuationSpin_->onStep = [this](int steps) { return stepAttenuation(steps); };
    place(attenuationSpin_, "hauptformular.html#daempfung", {464, 137, 9, 12});
    fields_[FilterField::Fo] = fo_;
    fields_[FilterField::Fu] = fu_;
    fields_[FilterField::Imax] = imax_;
    fields_[FilterField::Attenuation] = attenuation_;

    connect(addButton("hauptformular.html#drossel-suchen",
                      QStringLiteral("vv                  &Drossel suchen...                  vv"),
                      {273, 185, 201, 16}),
            &QPushButton::clicked, this, &CVtrView::searchChoke);
    chokes_ = new QComboBox(this);
    chokes_->setAccessibleName(QStringLiteral("Drossel"));
    place(chokes_, "hauptformular.html#drosselliste", {273, 204, 201, 12});
    connect(chokes_, &QComboBox::activated, this, &CVtrView::chooseChoke);
    const std::array<QString, 3> chosen{QStringLiteral("Hersteller:"), QStringLiteral("Bauart:"),
                                        QStringLiteral("Bauform:")};
    std::array<QLineEdit*, 3> fields{};
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        const int y = 222 + int(i) * 15;
        addLabel(chosen[i], {273, y + 2, 40, 9});
        fields[i] = addField("hauptformular.html#drosseldaten", chosen[i], {315, y, 159, 12}, true);
    }
    maker_ = fields[0], type_ = fields[1], package_ = fields[2];
}

void CVtrView::buildBoardBox() {
    auto* box = new QGroupBox(QStringLiteral("Vcc- / GND - System:"), this);
    box->setAccessibleName(QStringLiteral("Vcc- / GND - System:"));
    place(box, nullptr, {15, 204, 110, 57});
    connect(addButton("hauptformular.html#analyse", QStringLiteral("Analyse !"), {33, 222, 72, 17}),
            &QPushButton::clicked, this, [this] { host_.runAnalysis(); });
    QPushButton* killMax = addButton("hauptformular.html#analyse", QStringLiteral("KillMax && FEM"), {84, 263, 38, 21});
    killMax->setAccessibleName(QStringLiteral("KillMax & FEM"));
    killMax->hide();  // kept for the document's command; the form does not offer it
    connect(killMax, &QPushButton::clicked, this, [this] { host_.runKillMax(); });
}

void CVtrView::placeControls() {
    const DialogUnits du(fontMetrics());
    for (const Placed& p : placed_) {
        const QRect& r = p.dialogUnits;
        p.widget->setGeometry(du.rect(r.x(), r.y(), r.width(), r.height()));
    }
    fitGroupName();
    updateGeometry();
}

void CVtrView::fitGroupName() {
    // The name covers the group box's line only as far as it reaches.
    groupName_->setAutoFillBackground(!groupName_->text().isEmpty());
    groupName_->resize(std::min(groupName_->sizeHint().width(), groupSpin_->x() - groupName_->x()),
                       groupName_->height());
    groupName_->raise();
}

QSize CVtrView::sizeHint() const { return DialogUnits(fontMetrics()).size(kFormWidth, kFormHeight); }

void CVtrView::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) placeControls();
    QWidget::changeEvent(event);
}

void CVtrView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    DrawFilterSchematic(painter,
                        {source_->geometry(), choke_->geometry(), groupButton_->geometry(), load_->geometry(),
                         transfer_->geometry()},
                        host_.document().filter().useGroup != 0, form().transferState);
}

// ----------------------------------------------------------------- refresh

void CVtrView::OnUpdate(ChangeHint hint) {
    // The form shows nothing of the solver's results or its frequencies.
    if (!Touches(hint, ChangeHint::Board | ChangeHint::Groups | ChangeHint::Filter | ChangeHint::ViewState)) return;
    // The values the form just wrote are already on it, as typed.
    if (writingSlots_) {
        update();
        return;
    }
    refresh(hint);
}

void CVtrView::refresh(ChangeHint hint) {
    QScopedValueRollback guard(refreshing_, true);
    const CVtrDoc& doc = host_.document();

    const SlotTexts optimised = GroupSlotTexts(&doc.optimisationGroup());
    for (int k = 0; k < kSlotCount; ++k) optimised_[k]->setText(Q(optimised[k]));
    groupName_->setText(Q(form().currentGroupName));
    fitGroupName();
    refreshSlots();

    const CCGroup* group = doc.currentGroup();
    shownX_ = group != nullptr ? Q(FormatValue(group->posX, "m")) : QString();
    shownY_ = group != nullptr ? Q(FormatValue(group->posY, "m")) : QString();
    posX_->setText(shownX_);
    posY_->setText(shownY_);

    // Fmax scans the optimised group's curve: only a change of the groups
    // or the board can move it.
    if (Touches(hint, ChangeHint::Board | ChangeHint::Groups) || fmax_->text().isEmpty())
        fmax_->setText(Q(FmaxFieldText(ReachedFmax(doc.optimisationGroup()))));

    shownFilter_ = FilterFields::FromFilter(doc.filter());
    fo_->setText(Q(shownFilter_.fo));
    fu_->setText(Q(shownFilter_.fu));
    attenuation_->setText(Q(shownFilter_.attenuation));
    imax_->setText(Q(shownFilter_.imax));
    refreshChokes();
    update();
}

void CVtrView::refreshSlots() {
    const CCGroup* group = host_.document().currentGroup();
    shownCapacitors_ = group != nullptr ? group->CapacitorCount() : 0;
    shownSlots_ = GroupSlotTexts(group);
    for (int k = 1; k <= kSlotCount; ++k) {
        QComboBox* combo = slots_[k - 1];
        const QSignalBlocker block(combo);
        const ValueComboList list = BuildValueComboList(shownSlots_[k - 1], form().e6);
        combo->clear();
        for (const std::string& entry : list.entries) combo->addItem(Q(entry));
        if (!list.entries.empty()) combo->setCurrentIndex(list.selected);
        combo->setEditText(Q(shownSlots_[k - 1]));
        // The occupied slots and the first free one can be edited.
        editButtons_[k - 1]->setEnabled(k - 1 <= shownCapacitors_);
    }
    const QSignalBlocker b6(e6_), b12(e12_);
    e6_->setChecked(form().e6);
    e12_->setChecked(!form().e6);
}

void CVtrView::refreshChokes() {
    const ChokeList list = BuildChokeList(host_.document().filter());
    const QSignalBlocker block(chokes_);
    chokes_->clear();
    for (const ChokeList::Entry& e : list.entries) chokes_->addItem(Q(e.text), e.candidate);
    chokes_->setCurrentIndex(list.selected);
    // Long texts show from their start.
    for (auto [field, text] : {std::pair{maker_, &list.maker}, {type_, &list.type}, {package_, &list.package}}) {
        field->setText(Q(*text));
        field->home(false);
    }
}

// ----------------------------------------------------------------- actions

void CVtrView::command(const char* label, const std::function<void()>& fn) {
    host_.runCommand(QString::fromUtf8(label), fn);
}

SlotTexts CVtrView::slotTexts() const {
    SlotTexts texts;
    for (int k = 0; k < kSlotCount; ++k) texts[k] = S(slots_[k]->currentText());
    return texts;
}

FilterFields CVtrView::filterFields() const {
    FilterFields typed{S(fo_->text()), S(fu_->text()), S(attenuation_->text()), S(imax_->text())};
    // A field left as shown stands for the stored value, not its rounding
    // ("3GHz" for 2.99e9), and is neither checked against nor written as that.
    using F = FilterFields;
    KeepExactWhereUnchanged(typed, shownFilter_, F::FromFilterExact(host_.document().filter()), &F::fo, &F::fu,
                            &F::attenuation, &F::imax);
    return typed;
}

FieldCheck CVtrView::validate() const {
    if (auto e = CheckSlotValues(slotTexts(), shownCapacitors_)) return e;
    return filterFields().Check();
}

void CVtrView::refuse(const FieldError& error) {
    QScopedValueRollback guard(refusing_, true);
    host_.interaction().message(error.message, MessageKind::Error);
    if (const auto found = fields_.find(error.key); found != fields_.end()) {
        QWidget* control = found->second;
        // Right after the message box the window may not be active yet;
        // the control then gets the focus when it is.
        control->setFocus(Qt::OtherFocusReason);
        if (auto* field = qobject_cast<QLineEdit*>(control)) field->selectAll();
        if (auto* combo = qobject_cast<QComboBox*>(control); combo != nullptr && combo->lineEdit() != nullptr)
            combo->lineEdit()->selectAll();
    }
}

void CVtrView::applySlots(bool check) {
    if (refreshing_ || refusing_) return;
    const SlotTexts texts = slotTexts();
    // Only the occupied slots are written; leaving them as they were is no edit.
    bool changed = false;
    for (int k = 0; k < kSlotCount && k < shownCapacitors_; ++k) changed = changed || texts[k] != shownSlots_[k];
    if (check) {
        if (auto e = validate()) return refuse(*e);
    }
    if (!changed) return;
    FieldCheck refused;
    {
        QScopedValueRollback guard(writingSlots_, true);
        command("Kapazitätswerte", [&] { refused = WriteSlotValues(host_.document(), texts); });
    }
    if (refused) return refuse(*refused);
    shownSlots_ = texts;
    update();
}

void CVtrView::applyFilterFields() {
    if (auto e = validate()) return refuse(*e);
    const FilterFields f = filterFields();
    if (f == FilterFields::FromFilterExact(host_.document().filter())) return;
    command("Filtereigenschaften", [&] { host_.document().setFilterRequirements(f.fo, f.fu, f.attenuation, f.imax); });
}

void CVtrView::applyPosition() {
    if (auto e = validate()) return refuse(*e);
    if (posX_->text() == shownX_ && posY_->text() == shownY_) return;
    const CCGroup* group = host_.document().currentGroup();
    if (group == nullptr) return;
    // The fields show the position rounded; a field the person left as shown
    // keeps the exact stored coordinate, so editing Y does not shift X.
    const double x = posX_->text() == shownX_ ? group->posX : ParseValue(S(posX_->text()));
    const double y = posY_->text() == shownY_ ? group->posY : ParseValue(S(posY_->text()));
    command("Position", [&] { host_.document().moveGroup(group, x, y); });
}

void CVtrView::stepGroup(int steps) {
    CVtrDoc& doc = host_.document();
    const CLayer* plane = doc.plane();
    const CCGroup* current = doc.currentGroup();
    if (plane == nullptr || current == nullptr) return;
    const auto& groups = plane->capacitorGroups;
    int i = 0;
    while (groups[std::size_t(i)].get() != current) ++i;
    // Up is the next group of the list, down the one before; the ends stay.
    const int next = std::clamp(i + (steps > 0 ? 1 : -1), 0, int(groups.size()) - 1);
    if (next == i) return;
    const CCGroup* chosen = groups[std::size_t(next)].get();
    command("Gruppe wählen", [&] { doc.selectGroup(chosen); });
}

bool CVtrView::stepAttenuation(int steps) {
    const double value = ParseValue(S(attenuation_->text())) + steps;
    if (!AttenuationAccepted(value)) return false;
    command("Dämpfung", [&] { host_.document().setMinAttenuation(value, this); });
    const QSignalBlocker block(attenuation_);
    shownFilter_.attenuation = FormatValue(value, "dB");
    attenuation_->setText(Q(shownFilter_.attenuation));
    return true;
}

void CVtrView::deleteGroup() {
    const CCGroup* group = host_.document().currentGroup();
    if (group == nullptr) return;
    command("Gruppe löschen", [&] { host_.document().deleteGroup(group); });
}

void CVtrView::newGroup() {
    command(">> + >>", [&] { NewGroupFromForm(host_.document()); });
}

void CVtrView::transfer() {
    command(">>>", [&] { TransferToFilter(host_.document()); });
}

void CVtrView::openDataSheet() {
    const CSParaSet* chosen = host_.document().filter().SelectedChoke();
    if (chosen == nullptr || chosen->datasheet.empty()) {
        host_.showStatusMessage(chosen == nullptr
                                    ? QStringLiteral("Es ist keine Drossel gewählt.")
                                    : QStringLiteral("Die Drossel %1 hat kein Datenblatt.").arg(Q(chosen->name)));
        return;
    }
    // A file beside the working folder or a web page.
    QDesktopServices::openUrl(QUrl::fromUserInput(Q(chosen->datasheet), QDir::currentPath(), QUrl::AssumeLocalFile));
}

void CVtrView::toggleGroupInFilter() {
    command("C-Gruppe", [&] { host_.document().toggleGroupInFilter(); });
}

void CVtrView::searchChoke() {
    CVtrDoc& doc = host_.document();
    if (const std::string refusal = ChokeSearchRefusal(doc); !refusal.empty()) {
        host_.interaction().message(refusal, MessageKind::Information);
        return;
    }
    const BusyScope busy(host_.interaction());
    command("Drossel suchen", [&] { doc.searchChoke(); });
}

void CVtrView::chooseChoke(int index) {
    const int candidate = chokes_->itemData(index).toInt();
    if (candidate < 0) return;
    command("Drossel wählen", [&] { host_.document().selectChoke(candidate); });
}

void CVtrView::editSlot(int k) {
    const CCGroup* group = host_.document().currentGroup();
    if (group != nullptr) RunSlotCommand(host_, *group, k, this);
}

void CVtrView::setSeries(bool e6) {
    host_.document().setSeries(e6, this);
    QScopedValueRollback guard(refreshing_, true);
    refreshSlots();
}

void CVtrView::showHelpFor(QWidget* widget) {
    // A combo's own edit field asks for its combo's help.
    for (; widget != nullptr && widget != this; widget = widget->parentWidget())
        if (const QString target = HelpTarget(widget); !target.isEmpty()) return host_.showHelpSection(target);
    host_.showHelpSection(QStringLiteral("hauptformular.html"));
}

bool CVtrView::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    // In an active window the main window's "Hilfethemen" shortcut would take
    // F1 first: the field claims the key, its press then comes here.
    if (event->type() == QEvent::ShortcutOverride && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
        event->accept();
        return true;
    }
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
        showHelpFor(widget);
        return true;
    }
    if (event->type() != QEvent::FocusOut || refreshing_ || refusing_) return QWidget::eventFilter(watched, event);
    // A combo's own list opening, or another window taking over, is no
    // leaving of the field: it still has the focus within the form.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason)
        return QWidget::eventFilter(watched, event);
    if (widget == fo_ || widget == fu_ || widget == attenuation_ || widget == imax_)
        applyFilterFields();
    else if (widget == posX_ || widget == posY_)
        applyPosition();
    else if (std::find(slots_.begin(), slots_.end(), widget) != slots_.end())
        applySlots(true);
    return QWidget::eventFilter(watched, event);
}

// ------------------------------------------------------------ menu commands

void CVtrView::runCommand(FormCommand command) {
    CVtrDoc& doc = host_.document();
    switch (command) {
        case FormCommand::GraphWindow: host_.setGraphWindowOpen(doc.graphWindowOpen() == 0); break;
        case FormCommand::LayerEditor: host_.setLayerEditorOpen(doc.layerEditorOpen() == 0); break;
        case FormCommand::Layout: RunLayoutCommand(host_, this); break;
        case FormCommand::Capacitors:
            RunCapacitorCommand(host_, this);
            update();
            break;
        case FormCommand::Targets: RunTargetCommand(host_, this); break;
        case FormCommand::AnalysisParameters: RunAnalysisParameterCommand(host_, this); break;
    }
}

bool CVtrView::isChecked(FormCommand command) const {
    const CVtrDoc& doc = host_.document();
    switch (command) {
        case FormCommand::GraphWindow: return doc.graphWindowOpen() != 0;
        case FormCommand::LayerEditor: return doc.layerEditorOpen() != 0;
        default: return false;
    }
}

}  // namespace vantor::ui
