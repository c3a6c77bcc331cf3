#pragma once

#include <QObject>
#include <QStringList>
#include <QUrl>

// The desktop's file manager as the tests see it: what it was asked to show over D-Bus.
class FakeFileManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    QStringList shown;
public slots:
    void ShowItems(const QStringList& uris, const QString& startupId);
};

// What would have been opened with the desktop's default application.
class OpenedUrls : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url);
};

class FileManagerTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void theFileManagerShowsTheFileSelected();
    void withoutAFileManagerTheFolderOpens();
    void theMenuItemShowsTheEntrysFile();
    void aDoubleClickOnAPathBoxOpensItsFolder_data();
    void aDoubleClickOnAPathBoxOpensItsFolder();

private:
    struct Home;
    Home* home_ = nullptr;
    FakeFileManager fileManager_;
    OpenedUrls opened_;
};
