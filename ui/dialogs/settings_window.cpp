#include "settings_window.h"

#include "desktop/file_dialogs.h"
#include "desktop/special_folders.h"
#include "kit/controls.h"
#include "kit/text_bytes.h"
#include "kit/text_fit.h"
#include "platform/user_locale.h"
#include "settings/app_settings.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionGroupBox>

#include <algorithm>

namespace {

constexpr int kPicturesFolder = 39;
constexpr int kTrashRow = 360; // twips

// A tick box lower than its indicator is cut off at the bottom: it gets the height it asks
// for, about the same middle.
void FitHeight(QWidget* w) {
    const int wanted = w->sizeHint().height();
    if (wanted > w->height())
        w->setGeometry(w->x(), w->y() - (wanted - w->height()) / 2, w->width(), wanted);
}

// Every kind of picture the installed Qt can read, and PCX, which the program reads itself;
// a kind without its plugin (WebP on many machines) would only leave the background empty.
QString PictureFilter() {
    QStringList patterns;
    for (const QByteArray& kind : QImageReader::supportedImageFormats())
        patterns << "*." + QString::fromLatin1(kind).toLower();
    patterns << "*.pcx";
    patterns.removeDuplicates();
    return "Alle Bilddateien |" + patterns.join(';');
}

} // namespace

Form2::Form2(clsRegistry& registry, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint),
      registry_(registry) {
    setObjectName("Form2");
    setWindowTitle("Einstellungen");
    setModal(true);
    // The designed window and a row below the frame for the tick box of the trash.
    setFixedSize(TwipsToPixelsX(4650), TwipsToPixelsY(2130 + kTrashRow));
    createControls();
    Form_Load();
    placeBoxOnCaption();
    FitTexts(this);
}

void Form2::createControls() {
    // The frame first: the boxes and the button placed on the window lie above it.
    frame_ = MakeControl<QGroupBox>(this, "Frame2", {120, 120, 4455, 1455}, "     Hintergrundbild");
    pathLabel_ = MakeLabel(frame_, "Label2", "Pfad:", {120, 360, 465, 255});
    pathBox_ = MakeControl<QLineEdit>(frame_, "Text1", {600, 360, 3255, 285});
    widthLabel_ = MakeLabel(frame_, "Label1", "Breite:", {1560, 720, 465, 255});
    widthBox_ = MakeControl<QLineEdit>(frame_, "Text2", {2040, 720, 375, 285}, "20");
    usePictureBox_ = MakeControl<QCheckBox>(this, "Check3", {240, 120, 200, 255});
    browseButton_ = MakeControl<QPushButton>(this, "Command1", {4080, 480, 375, 255}, "...");
    softFrameBox_ = MakeControl<QCheckBox>(this, "Check2", {240, 840, 1095, 195}, "Soft Frame");
    stretchBox_ =
        MakeControl<QCheckBox>(this, "Check1", {240, 1200, 2175, 195}, "automatisch anpassen");
    keepReplacedBox_ = MakeControl<QCheckBox>(this, "KeepReplaced", {120, 1710, 4455, 255},
                                              "Ersetzte Dateien in den Papierkorb legen");
    keepReplacedBox_->setToolTip("Vor dem Ersetzen wird die alte Fassung in den Papierkorb "
                                 "gelegt, damit „Letzten Abgleich rückgängig machen“ sie "
                                 "zurückholen kann.");
    okButton_ =
        MakeControl<QPushButton>(this, "Command2", {3360, 1680 + kTrashRow, 1215, 375}, "OK");
    FitHeight(softFrameBox_);
    FitHeight(stretchBox_);
    FitHeight(keepReplacedBox_);
    okButton_->setDefault(true);
    browseButton_->setAutoDefault(false);
    pathBox_->installEventFilter(this);

    connect(softFrameBox_, &QCheckBox::toggled, this, &Form2::Check2_Click);
    connect(usePictureBox_, &QCheckBox::toggled, this, &Form2::Check3_Click);
    connect(browseButton_, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(okButton_, &QPushButton::clicked, this, &Form2::Command2_Click);
}

// The frame's caption leaves room for the box with its leading blanks; where the caption
// begins is the style's choice, so the box is put into that room, centred on the caption.
void Form2::placeBoxOnCaption() {
    QStyleOptionGroupBox option;
    option.initFrom(frame_);
    option.text = frame_->title();
    option.textAlignment = frame_->alignment();
    option.lineWidth = 1;
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    const QRect caption = frame_->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                          QStyle::SC_GroupBoxLabel, frame_);
    const int blanks = frame_->fontMetrics().horizontalAdvance(QString(5, ' '));
    const QSize box = usePictureBox_->sizeHint();
    const int right = frame_->x() + caption.left() + blanks - 2;
    usePictureBox_->setGeometry(qMax(frame_->x(), right - box.width()),
                                frame_->y() + caption.center().y() - box.height() / 2 + 1,
                                box.width(), box.height());
}

void Form2::Form_Load() {
    const AppSettings stored = AppSettings::Load(registry_);
    widthBox_->setText(QString::number(std::clamp(stored.softWidth, 10, 150)));
    pathBox_->setText(Text(stored.background));
    stretchBox_->setChecked(stored.backgroundResize);
    softFrameBox_->setChecked(stored.backgroundSoft);
    usePictureBox_->setChecked(!stored.noBackground);
    keepReplacedBox_->setChecked(stored.keepReplaced);
    Check2_Click();
    Check3_Click();
}

void Form2::Check2_Click() {
    const bool soft = softFrameBox_->isChecked();
    widthBox_->setEnabled(soft);
    widthLabel_->setEnabled(soft);
}

// "..." stays usable either way: a picture can be chosen before the background is switched on.
void Form2::Check3_Click() {
    if (usePictureBox_->isChecked()) {
        for (QWidget* w :
             std::initializer_list<QWidget*>{pathBox_, stretchBox_, softFrameBox_, pathLabel_})
            w->setEnabled(true);
        Check2_Click();
    } else {
        for (QWidget* w : std::initializer_list<QWidget*>{pathBox_, widthBox_, widthLabel_,
                                                          pathLabel_, stretchBox_, softFrameBox_})
            w->setEnabled(false);
    }
}

void Form2::Command1_Click() {
    Text1_DblClick();
}

void Form2::Text1_DblClick() {
    QString filter = PictureFilter();
    const QString chosen =
        ShowOpenDialog(this, filter, "Bilddatei öffnen...", SpecialFolderPath(kPicturesFolder));
    if (!chosen.isEmpty())
        pathBox_->setText(chosen);
}

bool Form2::eventFilter(QObject* watched, QEvent* event) {
    if (watched == pathBox_ && event->type() == QEvent::MouseButtonDblClick) {
        Text1_DblClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// Every value is written whether its control is enabled or not, so a background switched off
// keeps its picture, stretching and frame for later.
void Form2::Command2_Click() {
    AppSettings values;
    const std::optional<std::int32_t> width =
        SoftWidthFromText(widthBox_->text().toStdString(), platform::UserDecimalSeparator());
    values.softWidth = width.value_or(0);
    values.background = pathBox_->text().toUtf8().toStdString();
    values.backgroundResize = stretchBox_->isChecked();
    values.backgroundSoft = softFrameBox_->isChecked();
    values.noBackground = !usePictureBox_->isChecked();
    values.SaveBackground(registry_, width.has_value());
    values.keepReplaced = keepReplacedBox_->isChecked();
    values.SaveKeepReplaced(registry_);
    accept();
}
