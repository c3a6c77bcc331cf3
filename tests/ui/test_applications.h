#pragma once

#include <QString>
#include <QStringList>

// A desktop application database of the test's own: two applications registered for
// text/plain, "Testeditor" (the default, started once with all files) and "Testbetrachter"
// (started once for each file). Each is a small script that writes the arguments it got and
// the number of its parent process. The shared MIME database and the icon themes of the
// machine stay visible; no other application is.
//
// GIO reads its database once per process: call this in main(), before the first GIO call.
void UseTestApplications();

// What the application "editor" or "viewer" was started with, each argument whole; waits up
// to `waitMs` for it and is empty when it was not started. Forgotten once read.
struct StartedApplication {
    QStringList arguments;
    qint64 parentProcess = 0;
};
StartedApplication TakeStartedApplication(const QString& which, int waitMs = 5000);
// Forgets what any application was started with.
void ForgetStartedApplications();
