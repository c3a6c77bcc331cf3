#include "ui_test_support.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

void OnNextModal(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer(qApp);
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
