#include "ui_test_support.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

namespace {
QObject* WatcherParent() {
    static QObject* parent = new QObject(qApp);
    return parent;
}
} // namespace

void CancelModalWatchers() {
    qDeleteAll(WatcherParent()->children());
}

void OnNextModal(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer(WatcherParent());
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr)
            return;
        timer->stop();
        timer->deleteLater();
        action(modal);
        modal->close();
    });
    timer->start();
}

void SaveScreenshot(QWidget* w, const QString& name) {
    const QString dir = qEnvironmentVariable("GLEICHWART_SCREENSHOTS");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    w->grab().save(dir + "/" + name + ".png");
}
