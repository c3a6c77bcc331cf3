// "Synchronisieren": the run's frame around the engine's copy and delete phases.
#include "form1.h"

#include "desktop/desktop_shell.h"
#include "dialogs/form4.h"
#include "kit/event_pump.h"
#include "kit/file_list_model.h"
#include "kit/picture_box.h"
#include "kit/status_bar.h"
#include "platform/file_ops.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>

namespace {
QString Text(const std::string& s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}
} // namespace

void Form1::setRunControlsEnabled(bool enabled) {
    for (QWidget* w : std::initializer_list<QWidget*>{Command1, Text1, Text2, Command5[0],
                                                      Command5[1], Command5[2], Combo1})
        w->setEnabled(enabled);
}

void Form1::Command3_Click() {
    busy_ = true;
    StatusBar1->setPanelText(1, "Kopiervorgang...");
    // Disabled in this order: "Ordner laden", "Synchronisieren", the paths, "...", the rules.
    Command1->setEnabled(false);
    Command3->setEnabled(false);
    setRunControlsEnabled(false);
    Picture3->raise();
    QCoreApplication::processEvents();

    session_.AbortRequested = false; // "Abbrechen" now stops the run
    const RunResult result = RunSynchronisation(session_, platform::RealFileOps(), *this);
    if (!result.refused.empty() && !closeWhenIdle_)
        QMessageBox::critical(this, "Fehler...", Text(result.refused));

    StatusBar1->setPanelText(1, !result.refused.empty() ? "Synchronisierung nicht ausgeführt"
                                : result.stoppedEarly   ? "Synchronisierung abgebrochen"
                                                        : "Synchronisierung beendet");
    if (result.anyCopyFailed && form4_ && !closeWhenIdle_)
        form4_->exec(); // the window deletes itself when it is closed
    setWindowTitle("Gleichwart");
    setRunControlsEnabled(true);
    // "Synchronisieren" stays off: a new run needs a new load.
    Picture2->hide();
    Picture3->hide();
    BackgroundShown = true;
    Picture5->raise();
    Form_Resize();
    busy_ = false;
    if (closeWhenIdle_)
        close();
}

void Form1::PlannedCopies(const std::string& files, const std::string& size) {
    Label9[2]->setText(Text(files));
    Label9[3]->setText(Text(files));
    Label9[4]->setText(Text(size));
}

void Form1::FilesLeft(const std::string& files) {
    Label9[3]->setText(Text(files));
}

void Form1::CurrentFile(const std::string& name, const std::string& from, const std::string& to) {
    Label8[0]->setText(Text(name));
    Label8[1]->setText(Text(from));
    Label8[2]->setText(Text(to));
}

void Form1::CopyProgress(const CopyProgressDisplay& display) {
    ShowCopyProgress(display);
}

void Form1::ShowCopyProgress(const CopyProgressDisplay& d) {
    ProgressBar3->setValue(d.fileBar);
    ProgressBar2->setValue(d.totalBar);
    const QString caption = QString::number(ProgressBar2->value()) + "% kopiert";
    setWindowTitle(caption);
    StatusBar1->setPanelText(1, caption);
    if (d.estimatedDuration)
        Label9[0]->setText(Text(*d.estimatedDuration));
    if (d.timeLeft)
        Label9[1]->setText(Text(*d.timeLeft));
    if (d.megabytesLeft)
        Label9[5]->setText(Text(*d.megabytesLeft));
    if (d.speed)
        SpeedValue->setText(Text(*d.speed));
}

void Form1::CopyFailed(const std::string& source, const std::string& destination,
                       const std::string& reason) {
    if (!form4_)
        form4_ = new Form4(this); // made on the first failure, shown at the end of the run
    form4_->AddCopyError(Text(source), Text(destination), Text(reason));
}

void Form1::PumpEvents() {
    QCoreApplication::processEvents();
}

bool Form1::StopRequested() {
    return closeWhenIdle_ || session_.AbortRequested;
}

bool Form1::ConfirmDelete(std::size_t count, bool toRecycleBin) {
    return AskDeleteQuestion(this, count, toRecycleBin);
}

void Form1::DeleteFailed(const std::vector<DeleteFailure>& failures) {
    if (closeWhenIdle_)
        return;
    QStringList lines;
    lines.reserve(qsizetype(failures.size()));
    for (const DeleteFailure& f : failures)
        lines << Text(f.path) + " (" + Text(f.reason) + ")";
    ShowDeleteFailures(this, lines);
}
