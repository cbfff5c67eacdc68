#include "session/MediaPlugin.h"

#include <QDebug>
#include <QPluginLoader>
#include <QString>

#include "session/Platform.h"

namespace MediaLayer {

namespace {
QString g_folder;
}  // namespace

MediaPlugin* Plugin()
{
    // Tried once: a plugin that failed to load does not start working later, and the media
    // libraries are not taken out of a running process again.
    static MediaPlugin* plugin = [] {
        const QString folder = g_folder.isEmpty() ? Platform::ProgramDir() : g_folder;
        // Kept, never deleted: the plugin stays loaded until the process ends.
        static QPluginLoader* loader = new QPluginLoader(folder + QLatin1Char('/') + QLatin1String(PluginFileName));
        auto* loaded = qobject_cast<MediaPlugin*>(loader->instance());
        if (loaded == nullptr)
            qWarning().noquote() << "media: no sound or camera, the plugin did not load:" << loader->errorString();
        return loaded;
    }();
    return plugin;
}

void SetPluginFolder(const QString& folder)
{
    g_folder = folder;
}

}  // namespace MediaLayer
