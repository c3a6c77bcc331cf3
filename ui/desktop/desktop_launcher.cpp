#include "desktop_launcher.h"

#include "platform/shell_execute.h"

#include <QDesktopServices>
#include <QUrl>

namespace {

QUrl UrlFor(const std::string& file) {
    const QString text = QString::fromUtf8(file.data(), qsizetype(file.size()));
    if (text.startsWith('/'))
        return QUrl::fromLocalFile(text);
    const QUrl url(text);
    return url.scheme().isEmpty() ? QUrl::fromLocalFile(text) : url;
}

} // namespace

void InstallDesktopLauncher() {
    win::SetShellExecuteHandler([](const win::ShellExecuteRequest& request) -> std::intptr_t {
        return QDesktopServices::openUrl(UrlFor(request.file)) ? 42 : 2;
    });
}
