#pragma once

#include <QWidget>

#include <array>
#include <string>

struct CopyProgressDisplay;
struct MainLayout;
class QGroupBox;
class QLabel;
class QProgressBar;

// The panel a run shows over the lists: the file being copied, both progress bars, the
// planned and remaining amounts, the estimated duration and the speed.
class ProgressPanel : public QWidget {
    Q_OBJECT
public:
    explicit ProgressPanel(QWidget* parent);

    // "Zu kopierende Menge:", both "Noch zu kopieren:" counts start equal, and the size.
    void setPlannedCopies(const QString& files, const QString& size);
    void setFilesLeft(const QString& files);
    void setCurrentFile(const QString& name, const QString& from, const QString& to);
    // The bars and the texts a progress step carries; texts it leaves out stay as they are.
    // Returns the total percentage shown.
    int setProgress(const CopyProgressDisplay& progress);

    void applyLayout(const MainLayout& layout);

private:
    QLabel* fileNameValue_ = nullptr;
    QLabel* fromValue_ = nullptr;
    QLabel* toValue_ = nullptr;
    QGroupBox* currentFileFrame_ = nullptr;
    QGroupBox* totalFrame_ = nullptr;
    QProgressBar* fileBar_ = nullptr;
    QProgressBar* totalBar_ = nullptr;
    QLabel* estimatedDurationValue_ = nullptr;
    QLabel* timeLeftValue_ = nullptr;
    QLabel* plannedFilesValue_ = nullptr;
    QLabel* filesLeftValue_ = nullptr;
    QLabel* plannedSizeValue_ = nullptr;
    QLabel* sizeLeftValue_ = nullptr;
    QLabel* speedValue_ = nullptr;
};
