#pragma once

#include <QDialog>

#include <memory>
#include <string>

class clsRegistry;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

// The rule editor: lists the stored rules and creates, changes, renames and deletes them.
class Form3 : public QDialog {
    Q_OBJECT
public:
    explicit Form3(QWidget* owner);
    ~Form3() override;

    // Opens the editor on the rule stored under that name (its bytes), or refreshes it while
    // it is open.
    void Laden(const std::string& name);

    void Command1_Click();
    void add_Click();
    void edit_Click();
    void delete_Click();

signals:
    // A rule was stored under `name`; it had been loaded as `previousName` (empty: new).
    void ruleSaved(const std::string& previousName, const std::string& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    void createControls();
    // The attribute frame, the options, the exclusion patterns and "Übernehmen".
    void createOptionControls();
    // The rule list's menu, and what each control does.
    void createMenuAndConnections();
    void fillForm(const std::string& name);
    // The stored name of a list item; empty for none.
    static std::string nameOf(const QListWidgetItem* item);
    void Check1_Click();
    void Option1_Click();
    // Matching folders needs the subfolders: its box can be used only while they take part,
    // and keeps its tick while it cannot.
    void Check2_Click();
    void List1_MouseDown(Qt::MouseButton button, QPoint pixel);
    void List1_MouseUp(Qt::MouseButton button, QPoint pixel);

    std::unique_ptr<clsRegistry> registry_;

    QLabel* rulesLabel_;
    QListWidget* ruleList_;
    QLabel* nameLabel_;
    QLineEdit* nameBox_;
    QGroupBox* forwardFrame_;
    QLabel* copyWhenLabel_;
    QComboBox* copyCondition_;
    QGroupBox* backwardFrame_;
    QCheckBox* backwardBox_;
    QRadioButton* copyBackOption_;
    QComboBox* copyBackCondition_;
    QRadioButton* deleteOption_;
    QGroupBox* deleteFrame_;
    QRadioButton* toTrashOption_;
    QRadioButton* forGoodOption_;
    QGroupBox* attributesFrame_;
    QCheckBox* readOnlyBox_;
    QCheckBox* systemBox_;
    QCheckBox* hiddenBox_;
    QCheckBox* subfoldersBox_;
    QCheckBox* matchFoldersBox_;
    QCheckBox* symbolicLinksBox_;
    QLabel* exclusionsLabel_;
    QPlainTextEdit* exclusionsBox_;
    QPushButton* applyButton_;
    QMenu* ruleMenu_;
};
