// The main window's rule list: filling it from the store and applying the chosen rule.
#include "form1.h"

#include "dialogs/form3.h"
#include "kit/file_list_model.h"
#include "kit/tab_strip.h"
#include "platform/registry/registry_api.h"
#include "rule_name_text.h"
#include "rules/quick_sort.h"
#include "rules/rule_store.h"
#include "settings/cls_registry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabBar>

namespace {

constexpr auto HKCU = clsRegistry::HKEY_CURRENT_USER;
constexpr const char* kDeleteTabCaption = "    zu löschende Dateien";

} // namespace

bool Form1::isFirstStart() const {
    win::HKEY key = 0;
    if (win::RegOpenKeyExA(win::HKEY_CURRENT_USER, kRootKey, 0, win::KEY_ALL_ACCESS, &key) !=
        win::ERROR_SUCCESS)
        return true;
    win::RegCloseKey(key);
    return false;
}

// A new user can start at once with three ready rules; later starts never add them again,
// also not when the user has deleted every rule.
void Form1::storeStarterRules() {
    Reg_->CreateKey(HKCU, kRulesKey);
    Reg_->SetStringValue(HKCU, kRulesKey, "Aktualisieren", "0|0|1|1");
    Reg_->SetStringValue(HKCU, kRulesKey, "Spiegeln", "0|4|1|1");
    Reg_->SetStringValue(HKCU, kRulesKey, "Beide Richtungen", "0|3|1|1");
}

void Form1::Regeln_Laden(const std::string& Regel) {
    Combo1->clear();
    std::vector<std::string> names = Reg_->EnumValues(HKCU, kRulesKey, true);
    if (clsRegistry::IsFullArray(names)) {
        if (names.size() >= 2)
            QuickSort(names, 0, names.size() - 1);
        for (std::size_t k = 0; k < names.size(); ++k) {
            Combo1->addItem(RuleNameText(names[k]), RuleNameData(names[k]));
            if (names[k] == Regel)
                Combo1->setCurrentIndex(static_cast<int>(k));
        }
    }
    if (Combo1->currentIndex() < 0 && Combo1->count() > 0)
        Combo1->setCurrentIndex(0);
    Combo1_Click();
}

std::string Form1::chosenRuleName() const {
    return Combo1->currentIndex() < 0 ? std::string() : RuleNameOf(Combo1->currentData());
}

void Form1::Combo1_Click() {
    // With no rule in the list the name is empty, which reads as the default rule.
    session_.CurrentRule = LoadRule(chosenRuleName());
    QTabBar* tabs = TabStrip1->tabs();
    if (session_.CurrentRule.deletesOnTarget()) {
        if (tabs->count() == 1)
            tabs->addTab(kDeleteTabCaption);
    } else if (tabs->count() == 2) {
        tabs->removeTab(1);
        tabs->setCurrentIndex(0);
        TabStrip1_Click();
    }
    // After a change of rule the folders have to be loaded again before a run.
    copyModel_->setList(nullptr);
    deleteModel_->setList(nullptr);
    Command3->setEnabled(false);
}

void Form1::Command5_Click(int Index) {
    if (Index == 2) {
        auto* editor = new Form3(this);
        editor->Laden(chosenRuleName());
        return;
    }
    // Until the program's own folder browser exists, the desktop's folder dialog chooses.
    QLineEdit* box = Index == 0 ? Text1 : Text2;
    const QString current = box->text().trimmed();
    QFileDialog dialog(this, Index == 0 ? "Startordner suchen..." : "Zielordner suchen...",
                       QDir(current).exists() && !current.isEmpty() ? current : QDir::homePath());
    dialog.setObjectName("FolderDialog");
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    QString folder = dialog.selectedFiles().constFirst();
    if (folder.size() > 1 && folder.endsWith('/'))
        folder.chop(1);
    box->setText(folder);
}

void Form1::connectControls() {
    connect(Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
    connect(TabStrip1->tabs(), &QTabBar::currentChanged, this, [this] { TabStrip1_Click(); });
    for (int i = 0; i < 3; ++i)
        connect(Command5[i], &QPushButton::clicked, this, [this, i] { Command5_Click(i); });
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Check1, &QCheckBox::clicked, this, &Form1::Check1_MouseUp);
    connect(List1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &Form1::List1_Click);
    connect(List2->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &Form1::List2_Click);
    connect(copyModel_, &FileListModel::ticksChanged, this, &Form1::List1_Click);
    connect(deleteModel_, &FileListModel::ticksChanged, this, &Form1::List2_Click);
}
