// GLib's headers first: Qt's keyword macros would clash with their member names.
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include "app_database.h"

#include <QFileInfo>

#include <algorithm>
#include <memory>
#include <unistd.h>

namespace {

struct ObjectUnref {
    void operator()(gpointer p) const { g_object_unref(p); }
};
template <typename T> using GObjectPtr = std::unique_ptr<T, ObjectUnref>;

struct AppList {
    GList* list = nullptr;
    ~AppList() { g_list_free_full(list, g_object_unref); }
};

QString Utf8(const char* s) {
    return s != nullptr ? QString::fromUtf8(s) : QString();
}

QIcon IconOf(GIcon* icon) {
    if (icon == nullptr)
        return {};
    if (G_IS_THEMED_ICON(icon)) {
        for (const gchar* const* name = g_themed_icon_get_names(G_THEMED_ICON(icon));
             name != nullptr && *name != nullptr; ++name) {
            if (QIcon::hasThemeIcon(Utf8(*name)))
                return QIcon::fromTheme(Utf8(*name));
        }
        return {};
    }
    if (G_IS_FILE_ICON(icon)) {
        gchar* path = g_file_get_path(g_file_icon_get_file(G_FILE_ICON(icon)));
        QIcon result = path != nullptr ? QIcon(QString::fromLocal8Bit(path)) : QIcon();
        g_free(path);
        return result;
    }
    return {};
}

DesktopApp Describe(GAppInfo* info) {
    return {Utf8(g_app_info_get_id(info)), Utf8(g_app_info_get_name(info)),
            IconOf(g_app_info_get_icon(info))};
}

// Every application registered for the type, its default first.
std::vector<DesktopApp> AppsForType(const QString& type, QString& defaultId) {
    const QByteArray t = type.toUtf8();
    std::vector<DesktopApp> apps;
    if (GObjectPtr<GAppInfo> def{g_app_info_get_default_for_type(t.constData(), FALSE)}) {
        defaultId = Utf8(g_app_info_get_id(def.get()));
        apps.push_back(Describe(def.get()));
    }
    AppList all{g_app_info_get_all_for_type(t.constData())};
    for (GList* l = all.list; l != nullptr; l = l->next) {
        const QString id = Utf8(g_app_info_get_id(G_APP_INFO(l->data)));
        if (id != defaultId || defaultId.isEmpty())
            apps.push_back(Describe(G_APP_INFO(l->data)));
    }
    return apps;
}

// The application itself starts a session of its own: a signal sent to the program's
// terminal or process group does not reach it.
void StartOnItsOwn(gpointer) {
    setsid();
}

} // namespace

QString FileMimeType(const std::string& path) {
    GObjectPtr<GFile> file{g_file_new_for_path(path.c_str())};
    GObjectPtr<GFileInfo> info{g_file_query_info(file.get(), G_FILE_ATTRIBUTE_STANDARD_CONTENT_TYPE,
                                                 G_FILE_QUERY_INFO_NOFOLLOW_SYMLINKS, nullptr,
                                                 nullptr)};
    if (!info)
        return {};
    gchar* type = g_content_type_get_mime_type(g_file_info_get_content_type(info.get()));
    const QString result = Utf8(type);
    g_free(type);
    return result;
}

FileApplications ApplicationsForFiles(const std::vector<std::string>& paths) {
    FileApplications result;
    QStringList types;
    for (const std::string& path : paths) {
        const QString type = FileMimeType(path);
        if (type.isEmpty())
            return {};
        if (!types.contains(type))
            types << type;
    }
    if (types.isEmpty())
        return {};
    QString defaultId;
    result.apps = AppsForType(types.first(), defaultId);
    // Files of several types: only what can open every one of them is offered.
    for (qsizetype k = 1; k < types.size(); ++k) {
        QString otherDefault;
        const std::vector<DesktopApp> others = AppsForType(types[k], otherDefault);
        std::erase_if(result.apps, [&](const DesktopApp& app) {
            return std::none_of(others.begin(), others.end(),
                                [&](const DesktopApp& o) { return o.id == app.id; });
        });
    }
    result.hasDefault =
        !defaultId.isEmpty() && !result.apps.empty() && result.apps.front().id == defaultId;
    return result;
}

QString LaunchApplication(const QString& appId, const std::vector<std::string>& paths) {
    GObjectPtr<GDesktopAppInfo> app{g_desktop_app_info_new(appId.toUtf8().constData())};
    if (!app)
        return QString("Das Programm „%1“ ist nicht mehr eingerichtet.").arg(appId);
    GList* uris = nullptr;
    for (const std::string& path : paths) {
        // Only an absolute path has an address.
        if (gchar* uri = g_filename_to_uri(path.c_str(), nullptr, nullptr))
            uris = g_list_append(uris, uri);
    }
    GError* error = nullptr;
    // Without G_SPAWN_DO_NOT_REAP_CHILD the application is started through an intermediate
    // process and so is no child of the program. The names reach it as its arguments.
    const gboolean started =
        g_desktop_app_info_launch_uris_as_manager(app.get(), uris, nullptr, G_SPAWN_SEARCH_PATH,
                                                  StartOnItsOwn, nullptr, nullptr, nullptr, &error);
    g_list_free_full(uris, g_free);
    if (started)
        return {};
    QString reason = QString("Das Programm „%1“ konnte nicht gestartet werden.")
                         .arg(Utf8(g_app_info_get_name(G_APP_INFO(app.get()))));
    if (error != nullptr) {
        reason += "\n" + Utf8(error->message);
        g_error_free(error);
    }
    return reason;
}
