#include "form3.h"

#include "kit/list_index.h"
#include "kit/rule_name_text.h"
#include "kit/twips.h"
#include "kit/window_font.h"
#include "kit/window_placement.h"
#include "rules/rule_store.h"
#include "settings/cls_registry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QRadioButton>

namespace {

// A name nobody stores: "Neu" fills the form from it and so shows the default rule.
constexpr const char* kUnusedRuleName = "jhgfhfdgfdhgfdhgdgf";

std::string ToUtf8(const QString& s) {
    return s.toUtf8().toStdString();
}

// The name box keeps the stored bytes of the rule the form was filled from.
std::string Tag(const QLineEdit* edit) {
    return RuleNameOf(edit->property("Tag"));
}
void SetTag(QLineEdit* edit, const std::string& tag) {
    edit->setProperty("Tag", RuleNameData(tag));
}

} // namespace

Form3::Form3(QWidget* owner) : QDialog(owner) {
    setObjectName("Form3");
    setWindowTitle("Regel Editor");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    createControls();
    Form_Load();
}

Form3::~Form3() = default;

void Form3::Form_Load() {
    Reg = std::make_unique<clsRegistry>();
    const QStringList conditions = {"nicht existiert oder älter ist.", "nicht existiert.",
                                    "älter ist."};
    Combo1->addItems(conditions);
    Combo2->addItems(conditions);
    Combo1->setCurrentIndex(0);
    Combo2->setCurrentIndex(0);
    ApplyTahomaFont(this);
}

std::string Form3::nameOf(const QListWidgetItem* item) {
    return item != nullptr ? RuleNameOf(item->data(Qt::UserRole)) : std::string();
}

void Form3::Laden(const std::string& name) {
    List1->clear();
    for (const std::string& n : RuleStore(*Reg).Names()) {
        auto* item = new QListWidgetItem(RuleNameText(n), List1);
        item->setData(Qt::UserRole, RuleNameData(n));
    }
    for (int k = 0; k < List1->count(); ++k)
        if (nameOf(List1->item(k)) == name)
            List1->setCurrentRow(k);
    List1_MouseUp(Qt::NoButton, QPoint());
    if (isVisible())
        return;
    PlaceCentredOver(this, parentWidget());
    exec(); // the window may be gone after this: nothing follows
}

void Form3::fillForm(const std::string& name) {
    Check1->setChecked(true);
    const SyncRule rule = LoadRule(name);
    Combo1->setCurrentIndex(rule.CopyCondition);
    Text1->setText(RuleNameText(name));
    SetTag(Text1, name);
    switch (rule.ReverseAction) {
    case 0:
        Check1->setChecked(false);
        break;
    case 1:
    case 2:
    case 3:
        Option1->setChecked(true);
        Combo2->setCurrentIndex(3 - rule.ReverseAction); // index 0 is 3, index 2 is 1
        break;
    case 4:
        Option2->setChecked(true);
        Option3->setChecked(true);
        break;
    case 5:
        Option2->setChecked(true);
        Option4->setChecked(true);
        break;
    default:
        break;
    }
    Check2->setChecked(rule.IncludeSubfolders);
    Check3->setChecked(rule.HiddenFiles);
    Check4->setChecked(rule.SystemFiles);
    Check5->setChecked(rule.ReadOnlyFiles);
    Option1_Click();
    Check1_Click();
}

void Form3::Check1_Click() {
    if (!Check1->isChecked()) {
        for (QWidget* w : std::initializer_list<QWidget*>{Frame2, Frame3, Option1, Option2, Option3,
                                                          Option4, Combo2})
            w->setEnabled(false);
        return;
    }
    Frame2->setEnabled(true);
    Option1->setEnabled(true);
    Option2->setEnabled(true);
    Option1_Click();
}

void Form3::Option1_Click() {
    const bool copyBack = Option1->isChecked();
    Frame3->setEnabled(!copyBack);
    Option3->setEnabled(!copyBack);
    Option4->setEnabled(!copyBack);
    Combo2->setEnabled(copyBack);
}

void Form3::List1_MouseDown(Qt::MouseButton button, QPoint pixel) {
    if (button != Qt::RightButton)
        return;
    const int index = ListIndexFromPoint(List1, PixelsToTwips(pixel.x()), PixelsToTwips(pixel.y()));
    if (index >= 0)
        List1->setCurrentRow(index);
}

void Form3::List1_MouseUp(Qt::MouseButton button, QPoint pixel) {
    if (button != Qt::RightButton) {
        if (QListWidgetItem* item = List1->currentItem(); item != nullptr && item->isSelected())
            fillForm(nameOf(item));
        return;
    }
    const int index = ListIndexFromPoint(List1, PixelsToTwips(pixel.x()), PixelsToTwips(pixel.y()));
    if (index < 0)
        return;
    List1->setCurrentRow(index);
    lPopUp->popup(List1->viewport()->mapToGlobal(pixel));
}

bool Form3::eventFilter(QObject* watched, QEvent* event) {
    if (watched == List1->viewport()) {
        if (event->type() == QEvent::MouseButtonPress) {
            auto* me = static_cast<QMouseEvent*>(event);
            List1_MouseDown(me->button(), me->position().toPoint());
        } else if (event->type() == QEvent::MouseButtonRelease) {
            auto* me = static_cast<QMouseEvent*>(event);
            List1_MouseUp(me->button(), me->position().toPoint());
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Form3::add_Click() {
    fillForm(kUnusedRuleName);
    SetTag(Text1, std::string());
    Text1->setText("Neue Regel");
    Text1->setFocus();
    Text1->selectAll();
}

void Form3::edit_Click() {
    if (QListWidgetItem* item = List1->currentItem())
        fillForm(nameOf(item));
}

void Form3::delete_Click() {
    QListWidgetItem* item = List1->currentItem();
    if (item == nullptr)
        return;
    const int row = List1->row(item);
    RuleStore(*Reg).Remove(nameOf(item));
    std::string neighbour;
    if (row > 0)
        neighbour = nameOf(List1->item(row - 1));
    else if (List1->count() > 1)
        neighbour = nameOf(List1->item(1));
    Laden(neighbour);
}

void Form3::Command1_Click() {
    const QString shown = Text1->text().trimmed();
    if (shown.isEmpty()) {
        QMessageBox box(QMessageBox::Critical, "Fehler...", "Die Regel muss einen Namen haben !!",
                        QMessageBox::Ok, this);
        box.exec();
        return;
    }
    // Every control is read before anything is refreshed, so what is saved is what was shown.
    const int copy = Combo1->currentIndex();
    int reverse = 0;
    if (Check1->isChecked()) {
        if (Option1->isChecked())
            reverse = 3 - Combo2->currentIndex();
        else
            reverse = Option3->isChecked() ? 4 : 5;
    }
    const bool readOnly = Check5->isChecked();
    const bool hidden = Check3->isChecked();
    const bool subfolders = Check2->isChecked();
    const bool system = Check4->isChecked();
    const std::string loadedAs = Tag(Text1);
    // A name left as it was shown keeps the bytes it is stored with.
    const std::string name =
        !loadedAs.empty() && shown == RuleNameText(loadedAs) ? loadedAs : ToUtf8(shown);

    // The renamed rule and the removal of its old name go into one write: a failed write
    // leaves the stored rules as they were and the form as the user filled it.
    const std::int32_t rc =
        RuleStore(*Reg).Save(loadedAs, name,
                             FormatRuleText(copy, reverse, subfolders ? 1 : 0,
                                            AttributesToCode(readOnly, hidden, system)));
    if (rc != 0) {
        QMessageBox box(QMessageBox::Critical, "Fehler...",
                        "Die Regel konnte nicht gespeichert werden.", QMessageBox::Ok, this);
        box.exec();
        return;
    }
    emit ruleSaved(loadedAs, name);
    Laden(name);
}
