// "Ordner laden": checking the paths, scanning both trees and showing what a run would do.
#include "form1.h"

#include "engine/copy_errors.h"
#include "engine/folder_loading.h"
#include "kit/activity_strip.h"
#include "kit/file_list_model.h"
#include "kit/picture_box.h"
#include "kit/status_bar.h"
#include "kit/tab_strip.h"
#include "platform/file_system.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>

namespace {

std::string ToBytes(const QString& s) {
    return s.toUtf8().toStdString();
}

void ShowError(QWidget* owner, const QString& text) {
    QMessageBox box(QMessageBox::Critical, "Fehler...", text, QMessageBox::Ok, owner);
    box.setObjectName("ErrorMessage");
    box.exec();
}

// Every folder and file the load could not read, with the reason: the lists leave them out.
// The first few are in the message itself, all of them in the details, which scroll.
void ShowScanProblems(QWidget* owner, const std::vector<ScanProblem>& problems) {
    constexpr qsizetype kShown = 10;
    QStringList lines;
    lines.reserve(qsizetype(problems.size()));
    for (const ScanProblem& p : problems)
        lines << DisplayPath(p.path) + " (" + QString::fromStdString(ErrorDescription(p.error)) +
                     ")";
    QMessageBox box(QMessageBox::Warning, "Lesefehler",
                    "Folgende Ordner und Dateien konnten nicht gelesen werden:", QMessageBox::Ok,
                    owner);
    box.setObjectName("ScanProblems");
    box.setInformativeText(lines.mid(0, kShown).join("\n") +
                           (lines.size() > kShown ? QString("\n…") : QString()));
    box.setDetailedText(lines.join("\n"));
    box.exec();
}

} // namespace

void Form1::Command1_Click() {
    platform::FileSystem& fs = fs_ != nullptr ? *fs_ : platform::RealFileSystem();
    const std::string message = CheckPaths(fs, ToBytes(Text1->text()), ToBytes(Text2->text()));
    if (!message.empty()) {
        ShowError(this, QString::fromStdString(message));
        return;
    }
    session_.StartPath = ToBytes(Text1->text());
    session_.TargetPath = ToBytes(Text2->text());
    // The lists let go of the old records before the load releases them.
    copyModel_->setList(nullptr);
    deleteModel_->setList(nullptr);

    List1->hide();
    List2->hide();
    Combo1->setEnabled(false);
    Command1->setEnabled(false);
    Command3->setEnabled(false);
    // The rule editor could change the rule under the running load.
    Command5[2]->setEnabled(false);
    Picture1->resetImage();
    Picture1->raise();

    busy_ = true;
    const LoadResult result = LoadFolders(session_, fs, *this);
    busy_ = false;
    if (result.error && !closeWhenIdle_) {
        ShowError(this, QString::fromStdString(result.error->Description));
    } else if (!result.rootError.empty() && !closeWhenIdle_) {
        ShowError(this, DisplayPath(result.rootError));
    } else if (result.compared && !closeWhenIdle_) {
        showComparedLists();
        if (!session_.ScanProblems.empty())
            ShowScanProblems(this, session_.ScanProblems);
    }

    // Whatever happened, the window ends idle with its controls usable; only a root that could
    // not be read leaves nothing to synchronise.
    Combo1->setEnabled(true);
    Command1->setEnabled(true);
    Command3->setEnabled(result.rootError.empty());
    Command5[2]->setEnabled(true);
    Command1->repaint();
    Command3->repaint();
    if (closeWhenIdle_)
        close();
}

void Form1::showComparedLists() {
    copyModel_->setList(&session_.CopyList);
    deleteModel_->setList(&session_.DeleteList);
    for (QListView* list : {List1, List2}) {
        if (list->model()->rowCount() > 0)
            list->setCurrentIndex(list->model()->index(0, 0));
    }
    List2->show();
    List1->show();
    BackgroundShown = false;
    Picture2->show();
    Picture3->show();
    Picture2->raise();
    TabStrip1->tabs()->setCurrentIndex(0);
    List1->raise();
    List1->setFocus();
    List1_Click();
}

void Form1::Command2_Click() {
    session_.AbortRequested = true;
    ProgressBar1->setValue(0);
}

void Form1::StatusText(const std::string& text) {
    StatusBar1->setPanelText(1, DisplayPath(text));
}

void Form1::ActivityStep() {
    Picture1->Advance();
}

void Form1::ShowComparisonProgress(std::int64_t maximum) {
    ProgressBar1->setMaximum(int(qMin<std::int64_t>(maximum, INT_MAX)));
    ProgressBar1->setValue(0);
    ProgressBar1->raise();
}

void Form1::ComparisonProgress(std::int64_t value) {
    ProgressBar1->setValue(int(qMin<std::int64_t>(value, INT_MAX)));
}
