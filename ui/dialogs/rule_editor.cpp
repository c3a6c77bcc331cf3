#include "rule_editor.h"

#include "kit/error_message.h"
#include "kit/list_index.h"
#include "kit/rule_name_text.h"
#include "kit/text_bytes.h"
#include "kit/text_fit.h"
#include "kit/twips.h"
#include "kit/window_placement.h"
#include "rules/rule_store.h"
#include "settings/cls_registry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QRadioButton>

namespace {

// A name nobody stores: "Neu" fills the form from it and so shows the default rule.
constexpr const char* kUnusedRuleName = "jhgfhfdgfdhgfdhgdgf";

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
    FitTexts(this);
}

Form3::~Form3() = default;

void Form3::Form_Load() {
    registry_ = std::make_unique<clsRegistry>();
    const QStringList conditions = {"nicht existiert oder älter ist.", "nicht existiert.",
                                    "älter ist."};
    copyCondition_->addItems(conditions);
    copyBackCondition_->addItems(conditions);
    copyCondition_->setCurrentIndex(0);
    copyBackCondition_->setCurrentIndex(0);
    Check2_Click();
}

std::string Form3::nameOf(const QListWidgetItem* item) {
    return item != nullptr ? RuleNameOf(item->data(Qt::UserRole)) : std::string();
}

void Form3::Laden(const std::string& name) {
    ruleList_->clear();
    for (const std::string& n : RuleStore(*registry_).Names()) {
        auto* item = new QListWidgetItem(RuleNameText(n), ruleList_);
        item->setData(Qt::UserRole, RuleNameData(n));
    }
    for (int k = 0; k < ruleList_->count(); ++k)
        if (nameOf(ruleList_->item(k)) == name)
            ruleList_->setCurrentRow(k);
    List1_MouseUp(Qt::NoButton, QPoint());
    if (isVisible())
        return;
    PlaceCentredOver(this, parentWidget());
    exec(); // the window may be gone after this: nothing follows
}

void Form3::fillForm(const std::string& name) {
    backwardBox_->setChecked(true);
    const SyncRule rule = LoadRule(name);
    copyCondition_->setCurrentIndex(rule.CopyCondition);
    nameBox_->setText(RuleNameText(name));
    SetTag(nameBox_, name);
    switch (rule.ReverseAction) {
    case 0:
        backwardBox_->setChecked(false);
        break;
    case 1:
    case 2:
    case 3:
        copyBackOption_->setChecked(true);
        copyBackCondition_->setCurrentIndex(3 - rule.ReverseAction); // index 0 is 3, index 2 is 1
        break;
    case 4:
        deleteOption_->setChecked(true);
        toTrashOption_->setChecked(true);
        break;
    case 5:
        deleteOption_->setChecked(true);
        forGoodOption_->setChecked(true);
        break;
    default:
        break;
    }
    subfoldersBox_->setChecked(rule.IncludeSubfolders);
    hiddenBox_->setChecked(rule.HiddenFiles);
    systemBox_->setChecked(rule.SystemFiles);
    readOnlyBox_->setChecked(rule.ReadOnlyFiles);
    symbolicLinksBox_->setChecked(rule.Options.SymbolicLinks);
    matchFoldersBox_->setChecked(rule.Options.MatchFolders);
    QStringList patterns;
    for (const std::string& p : rule.Options.Exclusions)
        patterns << Text(p);
    exclusionsBox_->setPlainText(patterns.join('\n'));
    Option1_Click();
    Check1_Click();
    Check2_Click();
}

void Form3::Check2_Click() {
    matchFoldersBox_->setEnabled(subfoldersBox_->isChecked());
}

void Form3::Check1_Click() {
    if (!backwardBox_->isChecked()) {
        for (QWidget* w : std::initializer_list<QWidget*>{
                 backwardFrame_, deleteFrame_, copyBackOption_, deleteOption_, toTrashOption_,
                 forGoodOption_, copyBackCondition_})
            w->setEnabled(false);
        return;
    }
    backwardFrame_->setEnabled(true);
    copyBackOption_->setEnabled(true);
    deleteOption_->setEnabled(true);
    Option1_Click();
}

void Form3::Option1_Click() {
    const bool copyBack = copyBackOption_->isChecked();
    deleteFrame_->setEnabled(!copyBack);
    toTrashOption_->setEnabled(!copyBack);
    forGoodOption_->setEnabled(!copyBack);
    copyBackCondition_->setEnabled(copyBack);
}

void Form3::List1_MouseDown(Qt::MouseButton button, QPoint pixel) {
    if (button != Qt::RightButton)
        return;
    const int index =
        ListIndexFromPoint(ruleList_, PixelsToTwipsX(pixel.x()), PixelsToTwipsY(pixel.y()));
    if (index >= 0)
        ruleList_->setCurrentRow(index);
}

void Form3::List1_MouseUp(Qt::MouseButton button, QPoint pixel) {
    if (button != Qt::RightButton) {
        if (QListWidgetItem* item = ruleList_->currentItem(); item != nullptr && item->isSelected())
            fillForm(nameOf(item));
        return;
    }
    const int index =
        ListIndexFromPoint(ruleList_, PixelsToTwipsX(pixel.x()), PixelsToTwipsY(pixel.y()));
    if (index < 0)
        return;
    ruleList_->setCurrentRow(index);
    ruleMenu_->popup(ruleList_->viewport()->mapToGlobal(pixel));
}

bool Form3::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ruleList_->viewport()) {
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
    SetTag(nameBox_, std::string());
    nameBox_->setText("Neue Regel");
    nameBox_->setFocus();
    nameBox_->selectAll();
}

void Form3::edit_Click() {
    if (QListWidgetItem* item = ruleList_->currentItem())
        fillForm(nameOf(item));
}

void Form3::delete_Click() {
    QListWidgetItem* item = ruleList_->currentItem();
    if (item == nullptr)
        return;
    const int row = ruleList_->row(item);
    RuleStore(*registry_).Remove(nameOf(item));
    std::string neighbour;
    if (row > 0)
        neighbour = nameOf(ruleList_->item(row - 1));
    else if (ruleList_->count() > 1)
        neighbour = nameOf(ruleList_->item(1));
    Laden(neighbour);
}

void Form3::Command1_Click() {
    const QString shown = nameBox_->text().trimmed();
    if (shown.isEmpty()) {
        ShowErrorMessage(this, "Die Regel muss einen Namen haben !!");
        return;
    }
    // Every control is read before anything is refreshed, so what is saved is what was shown.
    const int copy = copyCondition_->currentIndex();
    int reverse = 0;
    if (backwardBox_->isChecked()) {
        if (copyBackOption_->isChecked())
            reverse = 3 - copyBackCondition_->currentIndex();
        else
            reverse = toTrashOption_->isChecked() ? 4 : 5;
    }
    const bool readOnly = readOnlyBox_->isChecked();
    const bool hidden = hiddenBox_->isChecked();
    const bool subfolders = subfoldersBox_->isChecked();
    const bool system = systemBox_->isChecked();
    RuleOptions options{.SymbolicLinks = symbolicLinksBox_->isChecked(),
                        .MatchFolders = matchFoldersBox_->isChecked()};
    for (const QString& line : exclusionsBox_->toPlainText().split('\n'))
        if (!line.trimmed().isEmpty())
            options.Exclusions.push_back(Bytes(line));
    const std::string loadedAs = Tag(nameBox_);
    // A name left as it was shown keeps the bytes it is stored with.
    const std::string name =
        !loadedAs.empty() && shown == RuleNameText(loadedAs) ? loadedAs : Bytes(shown);

    // The renamed rule and the removal of its old name go into one write: a failed write
    // leaves the stored rules as they were and the form as the user filled it.
    const std::int32_t rc = RuleStore(*registry_)
                                .Save(loadedAs, name,
                                      FormatRuleText(copy, reverse, subfolders ? 1 : 0,
                                                     AttributesToCode(readOnly, hidden, system)),
                                      options);
    if (rc != 0) {
        ShowErrorMessage(this, "Die Regel konnte nicht gespeichert werden.");
        return;
    }
    emit ruleSaved(loadedAs, name);
    Laden(name);
}
