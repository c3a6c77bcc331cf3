// Creates the main window's controls with their designed names, captions and geometry.
#include "form1.h"

#include "kit/activity_strip.h"
#include "kit/file_list_model.h"
#include "kit/picture_box.h"
#include "kit/status_bar.h"
#include "kit/tab_strip.h"
#include "kit/twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>

namespace {

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, const Twips& g) {
    QLabel* l = MakeControl<QLabel>(parent, name, g, text);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return l;
}

QProgressBar* MakeBar(QWidget* parent, const QString& name, const Twips& g) {
    QProgressBar* bar = MakeControl<QProgressBar>(parent, name, g);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    return bar;
}

QFrame* MakeLine(QWidget* parent, const QString& name, const Twips& g) {
    QFrame* line = MakeControl<QFrame>(parent, name, g);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

} // namespace

void Form1::createControls() {
    client_ = new QWidget(this);
    client_->setObjectName("client");
    setCentralWidget(client_);

    Picture5 = MakeControl<PictureBox>(client_, "Picture5", {120, 120, 7935, 5775});
    Picture5->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    createListPanel();
    createProgressPanel();
    createInputPanel();

    PicBuf = MakeControl<PictureBox>(client_, "PicBuf", {9720, 5520, 1215, 495});
    PicBuf->setAutoSize(true);
    PicBuf->hide();
    DrawTextContainer =
        MakeControl<PictureBox>(client_, "DrawTextContainer", {9720, 5520, 1215, 495});
    DrawTextContainer->hide();
    Label6 = MakeLabel(client_, "Label6", QString(), {5160, 120, 1215, 255});
    Label6->hide();

    StatusBar1 = MakeControl<StatusBar>(client_, "StatusBar1", {0, 5955, 11670, 255});
    Picture1 = new ActivityStrip(client_);
    SetTwips(Picture1, {120, 6000, 4455, 255});
    ProgressBar1 = MakeBar(client_, "ProgressBar1", {0, 6240, 4455, 255});
}

void Form1::createInputPanel() {
    Picture6 = MakeControl<QWidget>(client_, "Picture6", {8160, 240, 3375, 4695});
    Label1 = MakeLabel(Picture6, "Label1", "Startpfad:", {120, 0, 1575, 255});
    Text1 = MakeControl<QLineEdit>(Picture6, "Text1", {120, 240, 2775, 285}, "C:\\BACKUP");
    Label2 = MakeLabel(Picture6, "Label2", "Zielpfad:", {120, 600, 1095, 255});
    Text2 = MakeControl<QLineEdit>(Picture6, "Text2", {120, 840, 2775, 285}, "C:\\BACKUP1");
    Label3 = MakeLabel(Picture6, "Label3", "Regel:", {120, 1200, 1575, 255});
    Combo1 = MakeControl<QComboBox>(Picture6, "Combo1", {120, 1440, 2775, 315});
    const double buttonTops[3] = {240, 840, 1440};
    for (int i = 0; i < 3; ++i)
        Command5[i] = MakeControl<QPushButton>(Picture6, QString("Command5_%1").arg(i),
                                               {3000, buttonTops[i], 375, 255}, "...");
    Line1[0] = MakeLine(Picture6, "Line1_0", {120, 1860, 3255, 60});
    Command1 =
        MakeControl<QPushButton>(Picture6, "Command1", {120, 2040, 3255, 855}, "    Ordner laden");
    Command3 = MakeControl<QPushButton>(Picture6, "Command3", {120, 3000, 3255, 855},
                                        "          Synchronisieren");
    Command3->setEnabled(false);
    Command2 = MakeControl<QPushButton>(Picture6, "Command2", {120, 3960, 3255, 510}, "Abbrechen");
    Line1[1] = MakeLine(Picture6, "Line1_1", {120, 4560, 3255, 60});
}

void Form1::createListPanel() {
    Picture2 = MakeControl<QWidget>(client_, "Picture2", {120, 120, 7815, 5895});
    Picture2->setAutoFillBackground(true);
    Picture2->hide();
    TabStrip1 = MakeControl<TabStrip>(Picture2, "TabStrip1", {0, 0, 7695, 4815});
    TabStrip1->tabs()->addTab("     zu kopierende Dateien");
    List1 = MakeControl<QListView>(Picture2, "List1", {120, 720, 7455, 3660});
    List2 = MakeControl<QListView>(Picture2, "List2", {120, 720, 7455, 3660});
    copyModel_ = new FileListModel(this);
    deleteModel_ = new FileListModel(this);
    List1->setModel(copyModel_);
    List2->setModel(deleteModel_);
    for (QListView* list : {List1, List2}) {
        list->setUniformItemSizes(true);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setTextElideMode(Qt::ElideMiddle);
    }
    List2->hide();
    Check1 = MakeControl<QCheckBox>(Picture2, "Check1", {120, 4440, 200, 200});
    Check1->setEnabled(false);
    TabStrip1->setSelectAllBox(Check1);
    Frame2 = MakeControl<QGroupBox>(Picture2, "Frame2", {0, 4920, 7695, 855});
    Frame2->setFlat(true);
    Picture4 = MakeControl<PictureBox>(Frame2, "Picture4", {120, 250, 615, 495});
    Label10 = MakeLabel(Frame2, "Label10", QString(), {840, 320, 5775, 375});
    Label10->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void Form1::createProgressPanel() {
    Picture3 = MakeControl<QWidget>(client_, "Picture3", {120, 120, 7935, 5775});
    Picture3->setAutoFillBackground(true); // it lies over the file-list panel
    Picture3->hide();
    Label4 = MakeLabel(Picture3, "Label4", "Kopiervorgang:", {0, 120, 1575, 255});
    QFont bold = Label4->font();
    bold.setBold(true);
    Label4->setFont(bold);

    Frame1 = MakeControl<QGroupBox>(Picture3, "Frame1", {120, 480, 7815, 1455}, "Aktuelle Datei");
    const char* fileCaptions[3] = {"Dateiname:", "Von:", "Nach:"};
    const char* fileNames[3] = {"lblDateiname", "lblVon", "lblNach"};
    for (int i = 0; i < 3; ++i) {
        const double top = 300 + 240 * i;
        MakeLabel(Frame1, fileNames[i], fileCaptions[i], {120, top, 915, 255});
        Label8[i] =
            MakeLabel(Frame1, QString("Label8_%1").arg(i), QString(), {1080, top, 6615, 255});
    }
    MakeLabel(Frame1, "lblFortschritt", "Fortschritt:", {120, 1080, 915, 255});
    ProgressBar3 = MakeBar(Frame1, "ProgressBar3", {1080, 1080, 6615, 255});

    Frame3 =
        MakeControl<QGroupBox>(Picture3, "Frame3", {120, 2040, 7815, 2055}, "Gesamtfortschritt");
    ProgressBar2 = MakeBar(Frame3, "ProgressBar2", {120, 360, 7575, 375});
    struct Row {
        const char* leftName;
        const char* leftCaption;
        const char* rightName;
        const char* rightCaption;
    };
    const Row rows[3] = {
        {"lblGeschaetzteDauer", "Geschätzte Dauer:", "lblFertigIn", "Fertig in ca.:"},
        {"lblMenge", "Zu kopierende Menge:", "lblNochDateien", "Noch zu kopieren:"},
        {"lblGroesse", "Zu kopierende Größe:", "lblNochGroesse", "Noch zu kopieren:"},
    };
    for (int r = 0; r < 3; ++r) {
        const double top = 900 + 300 * r;
        MakeLabel(Frame3, rows[r].leftName, rows[r].leftCaption, {120, top, 1695, 255});
        Label9[2 * r] =
            MakeLabel(Frame3, QString("Label9_%1").arg(2 * r), QString(), {1860, top, 1980, 255});
        MakeLabel(Frame3, rows[r].rightName, rows[r].rightCaption, {3960, top, 1575, 255});
        Label9[2 * r + 1] = MakeLabel(Frame3, QString("Label9_%1").arg(2 * r + 1), QString(),
                                      {5580, top, 2115, 255});
    }
    MakeLabel(Frame3, "lblKopiergeschwindigkeit", "Kopiergeschwindigkeit:", {120, 1800, 1695, 255});
    SpeedValue = MakeLabel(Frame3, "SpeedValue", QString(), {1860, 1800, 1980, 255});
}
